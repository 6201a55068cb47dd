#include "platform/os/files.h"

#include "file_bytes.h"
#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

// A name as the system spells it: with backslashes on Windows.
std::string Native(const std::string& path) {
    return fs::path(path).make_preferred().string();
}

class ResolvePath : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir.path / "Dat" / "Sounds");
        std::ofstream(dir.path / "Dat" / "Sounds" / "Boom.WAV") << "boom";
        std::ofstream(dir.path / "Dat" / "title.png") << "png";
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path);
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    platform_test::TempDirectory dir;
    std::filesystem::path previous;
};

} // namespace

// Windows file systems ignore case themselves, so names are kept as given there.
#ifndef _WIN32
TEST_F(ResolvePath, BackslashesBecomeSlashesAndEachComponentFindsItsSpelling) {
    EXPECT_EQ(platform::ResolvePath("Dat\\Sounds\\Boom.WAV"), "Dat/Sounds/Boom.WAV");
    EXPECT_EQ(platform::ResolvePath("dat\\sounds\\boom.wav"), "Dat/Sounds/Boom.WAV");
    EXPECT_EQ(platform::ResolvePath("DAT/TITLE.PNG"), "Dat/title.png");
    EXPECT_EQ(platform::ResolvePath("./dat\\..\\DAT\\Title.png"), "./Dat/../Dat/title.png");
}

TEST_F(ResolvePath, AbsolutePathsResolveBelowTheRoot) {
    std::string given = (dir.path / "dat" / "SOUNDS" / "boom.wav").string();
    EXPECT_EQ(platform::ResolvePath(given.c_str()), (dir.path / "Dat" / "Sounds" / "Boom.WAV").string());
}

TEST_F(ResolvePath, MissingNamesKeepTheirGivenSpelling) {
    // A new file in an existing folder: the folder is found, the name is kept.
    EXPECT_EQ(platform::ResolvePath("dat\\Options.DAT"), "Dat/Options.DAT");
    // Below a missing folder nothing is searched.
    EXPECT_EQ(platform::ResolvePath("nothere\\dat\\x.png"), "nothere/dat/x.png");
    EXPECT_EQ(platform::ResolvePath(""), "");
    EXPECT_EQ(platform::ResolvePath(nullptr), "");
}

TEST_F(ResolvePath, ExactSpellingWinsOverAnotherCase) {
    std::ofstream(dir.path / "Dat" / "Title.png") << "other";
    EXPECT_EQ(platform::ResolvePath("Dat\\Title.png"), "Dat/Title.png");
    EXPECT_EQ(platform::ResolvePath("Dat\\title.png"), "Dat/title.png");
    // Neither spelling given exactly: the choice does not depend on directory order.
    EXPECT_EQ(platform::ResolvePath("Dat\\TITLE.PNG"), "Dat/Title.png");
}
#endif

TEST_F(ResolvePath, OpenFileReadsAndCreatesThroughTheResolvedPath) {
    FILE* in = platform::OpenFile("DAT\\SOUNDS\\BOOM.WAV", "rb");
    ASSERT_NE(in, nullptr);
    char text[8] = {};
    EXPECT_EQ(fread(text, 1, sizeof(text), in), 4u);
    fclose(in);
    EXPECT_STREQ(text, "boom");

    FILE* out = platform::OpenFile("dat\\sounds\\New.dat", "wb");
    ASSERT_NE(out, nullptr);
    fclose(out);
    EXPECT_TRUE(std::filesystem::exists(dir.path / "Dat" / "Sounds" / "New.dat"));

    EXPECT_EQ(platform::OpenFile("dat\\missing.bin", "rb"), nullptr);
    EXPECT_EQ(platform::OpenFile(nullptr, "rb"), nullptr);
}

// Names are UTF-8 on every system, for the folder calls as for the files.
TEST_F(ResolvePath, FolderRenameAndRemoveTakeUtf8Names) {
    const std::string folder = "J\xC3\xB6rg";
    const fs::path real = dir.path / u8"J\u00f6rg";
    ASSERT_TRUE(platform::MakeFolder(folder.c_str()));
    EXPECT_TRUE(platform::MakeFolder(folder.c_str())); // there already
    EXPECT_TRUE(fs::is_directory(real));
    const std::string save = folder + "\\game.dat";
    const std::string kept = folder + "\\game.prev";
    ASSERT_TRUE(platform::WriteFileAtomically(save.c_str(), "new", 3));
    test_files::Write(real / "game.prev", "old");
    EXPECT_TRUE(platform::RenameFile(save.c_str(), kept.c_str())); // replacing what is there
    EXPECT_EQ(test_files::Read(real / "game.prev"), "new");
    EXPECT_FALSE(platform::RenameFile(save.c_str(), kept.c_str()));
    EXPECT_TRUE(platform::RemoveFile(kept.c_str()));
    EXPECT_TRUE(platform::RemoveFile(kept.c_str())); // gone already
    EXPECT_TRUE(fs::is_empty(real));
}

namespace {

// The read-only data in its own folder, the working directory elsewhere.
class DataRoot : public ResolvePath {
  protected:
    void SetUp() override {
        ResolvePath::SetUp();
        std::filesystem::create_directories(root.path / "Player");
        std::ofstream(root.path / "Player" / "Ship.png") << "ship";
        platform::SetDataRoot(root.path.string());
    }
    void TearDown() override {
        platform::SetDataRoot("");
        ResolvePath::TearDown();
    }

    platform_test::TempDirectory root;
};

} // namespace

TEST_F(DataRoot, NamesBelowDatResolveBelowTheRootIgnoringCase) {
    std::string base = root.path.string();
    EXPECT_TRUE(
        fs::equivalent(platform::ResolvePath("dat\\player\\ship.PNG"), root.path / "Player" / "Ship.png"));
    EXPECT_EQ(platform::ResolvePath("DAT\\Player\\Missing.png"), Native(base + "/Player/Missing.png"));
    EXPECT_EQ(platform::ResolvePath("Dat"), base);
    FILE* in = platform::OpenFile("dat\\PLAYER\\ship.png", "rb");
    ASSERT_NE(in, nullptr);
    fclose(in);
    // The working directory's own dat/ is no longer read.
    EXPECT_EQ(platform::OpenFile("dat\\title.png", "rb"), nullptr);
}

TEST_F(DataRoot, OtherNamesStayInTheWorkingDirectory) {
    EXPECT_EQ(platform::ResolvePath("options.dat"), "options.dat");
    EXPECT_EQ(platform::ResolvePath("data\\x.png"), Native("data/x.png"));
    EXPECT_EQ(platform::ResolvePath("datfile.bin"), "datfile.bin");
    platform::SetDataRoot("");
    EXPECT_TRUE(fs::equivalent(platform::ResolvePath("dat\\title.png"), dir.path / "Dat" / "title.png"));
}
