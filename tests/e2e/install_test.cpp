// The installed game: cmake --install into a temporary prefix (and through
// DESTDIR), the desktop file and AppStream data validated, and the installed
// binary started headless from a folder without dat/, keeping its files in
// the user's data directory.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const char* const AppId = "io.github.backfire.Backfire";
const int IconSizes[] = {16, 24, 32, 48, 64, 128, 256};

struct Command {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// Runs a shell command with its output captured in a file of the sandbox.
Command Shell(const e2e::Sandbox& sandbox, const std::string& command) {
    std::string log = sandbox.PathOf("shell.log");
    int status = std::system((command + " >'" + log + "' 2>&1").c_str());
    Command run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = sandbox.Read("shell.log");
    return run;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Width and height from a PNG's IHDR chunk; 0 x 0 when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof(header));
    if (!in || header[1] != 'P' || header[2] != 'N' || header[3] != 'G')
        return {0, 0};
    auto big = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 | uint32_t(header[at + 2]) << 8 |
               uint32_t(header[at + 3]);
    };
    return {big(16), big(20)};
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class Install : public testing::Test {
  protected:
    // Installs into <sandbox>/<stage>, with --prefix and optionally DESTDIR.
    void InstallInto(const std::string& prefix, const std::string& destdir = "") {
        std::string command = "cmake --install '" BACKFIRE_BUILD_DIR "' --prefix '" + prefix + "'";
        if (!destdir.empty())
            command = "DESTDIR='" + destdir + "' " + command;
        Command run = Shell(sandbox, command);
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }

    // Starts an installed binary headless from an empty folder, with its own
    // home; xdgDataHome empty leaves XDG_DATA_HOME unset.
    Command Play(const fs::path& binary, const std::string& home, const std::string& xdgDataHome,
                 const std::string& arguments = "") {
        fs::path start = fs::path(sandbox.Dir()) / "start";
        fs::create_directories(start);
        std::string command = "cd " + Quoted(start) +
                              " && env -u BACKFIRE_DATA -u XDG_DATA_HOME -u BACKFIRE_SCRIPT" + " HOME='" +
                              home + "' BACKFIRE_HEADLESS=1 BACKFIRE_MAX_TICKS=50" +
                              " BACKFIRE_INSTANCE_LOCK='" + sandbox.PathOf("instance.lock") + "'";
        if (!xdgDataHome.empty())
            command += " XDG_DATA_HOME='" + xdgDataHome + "'";
        return Shell(sandbox, command + " " + Quoted(binary) + " " + arguments);
    }

    fs::path Root() const { return sandbox.Dir(); }

    e2e::Sandbox sandbox;
};

void ExpectRunFilesIn(const fs::path& saves) {
    EXPECT_EQ(ReadFile(saves / "als.dat"), "0");
    EXPECT_EQ(ReadFile(saves / "VideoCardInfo.txt"), "VANTRY video system enumeration\n\n");
    EXPECT_TRUE(fs::exists(saves / "tweaks.dat"));
}

} // namespace

TEST_F(Install, PrefixHoldsProgramDataDesktopFileIconsMetadataAndManual) {
    fs::path prefix = Root() / "prefix";
    InstallInto(prefix.string());
    EXPECT_TRUE(fs::exists(prefix / "bin/backfire"));
    EXPECT_TRUE(fs::exists(prefix / "share/backfire/dat/mouse000004.bmp"));
    EXPECT_TRUE(fs::exists(prefix / "share/backfire/dat/player/playerc0006.png"));
    EXPECT_FALSE(fs::exists(prefix / "share/backfire/dat/.stamp"));
    EXPECT_TRUE(fs::exists(prefix / "share/man/man6/backfire.6"));
    for (int size : IconSizes) {
        std::string edge = std::to_string(size);
        fs::path icon =
            prefix / "share/icons/hicolor" / (edge + "x" + edge) / "apps" / (std::string(AppId) + ".png");
        EXPECT_EQ(PngSize(icon), std::make_pair(uint32_t(size), uint32_t(size))) << icon;
    }

    fs::path desktop = prefix / "share/applications" / (std::string(AppId) + ".desktop");
    std::string entry = ReadFile(desktop);
    EXPECT_NE(entry.find("Categories=Game;ArcadeGame;"), std::string::npos) << entry;
    EXPECT_NE(entry.find(std::string("Icon=") + AppId + "\n"), std::string::npos) << entry;
    Command desktopCheck = Shell(sandbox, "desktop-file-validate " + Quoted(desktop));
    EXPECT_EQ(desktopCheck.exitCode, 0) << desktopCheck.output;
    EXPECT_EQ(desktopCheck.output, "");

    fs::path metainfo = prefix / "share/metainfo" / (std::string(AppId) + ".metainfo.xml");
    Command appstreamCheck = Shell(sandbox, "appstreamcli validate --no-net " + Quoted(metainfo));
    EXPECT_EQ(appstreamCheck.exitCode, 0) << appstreamCheck.output;
    // The release listed is the program's own version.
    std::string version = Shell(sandbox, Quoted(prefix / "bin/backfire") + " --version").output;
    ASSERT_EQ(version.rfind("backfire ", 0), 0u) << version;
    std::string number = version.substr(9, version.find('\n') - 9);
    EXPECT_NE(ReadFile(metainfo).find("<release version=\"" + number + "\""), std::string::npos) << number;
}

TEST_F(Install, InstalledGameKeepsItsFilesInXdgDataHomeAndReadsTheInstalledData) {
    fs::path prefix = Root() / "prefix";
    InstallInto(prefix.string());
    Command run = Play(prefix / "bin/backfire", (Root() / "home").string(), (Root() / "xdg").string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, ""); // the data was found and the save folder made
    ExpectRunFilesIn(Root() / "xdg/backfire");
    EXPECT_TRUE(fs::is_empty(Root() / "start"));
    EXPECT_FALSE(fs::exists(Root() / "home/.local"));
}

TEST_F(Install, TheSaveFoldersTuningFileIsReadBackAndTheStartFoldersIsLeftAlone) {
    fs::path prefix = Root() / "prefix";
    InstallInto(prefix.string());
    fs::path saves = Root() / "xdg/backfire";
    fs::create_directories(saves);
    std::ofstream(saves / "tweaks.dat") << "ENTRY handTuned 2.5 0 5\nkept from run to run\n";
    fs::create_directories(Root() / "start");
    std::ofstream(Root() / "start/tweaks.dat") << "ENTRY stranger 1 0 2\nnot the game's\n";

    Command run = Play(prefix / "bin/backfire", (Root() / "home").string(), (Root() / "xdg").string());
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::string tweaks = ReadFile(saves / "tweaks.dat");
    EXPECT_NE(tweaks.find("ENTRY handTuned 2.500000 0.000000 5.000000\nkept from run to run\n"),
              std::string::npos)
        << tweaks;
    EXPECT_EQ(tweaks.find("stranger"), std::string::npos) << tweaks;
    EXPECT_EQ(ReadFile(Root() / "start/tweaks.dat"), "ENTRY stranger 1 0 2\nnot the game's\n");
}

TEST_F(Install, DestdirStagedGameRunsFromItsStageAndDefaultsToTheHomeDataFolder) {
    fs::path stage = Root() / "stage";
    InstallInto("/usr/local/games-test", stage.string());
    fs::path prefix = stage / "usr/local/games-test";
    ASSERT_TRUE(fs::exists(prefix / "share/backfire/dat/mouse000004.bmp"));
    Command run = Play(prefix / "bin/backfire", (Root() / "home").string(), "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "");
    ExpectRunFilesIn(Root() / "home/.local/share/backfire");
}

TEST_F(Install, MissingDataIsReportedAndTheGameStillRuns) {
    fs::path prefix = Root() / "prefix";
    InstallInto(prefix.string());
    fs::remove_all(prefix / "share/backfire/dat");
    Command run = Play(prefix / "bin/backfire", (Root() / "home").string(), "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("game data was not found"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find((prefix / "share/backfire/dat").string()), std::string::npos) << run.output;
    EXPECT_NE(run.output.find((prefix / "bin/dat").string()), std::string::npos) << run.output;
    ExpectRunFilesIn(Root() / "home/.local/share/backfire");
}

TEST_F(Install, HelpAndVersionAnswerWithoutStartingTheGame) {
    fs::path prefix = Root() / "prefix";
    InstallInto(prefix.string());
    Command help = Play(prefix / "bin/backfire", (Root() / "home").string(), "", "-w --help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* text : {"-W", "-X", "-Z", "XDG_DATA_HOME", "BACKFIRE_DATA", "BACKFIRE_HEADLESS"})
        EXPECT_NE(help.output.find(text), std::string::npos) << text << " missing from:\n" << help.output;
    Command version = Play(prefix / "bin/backfire", (Root() / "home").string(), "", "--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("backfire ", 0), 0u) << version.output;
    EXPECT_FALSE(fs::exists(Root() / "home/.local"));
    EXPECT_TRUE(fs::is_empty(Root() / "start"));
}
