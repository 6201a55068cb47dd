// Exact comparison of a rendered frame with a checked-in golden PNG under
// tests/golden. Rendering is deterministic, so any difference is a failure;
// the actual frame and a difference image (differing pixels red, the rest a
// dimmed copy of the actual frame) are then written to golden-actual/ in the
// build folder. With BACKFIRE_UPDATE_GOLDEN=1 the golden file is written
// instead (look at it before checking it in).
#pragma once

#include "platform/image/image_decode.h"
#include "platform/image/png_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace golden {

inline std::string ActualPath(const std::string& name, const char* suffix) {
    const std::filesystem::path folder = std::filesystem::path(BACKFIRE_BUILD_DIR) / "golden-actual";
    std::filesystem::create_directories(folder);
    const std::filesystem::path file(name);
    return (folder / (file.stem().string() + suffix + file.extension().string())).string();
}

// pixels are 0xAARRGGBB, width x height, top row first.
inline ::testing::AssertionResult MatchesGolden(const std::string& name, const std::vector<uint32_t>& pixels,
                                                int width, int height) {
    const std::string goldenPath = std::string(BACKFIRE_GOLDEN_DIR) + "/" + name;
    const char* update = std::getenv("BACKFIRE_UPDATE_GOLDEN");
    if (update != nullptr && std::strcmp(update, "1") == 0) {
        if (!platform::WritePng(goldenPath, pixels.data(), width, height)) {
            return ::testing::AssertionFailure() << "cannot write " << goldenPath;
        }
        return ::testing::AssertionSuccess() << "updated " << goldenPath;
    }
    const std::string actualPath = ActualPath(name, "");
    platform::DecodedImage expected;
    if (!platform::DecodeImage(goldenPath, &expected)) {
        platform::WritePng(actualPath, pixels.data(), width, height);
        return ::testing::AssertionFailure()
               << "cannot read " << goldenPath << "; actual frame in " << actualPath;
    }
    if (expected.width != width || expected.height != height) {
        platform::WritePng(actualPath, pixels.data(), width, height);
        return ::testing::AssertionFailure()
               << name << " is " << expected.width << "x" << expected.height << ", the frame " << width << "x"
               << height << "; actual in " << actualPath;
    }
    std::vector<uint32_t> difference(pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] != expected.argb[i]) {
            ++differing;
            difference[i] = 0xFFFF0000u;
        } else {
            difference[i] = 0xFF000000u | ((pixels[i] >> 2) & 0x003F3F3Fu);
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    const std::string differencePath = ActualPath(name, ".diff");
    platform::WritePng(actualPath, pixels.data(), width, height);
    platform::WritePng(differencePath, difference.data(), width, height);
    return ::testing::AssertionFailure() << differing << " pixels differ from " << goldenPath << "; see "
                                         << actualPath << " and " << differencePath;
}

} // namespace golden
