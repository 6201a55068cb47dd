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

// Starts the sound system and creates the streams and the button sound; loads
// game.dat and options.dat over their defaults; starts the menu music when
// music is on; creates the turtle.
void StartServices();
// Saves options.dat, deletes the turtle, the button sound and the streams,
// then stops the sound system. Safe to call when nothing was started.
void StopServices();
// Plays the button click when sound is on.
void PlayButtonSound();
