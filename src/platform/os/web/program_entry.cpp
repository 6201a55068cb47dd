// The browser's entry: the game's main under another name (see
// os/program_entry.h), then exit(), which runs the handlers that copy the
// last saves to IndexedDB and tells the page that the game has ended.
#include <cstdlib>

int BackfireMain(int argc, char** argv);

int main(int argc, char** argv) {
    std::exit(BackfireMain(argc, argv));
}
