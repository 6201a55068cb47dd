#include "platform/win32/key_map.h"
#include "platform/win32/win32.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <utility>

TEST(KeyMap, SdlKeysGetWindowsVirtualKeyCodes) {
    const std::pair<SDL_Keycode, int> pairs[] = {
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F12},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_BACKSPACE, VK_BACK},
        {SDLK_TAB, VK_TAB},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_KP_0, VK_NUMPAD0},
        {SDLK_KP_9, VK_NUMPAD0 + 9},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_UNKNOWN, 0},
        {SDLK_AUDIOPLAY, 0},
    };
    for (const auto& [sdl, vk] : pairs)
        EXPECT_EQ(platform::VirtualKeyFromSdl(sdl), vk) << sdl;
}

TEST(KeyMap, ScriptNamesAndCodes) {
    EXPECT_EQ(platform::VirtualKeyFromName("SPACE"), VK_SPACE);
    EXPECT_EQ(platform::VirtualKeyFromName("escape"), VK_ESCAPE);
    EXPECT_EQ(platform::VirtualKeyFromName("Return"), VK_RETURN);
    EXPECT_EQ(platform::VirtualKeyFromName("UP"), VK_UP);
    EXPECT_EQ(platform::VirtualKeyFromName("F1"), VK_F1);
    EXPECT_EQ(platform::VirtualKeyFromName("F12"), VK_F12);
    EXPECT_EQ(platform::VirtualKeyFromName("q"), 'Q');
    EXPECT_EQ(platform::VirtualKeyFromName("7"), '7'); // a single digit is the digit key
    EXPECT_EQ(platform::VirtualKeyFromName("0"), '0');
    EXPECT_EQ(platform::VirtualKeyFromName("27"), VK_ESCAPE);
    EXPECT_EQ(platform::VirtualKeyFromName("0x1B"), VK_ESCAPE);
    EXPECT_EQ(platform::VirtualKeyFromName("0X20"), VK_SPACE);
    EXPECT_EQ(platform::VirtualKeyFromName("254"), 254);

    for (const char* bad : {"", "F0", "F13", "F01", "FF", "255", "0x", "0x100", "12a", "-5", "SPACEBAR", "#"})
        EXPECT_EQ(platform::VirtualKeyFromName(bad), 0) << bad;
}

TEST(KeyMap, CharactersOfKeys) {
    EXPECT_EQ(platform::TranslatedCharacter(VK_ESCAPE), 27);
    EXPECT_EQ(platform::TranslatedCharacter(VK_RETURN), 13);
    EXPECT_EQ(platform::TranslatedCharacter(VK_BACK), 8);
    EXPECT_EQ(platform::TranslatedCharacter(VK_TAB), 9);
    EXPECT_EQ(platform::TranslatedCharacter(VK_SPACE), 0);
    EXPECT_EQ(platform::TranslatedCharacter('A'), 0);

    EXPECT_EQ(platform::TypedCharacter(VK_SPACE), ' ');
    EXPECT_EQ(platform::TypedCharacter('A'), 'a');
    EXPECT_EQ(platform::TypedCharacter('5'), '5');
    EXPECT_EQ(platform::TypedCharacter(VK_ESCAPE), 0);
    EXPECT_EQ(platform::TypedCharacter(VK_F1), 0);
}
