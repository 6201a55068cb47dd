// The game's loop blocks; the browser's does not. The program is built with
// Asyncify, so an asynchronous import unwinds the game's stack back to the
// page and rewinds it when the page calls back: the loop gives way whenever
// it waits for an event and, so that a busy stretch of ticks never freezes
// the page, at least once per frame of the display.
#include "platform/os/host_turn.h"

#include "platform/os/web/save_folder.h"

#include <emscripten.h>
#include <emscripten/em_js.h>

#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// A display frame at 60 Hz.
constexpr double kLongestHoldMs = 16.0;
// How late a browser's timer may fire.
constexpr int kTimerLateMs = 2;

double lastTurn = 0.0;
// When the game last got control back from the page, from an idle wait or a
// turn given here.
double resumed = 0.0;
bool savesWritten = false;

// Copies the save folder to IndexedDB; the page's script queues a copy
// asked for while one is under way.
void Persist() {
    savesWritten = false;
    EM_ASM({ Module.backfirePersist(); });
}

void PersistAtExit() {
    if (savesWritten)
        Persist();
}

// Browsers hold a timer set from a timer's callback to at least 4 ms once
// such calls nest, which would make every idle wait of the loop 4 ms and
// the ticks late; a timer set from a message's task keeps its millisecond.
// The one channel is kept: a new one for each of the hundreds of turns a
// second left the page's collector pausing the game for 70 to 100 ms every
// few seconds.
EM_ASYNC_JS(void, WaitInPage, (int ms), {
    var turn = Module.backfireTurn;
    if (!turn) {
        turn = Module.backfireTurn = { channel: new MessageChannel(), wake: null };
        turn.channel.port1.onmessage = function() {
            var wake = turn.wake;
            turn.wake = null;
            wake();
        };
    }
    await new Promise(function(wake) {
        turn.wake = ms > 0 ? function() { setTimeout(wake, ms); } : wake;
        turn.channel.port2.postMessage(0);
    });
});

bool InSaveFolder(const std::string& path) {
    const size_t length = std::strlen(kWebSaveFolder);
    // The game's working folder is the save folder.
    return path.empty() || path[0] != '/' ||
           (path.compare(0, length, kWebSaveFolder) == 0 && (path.size() == length || path[length] == '/'));
}

} // namespace

void GiveHostItsTurn() {
    if (savesWritten)
        Persist();
    const double now = emscripten_get_now();
    if (now - lastTurn >= kLongestHoldMs) {
        WaitInPage(0);
        lastTurn = emscripten_get_now();
    }
    resumed = emscripten_get_now();
}

bool WaitInHost(int waitMs) {
    // A browser's timer fires a millisecond or two late, and each late
    // tick would make the next one later: the last ms of the wait are
    // turns given without a timer, which come back at once.
    WaitInPage(waitMs > kTimerLateMs ? waitMs - kTimerLateMs : 0);
    lastTurn = emscripten_get_now();
    return true;
}

void NoteFileWritten(const std::string& path) {
    if (!InSaveFolder(path))
        return;
    static const bool registered = std::atexit(PersistAtExit) == 0;
    (void)registered;
    savesWritten = true;
}

void NoteFrameShown() {
    const double now = emscripten_get_now();
    // Kept only where the page asked for them by setting the array.
    EM_ASM({ if (Module.backfireFrames) Module.backfireFrames.push([ $0, $1 ]); }, now, now - resumed);
}

} // namespace platform
