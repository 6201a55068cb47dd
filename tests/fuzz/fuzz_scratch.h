// For the targets whose reader opens files by name: each fuzzing process works
// in a private directory of its own (under $TMPDIR, else /tmp), removed again
// when the process exits normally.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

inline std::string& ScratchPath() {
    static std::string path;
    return path;
}

inline void RemoveScratch() {
    std::error_code ignored;
    std::filesystem::current_path("/", ignored);
    std::filesystem::remove_all(ScratchPath(), ignored);
}

// Makes the directory and makes it the working directory; once per process.
inline void EnterScratchDirectory() {
    if (!ScratchPath().empty())
        return;
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/backfire-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0)
        std::abort();
    ScratchPath() = pattern;
    std::atexit(RemoveScratch);
}

// Replaces the file with exactly these bytes.
inline void WriteWhole(const char* name, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(name, "wb");
    if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
        std::abort();
}

// The whole file; empty when it is missing.
inline std::string ReadWhole(const char* name) {
    std::string bytes;
    FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return bytes;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

} // namespace fuzz
