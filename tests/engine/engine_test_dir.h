// A fresh working directory for code that reads and writes the game's files
// by bare name; the previous working directory comes back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDirectory {
  public:
    // Named after the running test, so parallel test processes never share one.
    ScratchDirectory() : previous(std::filesystem::current_path()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("backfire_engine_" + std::string(info->test_suite_name()) + "_" + info->name());
        Reset();
    }
    ~ScratchDirectory() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Empties the directory for the next case of a grouped test.
    void Reset() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
        std::filesystem::current_path(root);
    }

  private:
    std::filesystem::path previous;
    std::filesystem::path root;
};

inline void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

// In text mode, as the game writes its logs and the tweak file: their lines
// end in CR LF on Windows.
inline std::string ReadFile(const std::string& name) {
    std::ifstream in(name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class EngineTestDir : public ::testing::Test {
  protected:
    void Reset() { directory.Reset(); }
    static bool Exists(const std::string& name) { return std::filesystem::exists(name); }
    static void MakeDirectory(const std::string& name) { std::filesystem::create_directory(name); }

  private:
    ScratchDirectory directory;
};
