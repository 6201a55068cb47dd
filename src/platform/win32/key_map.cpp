#include "platform/win32/key_map.h"

#include "platform/win32/win32.h"

#include <SDL_keycode.h>

#include <cctype>
#include <cstdlib>

namespace platform {
namespace {

struct KeyPair {
    int32_t sdl;
    int vk;
};

// Keys outside the letter, digit and function-key runs. Codes without a name
// in win32.h: caps lock 0x14, the keypad operators 0x6A..0x6F and the
// punctuation keys 0xBA..0xDE of the US layout.
constexpr KeyPair kSdlKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_SPACE, VK_SPACE},
    {SDLK_LSHIFT, VK_SHIFT},    {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},   {SDLK_LALT, VK_MENU},     {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},     {SDLK_CAPSLOCK, 0x14},    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_END, VK_END},       {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},       {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},       {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE},
    {SDLK_KP_MULTIPLY, 0x6A},   {SDLK_KP_PLUS, 0x6B},     {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},     {SDLK_KP_DIVIDE, 0x6F},   {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},        {SDLK_COMMA, 0xBC},       {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},        {SDLK_SLASH, 0xBF},       {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB},   {SDLK_BACKSLASH, 0xDC},   {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},
};

struct NamedKey {
    const char* name;
    int vk;
};

constexpr NamedKey kKeyNames[] = {
    {"SPACE", VK_SPACE}, {"ESCAPE", VK_ESCAPE}, {"RETURN", VK_RETURN}, {"LEFT", VK_LEFT},
    {"UP", VK_UP},       {"RIGHT", VK_RIGHT},   {"DOWN", VK_DOWN},
};

bool EqualIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

// A whole decimal or 0x-hex number in 1..254, else 0.
int ParseKeyCode(const std::string& text) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    size_t digits = hex ? 2 : 0;
    if (digits == text.size() || text.size() > digits + 3)
        return 0;
    for (size_t i = digits; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (hex ? !std::isxdigit(c) : !std::isdigit(c))
            return 0;
    }
    long value = std::strtol(text.c_str() + digits, nullptr, hex ? 16 : 10);
    return value >= 1 && value <= 254 ? static_cast<int>(value) : 0;
}

} // namespace

int VirtualKeyFromSdl(int32_t sdlKeycode) {
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return 'A' + (sdlKeycode - SDLK_a);
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return '0' + (sdlKeycode - SDLK_0);
    if (sdlKeycode >= SDLK_F1 && sdlKeycode <= SDLK_F12)
        return VK_F1 + (sdlKeycode - SDLK_F1);
    if (sdlKeycode >= SDLK_KP_1 && sdlKeycode <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (sdlKeycode - SDLK_KP_1);
    if (sdlKeycode == SDLK_KP_0)
        return VK_NUMPAD0;
    for (const KeyPair& pair : kSdlKeys)
        if (pair.sdl == sdlKeycode)
            return pair.vk;
    return 0;
}

int VirtualKeyFromName(const std::string& name) {
    if (name.empty())
        return 0;
    if (name.size() == 1) {
        unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isalpha(c))
            return std::toupper(c);
        if (std::isdigit(c))
            return c;
        return 0;
    }
    for (const NamedKey& key : kKeyNames)
        if (EqualIgnoringCase(name, key.name))
            return key.vk;
    if ((name[0] == 'F' || name[0] == 'f') && std::isdigit(static_cast<unsigned char>(name[1]))) {
        int number = ParseKeyCode(name.substr(1));
        bool canonical = name[1] != '0'; // "F01" is not a key name
        return canonical && number >= 1 && number <= 12 ? VK_F1 + number - 1 : 0;
    }
    return ParseKeyCode(name);
}

int TranslatedCharacter(int virtualKey) {
    switch (virtualKey) {
    case VK_ESCAPE:
        return 27;
    case VK_RETURN:
        return 13;
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    default:
        return 0;
    }
}

int TypedCharacter(int virtualKey) {
    if (virtualKey == VK_SPACE || (virtualKey >= '0' && virtualKey <= '9'))
        return virtualKey;
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return virtualKey - 'A' + 'a';
    return 0;
}

} // namespace platform
