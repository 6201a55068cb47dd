#include "platform/os/instance_lock.h"
#include "platform/win32/win32.h"

#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class InstanceLock : public testing::Test {
  protected:
    void SetUp() override {
        platform::ReleaseInstanceLock();
        setenv("BACKFIRE_INSTANCE_LOCK", dir.File("backfire.lock").c_str(), 1);
    }
    void TearDown() override {
        platform::ReleaseInstanceLock();
        unsetenv("BACKFIRE_INSTANCE_LOCK");
    }
    // Whether an unrelated open of the lock file could take it now.
    bool OthersCanLock() {
        int fd = open(dir.File("backfire.lock").c_str(), O_RDWR | O_CREAT, 0600);
        EXPECT_GE(fd, 0);
        bool taken = flock(fd, LOCK_EX | LOCK_NB) == 0;
        close(fd);
        return taken;
    }

    platform_test::TempDirectory dir;
};

} // namespace

TEST_F(InstanceLock, FirstInstanceTakesTheLockAndKeepsIt) {
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
    EXPECT_FALSE(OthersCanLock());
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr); // asking again is not a second instance
    platform::ReleaseInstanceLock();
    EXPECT_TRUE(OthersCanLock());
}

TEST_F(InstanceLock, LockHeldElsewhereMeansAnotherInstance) {
    int fd = open(dir.File("backfire.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_NE(FindWindowA("D3D Window", "Game"), nullptr);
    close(fd);
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
}

TEST_F(InstanceLock, ChildProcessSeesTheParentInstance) {
    ASSERT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::ReleaseInstanceLock(); // only the child's inherited descriptor: the parent keeps its lock
        _exit(FindWindowA("D3D Window", "Game") != nullptr ? 7 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

TEST_F(InstanceLock, AnUnusableLockFileLetsTheGameStart) {
    setenv("BACKFIRE_INSTANCE_LOCK", dir.File("no/such/dir/backfire.lock").c_str(), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindWindowA("D3D Window", "Game"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("instance lock"), std::string::npos);
}

TEST_F(InstanceLock, DefaultPathIsPerUser) {
    unsetenv("BACKFIRE_INSTANCE_LOCK");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = runtime != nullptr ? runtime : "";
    setenv("XDG_RUNTIME_DIR", "/run/user/test", 1);
    EXPECT_EQ(platform::InstanceLockPath(), "/run/user/test/backfire.lock");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::InstanceLockPath(), "/tmp/backfire-" + std::to_string(getuid()) + ".lock");
    if (runtime != nullptr)
        setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
