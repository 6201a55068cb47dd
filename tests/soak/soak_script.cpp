#include "soak/soak_script.h"

#include <random>
#include <sstream>
#include <string>

namespace soak {

namespace {

// From the tick a key event opens a menu (or a chosen row rebuilds it), the
// highlight moves one pixel a tick over 30-pixel rows; the mission select's
// moves 1.5 pixels a tick over 40-pixel rows. A chosen row blinks, and the
// next screen opens 47 ticks after the key.
constexpr int kChoiceDelay = 47;
int MenuRow(int row) { return 30 * row + 15; }
int MissionRow(int row) { return (40 * row + 20) * 2 / 3; }

// Main-menu rows (7 is "Play"; 5, "Change Menu Speed", and 9, "QUIT GAME",
// are never taken).
constexpr int kMusicRow = 0;
constexpr int kDifficultyRow = 2;
constexpr int kThrustRow = 4;
constexpr int kPlayRow = 7;
constexpr int kCancelRow = 11; // ten missions, a gap, "Cancel"

class Writer {
  public:
    explicit Writer(uint32_t seed) : random(seed) {}

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    void Key(int tick, const char* key) { text << tick << " hold " << key << " 2\n"; }
    void KeyDown(int tick, const char* key) { text << tick << " down " << key << "\n"; }
    void KeyUp(int tick, const char* key) { text << tick << " up " << key << "\n"; }
    void Fire(int tick, int length) { text << tick << " lmb down\n" << tick + length << " lmb up\n"; }
    std::string Text() const { return text.str(); }

  private:
    std::mt19937 random;
    std::ostringstream text;
};

} // namespace

const char* const kLastFrame = "last-frame.png";

Script MakeScript(uint32_t seed, int ticks) {
    Writer out(seed);
    Script script;
    script.ticks = ticks;
    out.Key(3, "SPACE"); // a key release leaves the intro
    int menu = 4;         // the tick the main menu's highlight starts from
    // Each cycle lasts at most about 3,500 ticks; the rest of the run idles in the main menu.
    while (menu + 4000 < ticks) {
        const int choice = out.Uniform(0, 99);
        if (choice < 10) {
            // music or sound on/off: the menu is rebuilt
            const int press = menu + MenuRow(kMusicRow + out.Uniform(0, 1));
            out.Key(press, "SPACE");
            menu = press + kChoiceDelay;
        } else if (choice < 30) {
            const int press = menu + MenuRow(out.Uniform(kDifficultyRow, kThrustRow));
            out.Key(press, "SPACE");
            const int opened = press + kChoiceDelay;
            if (out.Uniform(0, 1) == 0) {
                const int leave = opened + out.Uniform(5, 300);
                out.Key(leave, "ESCAPE");
                menu = leave;
            } else {
                const int pick = opened + MenuRow(out.Uniform(0, 2));
                out.Key(pick, "SPACE");
                menu = pick + kChoiceDelay;
            }
        } else {
            const int press = menu + MenuRow(kPlayRow);
            out.Key(press, "SPACE");
            const int opened = press + kChoiceDelay;
            if (choice < 35) {
                const int leave = opened + out.Uniform(5, 250);
                out.Key(leave, "ESCAPE");
                menu = leave;
            } else if (choice < 40) {
                const int pick = opened + MissionRow(kCancelRow);
                out.Key(pick, "SPACE");
                menu = pick + kChoiceDelay;
            } else {
                const int pick = opened + MissionRow(out.Uniform(0, 9));
                out.Key(pick, "SPACE");
                const int start = pick + kChoiceDelay;
                const int end = start + out.Uniform(150, 2500);
                // the fire button is the mouse's, which no menu or results screen acts on
                for (int tick = start + out.Uniform(2, 30); tick + 60 < end; tick += out.Uniform(3, 40)) {
                    const int length = out.Uniform(0, 3) == 0 ? out.Uniform(10, 60) : out.Uniform(1, 3);
                    out.Fire(tick, length);
                    tick += length;
                }
                out.KeyDown(end, "ESCAPE");
                out.KeyUp(end + 1, "ESCAPE");
                menu = end;
                ++script.missions;
            }
        }
    }
    // proof that the game was still running when the tick limit came
    script.text = out.Text() + std::to_string(ticks - 1) + " shot " + kLastFrame + "\n";
    return script;
}

} // namespace soak
