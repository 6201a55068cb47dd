// Saves replace their file whole or not at all: whatever step of a save
// fails (creating, writing, flushing, closing or renaming the temporary file,
// a full disk, a read-only folder), the old file keeps its bytes and no
// temporary file is left beside it.
#include "file_bytes.h"
#include "platform/os/files.h"
#include "platform/os/write_fault.h"
#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef __linux__
#include <sys/mount.h>
#endif

namespace fs = std::filesystem;

namespace {

using test_files::Read;
using test_files::Write;

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

// A fresh folder holding one old save; saves address it by absolute path.
class AtomicSave : public ::testing::Test {
  protected:
    void SetUp() override {
        save = (folder / "game.dat").string();
        Write(save, oldBytes);
    }
    void TearDown() override { platform::SetWriteFault(std::nullopt); }

    bool Save(const std::string& bytes) const {
        return platform::WriteFileAtomically(save.c_str(), bytes.data(), bytes.size());
    }
    void ExpectOldSaveAlone() const {
        EXPECT_EQ(Read(save), oldBytes);
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"game.dat"});
    }

    const std::string oldBytes = std::string("the previous save");
    const std::string newBytes = std::string(224, '\x5A');
    platform_test::TempDirectory temporary;
    const fs::path folder = temporary.path;
    std::string save;
};

} // namespace

TEST_F(AtomicSave, EveryFailingStepKeepsTheOldFile) {
    using platform::WriteStep;
    std::vector<platform::WriteFault> faults{
        {WriteStep::Create, 0}, {WriteStep::Sync, 0}, {WriteStep::Close, 0}, {WriteStep::Rename, 0}};
    for (size_t cut : {size_t{0}, size_t{1}, size_t{27}, size_t{28}, size_t{112}, size_t{223}})
        faults.push_back({WriteStep::Write, cut});
    for (const auto& fault : faults) {
        SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(fault.step) << ", "
                                        << fault.bytesWritten << " bytes written");
        platform::SetWriteFault(fault);
        EXPECT_FALSE(Save(newBytes));
        ExpectOldSaveAlone();
    }
}

TEST_F(AtomicSave, ClearedFaultSavesAgainAndAFirstSaveThatFailsLeavesNothing) {
    platform::SetWriteFault(platform::WriteFault{platform::WriteStep::Write, 100});
    fs::remove(save);
    EXPECT_FALSE(Save(newBytes));
    EXPECT_TRUE(FilesIn(folder).empty());

    platform::SetWriteFault(std::nullopt);
    EXPECT_TRUE(Save(newBytes));
    EXPECT_EQ(Read(save), newBytes);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"game.dat"});
    EXPECT_TRUE(Save(oldBytes)); // over the file it made
    EXPECT_EQ(Read(save), oldBytes);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"game.dat"});
}

TEST_F(AtomicSave, RealFailuresReportFalse) {
    // the name is taken by a folder: the rename fails
    fs::remove(save);
    fs::create_directory(save);
    EXPECT_FALSE(Save(newBytes));
    EXPECT_TRUE(fs::is_directory(save));
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"game.dat"});
    // the folder does not exist: nothing can be created
    const std::string nowhere = (folder / "missing" / "options.dat").string();
    EXPECT_FALSE(platform::WriteFileAtomically(nowhere.c_str(), newBytes.data(), newBytes.size()));
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

// Even where permission bits do not stop this process (as root), a save
// made read-only stays as it is, and the one save call says so once.
TEST_F(AtomicSave, ReadOnlyFileIsLeftAsItIsAndSaidOnce) {
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(save, readOnly);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Save(newBytes));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "backfire: " + save + " is read-only; it was left as it is and not saved\n");
    ExpectOldSaveAlone();
    EXPECT_EQ(fs::status(save).permissions(), readOnly);
    // Writable again, so that the folder can go: Windows deletes no read-only file.
    fs::permissions(save, fs::perms::owner_write, fs::perm_options::add);
}

#ifdef __linux__

// A small file system of our own, full or read-only; skipped where this
// process may not mount one.
class SaveOnSmallDisk : public AtomicSave {
  protected:
    void SetUp() override {
        AtomicSave::SetUp();
        mountPoint = folder / "disk";
        fs::create_directory(mountPoint);
        if (mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        save = (mountPoint / "game.dat").string();
        Write(save, oldBytes);
    }
    void TearDown() override {
        if (mounted)
            umount2(mountPoint.c_str(), MNT_DETACH);
        AtomicSave::TearDown();
    }
    void Fill() const {
        std::ofstream filler(mountPoint / "filler", std::ios::binary);
        const std::string block(4096, '\0');
        for (int i = 0; i < 64 && filler; ++i)
            filler.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    std::vector<std::string> SaveFolderFiles() const {
        auto names = FilesIn(mountPoint);
        std::erase(names, "filler");
        return names;
    }

    fs::path mountPoint;
    bool mounted = false;
};

TEST_F(SaveOnSmallDisk, FullDiskKeepsTheOldFile) {
    Fill();
    EXPECT_FALSE(Save(newBytes));
    EXPECT_EQ(Read(save), oldBytes);
    EXPECT_EQ(SaveFolderFiles(), std::vector<std::string>{"game.dat"});
}

TEST_F(SaveOnSmallDisk, ReadOnlyFolderKeepsTheOldFile) {
    ASSERT_EQ(mount(nullptr, mountPoint.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=64k"), 0)
        << std::strerror(errno);
    EXPECT_FALSE(Save(newBytes));
    EXPECT_EQ(Read(save), oldBytes);
    EXPECT_EQ(SaveFolderFiles(), std::vector<std::string>{"game.dat"});
}
#endif
