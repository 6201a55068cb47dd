#include "e2e/game_process.h"
#include "platform/capture/d3d8_capture.h"
#include "platform/image/image_decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The captured frame of a tick, replayed, is the screenshot of that tick;
// two ticks can be captured in one run.
TEST(FrameCaptureRun, CapturedTicksReplayToTheirScreenshots) {
    e2e::Sandbox sandbox;
    const std::string script = "3 hold SPACE 2\n20 shot " + sandbox.PathOf("intro.png") + "\n60 shot " +
                               sandbox.PathOf("menu.png") + "\n";
    const std::string captures = "20:" + sandbox.PathOf("intro.bfcf") + ",60:" + sandbox.PathOf("menu.bfcf");
    e2e::Result result = e2e::RunHeadless(sandbox, script, 70, {{"BACKFIRE_CAPTURE_FRAME", captures}});
    ASSERT_EQ(result.exitCode, 0) << result.errors;

    for (const char* name : {"intro", "menu"}) {
        platform::FrameCapture capture;
        std::string error;
        ASSERT_TRUE(platform::ReadFrameCapture(sandbox.PathOf(std::string(name) + ".bfcf"), &capture, &error))
            << name << ": " << error;
        EXPECT_GT(capture.TriangleCount(), 10u) << name;
        platform::DecodedImage shot;
        ASSERT_TRUE(platform::DecodeImage(sandbox.PathOf(std::string(name) + ".png"), &shot)) << name;
        ASSERT_EQ(shot.width, capture.width);
        ASSERT_EQ(shot.height, capture.height);
        std::vector<uint32_t> pixels(static_cast<size_t>(capture.width) * capture.height, 0xFF000000u);
        platform::ReplayIntoRaster(
            capture, platform::ReplayPath::Fast,
            platform::RasterTarget{pixels.data(), capture.width, capture.height, capture.width});
        EXPECT_TRUE(pixels == shot.argb) << name << ": the replay differs from the screenshot";
    }
}

TEST(FrameCaptureRun, MalformedVariableStopsBeforeTheFirstTick) {
    e2e::Sandbox sandbox;
    e2e::Result result = e2e::RunHeadless(sandbox, "", 10, {{"BACKFIRE_CAPTURE_FRAME", "12"}});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.errors.find("BACKFIRE_CAPTURE_FRAME"), std::string::npos) << result.errors;
    EXPECT_FALSE(sandbox.Exists("als.dat"));
}

} // namespace
