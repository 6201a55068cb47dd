#include "platform/os/instance_lock.h"
#include "platform/win32/win32.h"

#include "environment_variable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

constexpr int kFirstInstance = 0;
constexpr int kSeesAnother = 1;

// What a second start would find, as the exit code of a process of its own.
[[noreturn]] void ExitWithWhatAStartFinds() {
    platform::ReleaseInstanceLock(); // a forked child's copy of its parent's lock is not its own
    std::_Exit(FindWindowA("D3D Window", "Game") != nullptr ? kSeesAnother : kFirstInstance);
}

class InstanceLock : public testing::Test {
  protected:
    void SetUp() override {
        platform::ReleaseInstanceLock();
        test_environment::Set("BACKFIRE_INSTANCE_LOCK", lock.c_str());
    }
    void TearDown() override {
        platform::ReleaseInstanceLock();
        test_environment::Unset("BACKFIRE_INSTANCE_LOCK");
        std::remove(lock.c_str());
    }

    // Named after the test, not the process: on Windows a death test's child
    // runs the test again from its start and must meet the same lock.
    const std::string lock = std::string(BACKFIRE_BUILD_DIR) + "/" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + ".lock";
};

} // namespace

TEST_F(InstanceLock, FirstInstanceTakesTheLockAndKeepsIt) {
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr); // asking again is not a second instance
}

TEST_F(InstanceLock, AnotherProcessSeesTheLockUntilItIsReleased) {
    // Unchecked: in a death test's child on Windows this call meets the lock
    // the parent holds.
    FindWindowA("D3D Window", "Game");
    EXPECT_EXIT(ExitWithWhatAStartFinds(), testing::ExitedWithCode(kSeesAnother), "");
    platform::ReleaseInstanceLock();
    EXPECT_EXIT(ExitWithWhatAStartFinds(), testing::ExitedWithCode(kFirstInstance), "");
}

#ifndef _WIN32
TEST_F(InstanceLock, AnUnusableLockFileLetsTheGameStart) {
    test_environment::Set("BACKFIRE_INSTANCE_LOCK", (lock + ".d/no/such/dir/backfire.lock").c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("instance lock"), std::string::npos);
}

TEST_F(InstanceLock, DefaultPathIsPerUser) {
    test_environment::Unset("BACKFIRE_INSTANCE_LOCK");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = runtime != nullptr ? runtime : "";
    test_environment::Set("XDG_RUNTIME_DIR", "/run/user/test");
    EXPECT_EQ(platform::InstanceLockPath(), "/run/user/test/backfire.lock");
    test_environment::Unset("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::InstanceLockPath(), "/tmp/backfire-" + std::to_string(getuid()) + ".lock");
    if (runtime != nullptr)
        test_environment::Set("XDG_RUNTIME_DIR", saved.c_str());
}
#endif
