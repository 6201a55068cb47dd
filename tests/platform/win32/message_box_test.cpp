#include "platform/os/run_mode.h"
#include "platform/win32/win32.h"

#include <gtest/gtest.h>

namespace {

std::string BoxOutput(LPCSTR text, LPCSTR caption, UINT type, int* result) {
    bool wasHeadless = platform::Headless();
    platform::UseHeadless(true);
    testing::internal::CaptureStderr();
    *result = MessageBoxA(nullptr, text, caption, type);
    platform::UseHeadless(wasHeadless);
    return testing::internal::GetCapturedStderr();
}

} // namespace

TEST(MessageBox, HeadlessPrintsCaptionAndTextOnStderr) {
    int result = 0;
    EXPECT_EQ(BoxOutput("No new game mode; expected one!", "Game Failure", MB_OK, &result),
              "Game Failure: No new game mode; expected one!\n");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(BoxOutput("Could not reset the Direct3D device.\n\nSorry, but this game won't run.", "Game",
                        MB_ICONERROR, &result),
              "Game: Could not reset the Direct3D device.\n\nSorry, but this game won't run.\n");
    // Missing strings print, never crash.
    EXPECT_EQ(BoxOutput(nullptr, nullptr, MB_OK, &result), "Error: \n");
}
