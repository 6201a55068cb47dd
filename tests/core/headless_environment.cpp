// Registers the headless environment for this test program.
#include "headless_environment.h"
