// Whole files as byte strings, for tests that prepare and check files.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace test_files {

inline std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

} // namespace test_files
