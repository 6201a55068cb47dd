// The services the main menu sets up once for the whole run and every mode
// shares: the sound system, the two music streams, the button click and the
// frame-rate turtle (shell/turtle.h), with the loading and saving of the game
// state around them.
#pragma once

class MusicStream;
class Sound;

// dat\drum2.ogg during missions.
extern MusicStream* gameMusic;
// dat\drum1.ogg everywhere else.
extern MusicStream* uiMusic;
// dat\button.wav, one copy.
extern Sound* buttonSound;

// Whether the run reads and writes game.dat and options.dat; a replay being
// watched leaves them untouched.
enum class SavedState { Used, Untouched };

// Starts the sound system and creates the streams and the button sound; sets
// the game state to its defaults and loads game.dat and options.dat over them
// when `state` says so; starts the menu music when music is on; creates the
// turtle.
void StartServices(SavedState state);
// Saves options.dat when `state` says so, deletes the turtle, the button
// sound and the streams, then stops the sound system. Safe to call when
// nothing was started.
void StopServices(SavedState state);
// Plays the button click when sound is on.
void PlayButtonSound();
