#include "shell/services.h"

#include "engine/sound.h"
#include "shell/game_state.h"
#include "shell/music_stream.h"
#include "shell/turtle.h"

MusicStream* gameMusic = nullptr;
MusicStream* uiMusic = nullptr;
Sound* buttonSound = nullptr;

void StartServices(SavedState state) {
    StartSound();
    gameMusic = new MusicStream();
    uiMusic = new MusicStream();
    buttonSound = new Sound("dat\\button.wav", 1);
    ClearProgress();
    SetDefaultOptions();
    if (state == SavedState::Used) {
        LoadProgress("game.dat");
        LoadOptions("options.dat");
    }
    if (TheOptions.musicOn != 0)
        uiMusic->Play("dat\\drum1.ogg");
    turtle = new Turtle();
}

void StopServices(SavedState state) {
    if (state == SavedState::Used)
        SaveOptions("options.dat");
    delete turtle;
    turtle = nullptr;
    delete buttonSound;
    buttonSound = nullptr;
    delete gameMusic;
    gameMusic = nullptr;
    delete uiMusic;
    uiMusic = nullptr;
    // Every sound buffer belongs to the sound system, so it goes last.
    StopSoundSystem();
}

void PlayButtonSound() {
    if (TheOptions.soundOn != 0 && buttonSound != nullptr)
        buttonSound->Play(false, 1.0f);
}
