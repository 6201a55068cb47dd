#pragma once

// Every test here runs with the platform headless, so message boxes print
// "caption: text" to stderr instead of opening a window, and with its own
// instance lock, so a game or another test running beside it does not interfere.
#include <string>

#include <gtest/gtest.h>

#include "environment_variable.h"
#include "platform/harness/harness.h"

namespace headless_tests {

class HeadlessEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        test_environment::Set("BACKFIRE_HEADLESS", "1");
        // One lock per process: CTest runs the cases of this program side by side.
        const std::string lock = testing::TempDir() + "backfire_unit_tests_" +
                                 std::to_string(test_environment::ProcessId()) + ".lock";
        test_environment::Set("BACKFIRE_INSTANCE_LOCK", lock.c_str());
        ASSERT_TRUE(platform::StartHarness());
    }
    void TearDown() override { platform::StopHarness(); }
};

inline const testing::Environment* const headless = testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

} // namespace headless_tests
