// Every test here runs with the platform headless, so message boxes print
// "caption: text" to stderr instead of opening a window, and with its own
// instance lock, so a game running beside the tests does not interfere.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/harness.h"

namespace {

class HeadlessEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        setenv("BACKFIRE_HEADLESS", "1", 1);
        const std::string lock = testing::TempDir() + "backfire_unit_tests.lock";
        setenv("BACKFIRE_INSTANCE_LOCK", lock.c_str(), 1);
        ASSERT_TRUE(platform::StartHarness());
    }
    void TearDown() override { platform::StopHarness(); }
};

const testing::Environment* const headless = testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

} // namespace
