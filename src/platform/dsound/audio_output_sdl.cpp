#include "platform/dsound/audio_output.h"

#include <SDL.h>

namespace platform {

namespace {

// Plays through an SDL2 audio device. When the device stops on its own (it was
// unplugged, or its driver failed to write), the output turns into a clocked
// null sink: the mixer goes on in step with the clock, so play cursors move and
// sounds end as before, and the game carries on silently.
class SdlOutput : public AudioOutput {
  public:
    explicit SdlOutput(Mixer& mixer) : mixer(mixer) {}
    ~SdlOutput() override {
        Close();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Start(uint32_t rate) override {
        if (silent)
            return silent->Start(rate);
        Close();
        {
            std::lock_guard<std::mutex> lock(mixer.Mutex());
            mixer.SetOutputRate(rate);
        }
        SDL_AudioSpec want{};
        want.freq = static_cast<int>(rate);
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        // at most 20 ms per callback, well inside the 25 ms of a game tick
        want.samples = 256;
        while (want.samples * 2u <= rate / 50u)
            want.samples = static_cast<Uint16>(want.samples * 2);
        want.callback = &SdlOutput::Callback;
        want.userdata = &mixer;
        SDL_AudioSpec have{};
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0)
            return false;
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    void Pump() override {
        if (!silent && (device == 0 || SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED)) {
            Close();
            silent = OpenNullOutput(mixer, mixer.OutputRate(), true, std::string());
        }
        if (silent)
            silent->Pump();
    }

    bool IsNull() const override { return silent != nullptr; }

  private:
    static void Callback(void* user, Uint8* stream, int length) {
        static_cast<Mixer*>(user)->Mix(reinterpret_cast<int16_t*>(stream),
                                       static_cast<uint32_t>(length) / 4u);
    }
    void Close() {
        // waits for a running callback, which may need the mixer's mutex
        if (device != 0)
            SDL_CloseAudioDevice(device);
        device = 0;
    }

    Mixer& mixer;
    SDL_AudioDeviceID device = 0;
    std::unique_ptr<AudioOutput> silent; // set once the device has failed
};

} // namespace

std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer& mixer, uint32_t rate) {
    // the name desktop mixers show for our stream
    SDL_SetHint(SDL_HINT_APP_NAME, "Backfire");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Backfire");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    auto output = std::make_unique<SdlOutput>(mixer);
    if (!output->Start(rate))
        return nullptr;
    return output;
}

} // namespace platform
