// The first-run journey through the real binary, headless, with the game's
// data missing or damaged, with an oversized tweak file, and with saves that
// cannot be written. Every run ends by itself with exit code 0. Where saving
// works the saves hold the journey's outcome; where it cannot, the previous
// saves keep their bytes and the game says nothing.
#include "e2e/game_process.h"
#include "file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include <sys/mount.h>
#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// The journey quits by itself near tick 3100; the limit only ends a run that
// went astray, and the saves then show it.
constexpr int kTickLimit = 6000;
constexpr auto kTimeout = 240s;

using test_files::Read;
using test_files::Write;

std::string Journey() { return Read(fs::path(BACKFIRE_SOURCE_DIR) / "tests/e2e/scripts/journey.txt"); }

// Without images nothing in a mission has a size, so nothing collides and a
// mission only ends by Escape, which leaves no results and so no game.dat.
// This journey does so and goes on through the game-speed menu as the first
// one does, to "QUIT GAME" (rows and timings as in journey.txt).
const char* const kJourneyWithoutResults = R"(3 hold SPACE 2
229 hold SPACE 2
600 hold ESCAPE 2
704 hold SPACE 2
886 hold SPACE 2
1217 hold SPACE 2
1400 hold ESCAPE 2
1500 hold ESCAPE 2
)";

int32_t Field(const std::string& block, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, block.data() + offset, sizeof value);
    return value;
}

// What a journey leaves: "Kinda Fast" chosen in the game-speed menu, and
// after the first journey one game started.
void ExpectOptionsSaved(const fs::path& folder) {
    const std::string options = Read(folder / "options.dat");
    ASSERT_EQ(options.size(), 28u) << folder;
    EXPECT_EQ(Field(options, 16), 4) << "game speed";
}

void ExpectJourneySaved(const fs::path& folder) {
    ExpectOptionsSaved(folder);
    const std::string progress = Read(folder / "game.dat");
    ASSERT_EQ(progress.size(), 224u) << folder;
    EXPECT_EQ(Field(progress, 164), 1) << "games played";
}

// A copy of the built data in place of the sandbox's link, free to damage.
fs::path CopyData(const e2e::Sandbox& sandbox) {
    const fs::path data = fs::path(sandbox.Dir()) / "dat";
    fs::remove(data);
    fs::copy(fs::path(BACKFIRE_BUILD_DIR) / "dat", data, fs::copy_options::recursive);
    return data;
}

std::string Extension(const fs::path& path) {
    std::string text = path.extension().string();
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

void ForEachDataFile(const fs::path& data, const std::function<void(const fs::path&)>& change) {
    std::vector<fs::path> files;
    for (auto& entry : fs::recursive_directory_iterator(data))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    ASSERT_GT(files.size(), 100u) << "the built data is incomplete";
    for (auto& file : files)
        change(file);
}

void RemoveWhere(const fs::path& data, std::initializer_list<const char*> extensions) {
    ForEachDataFile(data, [&](const fs::path& file) {
        if (std::find(extensions.begin(), extensions.end(), Extension(file)) != extensions.end())
            fs::remove(file);
    });
}

void CutEveryFile(const fs::path& data, const std::function<uintmax_t(uintmax_t)>& keep) {
    ForEachDataFile(data, [&](const fs::path& file) { fs::resize_file(file, keep(fs::file_size(file))); });
}

// An installed copy started without data keeps its saves under
// $XDG_DATA_HOME: that stays inside the sandbox too.
e2e::Result RunJourney(const e2e::Sandbox& sandbox, const std::string& script = Journey()) {
    return e2e::RunHeadless(sandbox, script, kTickLimit, {{"XDG_DATA_HOME", sandbox.PathOf("xdg")}}, kTimeout);
}

void ExpectCleanEnd(const e2e::Result& result) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
}

// With images among the damage, the journey without results.
void JourneyWithDamagedData(const std::function<void(const fs::path&)>& damage, bool imagesLost = true) {
    e2e::Sandbox sandbox;
    damage(CopyData(sandbox));
    if (imagesLost) {
        ExpectCleanEnd(RunJourney(sandbox, kJourneyWithoutResults));
        ExpectOptionsSaved(sandbox.Dir());
    } else {
        ExpectCleanEnd(RunJourney(sandbox));
        ExpectJourneySaved(sandbox.Dir());
    }
}

} // namespace

TEST(MissingData, NoDataFolderAtAll) {
    e2e::Sandbox sandbox;
    fs::remove(sandbox.PathOf("dat"));
    ExpectCleanEnd(RunJourney(sandbox, kJourneyWithoutResults));
    // the saves stay in the working folder, or go where an installed copy keeps them
    const fs::path installed = fs::path(sandbox.PathOf("xdg")) / "backfire";
    ExpectOptionsSaved(sandbox.Exists("options.dat") ? fs::path(sandbox.Dir()) : installed);
}

TEST(MissingData, EmptyDataFolder) {
    JourneyWithDamagedData([](const fs::path& data) {
        fs::remove_all(data);
        fs::create_directory(data);
    });
}

TEST(MissingData, NoImages) {
    JourneyWithDamagedData([](const fs::path& data) { RemoveWhere(data, {".png", ".jpg", ".jpeg", ".bmp"}); });
}

TEST(MissingData, NoSoundsOrMusic) {
    JourneyWithDamagedData([](const fs::path& data) { RemoveWhere(data, {".wav", ".ogg"}); }, false);
}

TEST(DamagedData, EveryFileCutToHalf) {
    JourneyWithDamagedData([](const fs::path& data) { CutEveryFile(data, [](uintmax_t size) { return size / 2; }); });
}

TEST(DamagedData, EverySoundAndMusicFileCutToHalfOnAWholeJourney) {
    JourneyWithDamagedData(
        [](const fs::path& data) {
            ForEachDataFile(data, [](const fs::path& file) {
                if (Extension(file) == ".wav" || Extension(file) == ".ogg")
                    fs::resize_file(file, fs::file_size(file) / 2);
            });
        },
        false);
}

TEST(DamagedData, EveryFileCutJustPastItsHeader) {
    JourneyWithDamagedData(
        [](const fs::path& data) { CutEveryFile(data, [](uintmax_t size) { return std::min<uintmax_t>(size, 60); }); });
}

TEST(DamagedData, EveryFileEmpty) {
    JourneyWithDamagedData([](const fs::path& data) { CutEveryFile(data, [](uintmax_t) { return 0; }); });
}

TEST(DamagedData, TweakFileWithHugeTokensAndALongDescriptionWithoutFinalNewline) {
    e2e::Sandbox sandbox;
    const std::string description(1000, 'd');
    sandbox.Write("tweaks.dat", "**** a hand-edited file\n" + std::string(100 * 1024, 't') +
                                    "\nENTRY shipDrag 2.5 1 10\n" + description + "\nENTRY" +
                                    std::string(100 * 1024, 'n') + " 1 2 3\nlast entry, no line end");
    ExpectCleanEnd(RunJourney(sandbox));
    ExpectJourneySaved(sandbox.Dir());

    // rewritten with its header; the long description is cut, its rest read
    // as skipped tokens
    const std::string tweaks = sandbox.Read("tweaks.dat");
    EXPECT_EQ(tweaks.rfind("**** ", 0), 0u);
    EXPECT_NE(tweaks.find("ENTRY shipDrag 2.500000 1.000000 10.000000\n" + description.substr(0, 126) + "\n"),
              std::string::npos);
    EXPECT_EQ(tweaks.find(description.substr(0, 127)), std::string::npos);
    EXPECT_LT(tweaks.size(), 4096u);
    EXPECT_EQ(tweaks.back(), '\n');
}

namespace {

// A working folder on a small file system of our own, holding the data link
// and a previous pair of saves; skipped where this process may not mount one.
// Nothing else the run needs (script, lock, stderr) lives there.
class SavesThatCannotBeWritten : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::path(sandbox.Dir()) / "game";
        fs::create_directory(folder);
        if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        mounted = true;
        fs::create_directory_symlink(fs::path(BACKFIRE_BUILD_DIR) / "dat", folder / "dat");
        Write(folder / "game.dat", oldProgress);
        Write(folder / "options.dat", oldOptions);
    }
    void TearDown() override {
        if (mounted)
            umount2(folder.c_str(), MNT_DETACH);
    }

    // The journey, with the game's stderr kept outside the working folder (and
    // no leak checker's list of suppressions in it, in a sanitizer build).
    e2e::Result Run() {
        sandbox.Write("script.txt", Journey());
        const std::string command =
            "cd '" + folder.string() + "' && exec timeout -s KILL 240 env BACKFIRE_HEADLESS=1 LSAN_OPTIONS=\"${LSAN_OPTIONS:-}:print_suppressions=0\" BACKFIRE_SCRIPT='" +
            sandbox.PathOf("script.txt") + "' BACKFIRE_MAX_TICKS=" + std::to_string(kTickLimit) +
            " BACKFIRE_INSTANCE_LOCK='" + sandbox.PathOf("instance.lock") + "' '" BACKFIRE_BINARY "' 2>'" +
            sandbox.PathOf("stderr.txt") + "' </dev/null";
        const int status = std::system(command.c_str());
        e2e::Result result;
        result.timedOut = WIFEXITED(status) && WEXITSTATUS(status) == 137;
        result.exitCode = WIFEXITED(status) && !result.timedOut ? WEXITSTATUS(status) : -1;
        result.errors = sandbox.Read("stderr.txt");
        return result;
    }
    void ExpectPreviousSavesKept() const {
        EXPECT_EQ(Read(folder / "game.dat"), oldProgress);
        EXPECT_EQ(Read(folder / "options.dat"), oldOptions);
    }

    e2e::Sandbox sandbox;
    fs::path folder;
    bool mounted = false;
    // A first run's progress ("Milk Run" open, a best score of 5500, three
    // tips shown) and options (music off, thrust "Fast", game speed "Slow",
    // difficulty "Hard"), so the journey still plays as on a first run.
    const std::string oldProgress = [] {
        std::string block(224, '\0');
        block[0] = 1;
        block[8] = 55;
        block[220] = 3;
        return block;
    }();
    const std::string oldOptions = std::string("\0\0\0\0\1\0\0\0\0\0\x80\x3F\5\0\0\0\1\0\0\0\3\0\0\0\2\0\0\0", 28);
};

} // namespace

TEST_F(SavesThatCannotBeWritten, FullDiskKeepsThePreviousSavesAndTheGameSaysNothing) {
    {
        std::ofstream filler(folder / "filler", std::ios::binary);
        const std::string block(4096, '\0');
        for (int i = 0; i < 128 && filler; ++i)
            filler.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    const e2e::Result result = Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.errors, "");
    ExpectPreviousSavesKept();
}

TEST_F(SavesThatCannotBeWritten, ReadOnlyFolderKeepsThePreviousSavesAndTheGameSaysNothing) {
    ASSERT_EQ(mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, "size=256k"), 0)
        << std::strerror(errno);
    const e2e::Result result = Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.errors, "");
    ExpectPreviousSavesKept();
}

TEST_F(SavesThatCannotBeWritten, TheSameFolderWithRoomTakesTheJourneysSaves) {
    ExpectCleanEnd(Run());
    ExpectJourneySaved(folder);
}

TEST(SoundDevice, HeadlessRunIgnoresTheAudioDriver) {
    e2e::Sandbox sandbox;
    const e2e::Result result = e2e::RunHeadless(sandbox, "3 hold SPACE 2\n229 hold SPACE 2\n", 600,
                                                {{"SDL_AUDIODRIVER", "no-such-driver"}});
    ExpectCleanEnd(result);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(sandbox.Read("options.dat").size(), 28u);
}
