#include "platform/os/data_location.h"

#include "environment_variable.h"
#include "platform/os/files.h"
#include "platform/window_recorder.h"
#ifndef _WIN32
#include "platform/os/posix/save_folder.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A home, a start folder without dat/ and an install tree under one
// temporary directory.
class DataLocation : public testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir.path / "home");
        fs::create_directories(dir.path / "start");
        fs::create_directories(dir.path / "prefix/bin");
        environment.workingDirectory = (dir.path / "start").string();
        environment.executableDirectory = (dir.path / "prefix/bin").string();
        environment.saveDirectory = Path("home/.local/share/backfire");
    }

    std::string Path(const std::string& name) const { return (dir.path / name).make_preferred().string(); }
    // UTF-8 text of a path, whatever the system's own encoding.
    static std::string Text(const fs::path& path) {
        const std::u8string text = path.u8string();
        return std::string(text.begin(), text.end());
    }

    platform_test::TempDirectory dir;
    platform::LaunchEnvironment environment;
};

} // namespace

#ifndef _WIN32
TEST_F(DataLocation, SaveDirectoryFollowsAbsoluteXdgDataHomeOnly) {
    const std::string home = Path("home");
    const std::string fallback = Path("home/.local/share/backfire");
    EXPECT_EQ(platform::XdgSaveDirectory("", home), fallback); // unset
    EXPECT_EQ(platform::XdgSaveDirectory("relative/data", home), fallback);
    EXPECT_EQ(platform::XdgSaveDirectory("/var/lib/someone/", home), "/var/lib/someone/backfire");
    EXPECT_EQ(platform::XdgSaveDirectory("", "not/absolute"), "");
}
#endif

TEST_F(DataLocation, AGameFolderIsUsedAsItIs) {
    fs::create_directories(dir.path / "start/Dat");
    platform::FileLocation location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, environment.workingDirectory);
    EXPECT_EQ(location.dataRoot, "");
    EXPECT_TRUE(location.problems.empty());
    EXPECT_FALSE(fs::exists(dir.path / "home/.local"));

    const fs::path named = dir.path / u8"J\u00f6rg";
    fs::create_directories(named / "dat");
    environment.workingDirectory = Text(named);
    location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, environment.workingDirectory);
    EXPECT_TRUE(location.problems.empty());

    // Where game folders keep no saves, only the folder's data is used.
    environment.savesInGameFolder = false;
    location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, Path("home/.local/share/backfire"));
    EXPECT_EQ(location.dataRoot, Text((named / "dat").make_preferred()));
    EXPECT_TRUE(location.problems.empty());
}

TEST_F(DataLocation, ElsewhereTheSaveDirectoryIsCreatedAndUsed) {
    fs::create_directories(platform::InstalledDataDirectory(environment.executableDirectory));
    platform::FileLocation location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, Path("home/.local/share/backfire"));
    EXPECT_TRUE(fs::is_directory(location.workingDirectory));
    EXPECT_TRUE(location.problems.empty());

    environment.saveDirectory = Path("xdg/deep/backfire");
    location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, Path("xdg/deep/backfire"));
    EXPECT_TRUE(fs::is_directory(location.workingDirectory));
}

TEST_F(DataLocation, AnUncreatableSaveDirectoryKeepsTheStartFolderAndSaysSo) {
    fs::create_directories(dir.path / "prefix/bin/dat");
    std::ofstream(dir.path / "blocker") << "a file, not a folder";
    environment.saveDirectory = Path("blocker/backfire");
    platform::FileLocation location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, environment.workingDirectory);
    EXPECT_EQ(location.dataRoot, Path("prefix/bin/dat"));
    ASSERT_EQ(location.problems.size(), 1u);
    EXPECT_NE(location.problems[0].find(Path("blocker/backfire")), std::string::npos) << location.problems[0];
    EXPECT_NE(location.problems[0].find(environment.workingDirectory), std::string::npos);

    environment.saveDirectory = "";
    location = platform::LocateFiles(environment);
    EXPECT_EQ(location.workingDirectory, environment.workingDirectory);
    ASSERT_EQ(location.problems.size(), 1u);
    EXPECT_NE(location.problems[0].find(platform::NoSaveDirectoryReason()), std::string::npos);
}

TEST_F(DataLocation, DataIsSearchedInThePrefixThenBesideTheProgramThenBackfireData) {
    std::string installed = platform::InstalledDataDirectory(environment.executableDirectory);
    EXPECT_EQ(installed, Path("prefix/share/backfire/dat"));
    EXPECT_EQ(platform::InstalledDataDirectory(Text(dir.path / u8"J\u00f6rg/bin")),
              Text((dir.path / u8"J\u00f6rg/share/backfire/dat").make_preferred()));
    environment.backfireData = "../elsewhere";
    std::vector<std::string> places = platform::DataSearchPlaces(environment);
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0], installed);
    EXPECT_EQ(places[1], Path("prefix/bin/dat"));
    EXPECT_EQ(places[2], Path("elsewhere")); // relative to where the game was started

    for (const std::string& place : places)
        fs::create_directories(place);
    EXPECT_EQ(platform::LocateFiles(environment).dataRoot, installed);
    fs::remove(installed);
    EXPECT_EQ(platform::LocateFiles(environment).dataRoot, places[1]);
    fs::remove(places[1]);
    EXPECT_EQ(platform::LocateFiles(environment).dataRoot, places[2]);

    // A plain file is not a data folder.
    std::ofstream(installed) << "x";
    EXPECT_EQ(platform::LocateFiles(environment).dataRoot, places[2]);
}

TEST_F(DataLocation, MissingDataEverywhereIsReportedOnceNamingEveryPlace) {
    platform::FileLocation location = platform::LocateFiles(environment);
    EXPECT_EQ(location.dataRoot, "");
    EXPECT_EQ(location.workingDirectory, Path("home/.local/share/backfire"));
    ASSERT_EQ(location.problems.size(), 1u);
    const std::string& message = location.problems[0];
    for (const std::string& place : {Path("start/dat"), Path("prefix/share/backfire/dat"),
                                     Path("prefix/bin/dat"), std::string("BACKFIRE_DATA")})
        EXPECT_NE(message.find(place), std::string::npos) << place << " missing from: " << message;

    environment.backfireData = Path("given");
    location = platform::LocateFiles(environment);
    ASSERT_EQ(location.problems.size(), 1u);
    EXPECT_NE(location.problems[0].find(Path("given")), std::string::npos);
}

TEST_F(DataLocation, UsingALocationMovesTheProcessAndAnchorsHarnessPaths) {
    fs::create_directories(dir.path / "prefix/bin/dat");
    std::ofstream(dir.path / "prefix/bin/dat/Title.png") << "png";
    fs::path previous = fs::current_path();
    const char* oldScript = std::getenv("BACKFIRE_SCRIPT");
    std::string keptScript = oldScript != nullptr ? oldScript : "";
    test_environment::Set("BACKFIRE_SCRIPT", "moves.txt");

    platform::FileLocation location = platform::LocateFiles(environment);
    testing::internal::CaptureStderr();
    bool moved = platform::UseFileLocation(location, environment);
    std::string printed = testing::internal::GetCapturedStderr();
    std::string cwd = fs::current_path().string();
    std::string script = std::getenv("BACKFIRE_SCRIPT");
    std::string title = platform::ResolvePath("dat\\title.png");

    platform::SetDataRoot("");
    fs::current_path(previous);
    if (oldScript != nullptr)
        test_environment::Set("BACKFIRE_SCRIPT", keptScript.c_str());
    else
        test_environment::Unset("BACKFIRE_SCRIPT");

    EXPECT_TRUE(moved);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(cwd, Path("home/.local/share/backfire"));
    EXPECT_EQ(script, Path("start/moves.txt"));
    EXPECT_TRUE(fs::equivalent(title, Path("prefix/bin/dat/Title.png"))) << title;
}
