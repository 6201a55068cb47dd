#include "platform/audio_output.h"

#include <SDL.h>

namespace platform {

namespace {

class SdlOutput : public AudioOutput {
  public:
    explicit SdlOutput(Mixer& mixer) : mixer(mixer) {}
    ~SdlOutput() override {
        Close();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Start(uint32_t rate) override {
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
};

} // namespace

std::unique_ptr<AudioOutput> OpenSdlOutput(Mixer& mixer, uint32_t rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    auto output = std::make_unique<SdlOutput>(mixer);
    if (!output->Start(rate))
        return nullptr;
    return output;
}

} // namespace platform
