#include "platform/dsound/audio_output.h"
#include "platform/dsound/dsound.h"
#include "platform/os/files.h"
#include "platform/win32/clock.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

#pragma pack(push, 1)
struct WavHeader {
    char riff[4];
    uint32_t riffSize;
    char wave[4];
    char fmt[4];
    uint32_t fmtSize;
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    char data[4];
    uint32_t dataSize;
};
#pragma pack(pop)
static_assert(sizeof(WavHeader) == 44);
static_assert(std::endian::native == std::endian::little, "the WAV header is written as it lies in memory");

// A 16-bit stereo WAV file that grows as the null sink mixes; its header is
// rewritten for the data so far on every flush.
class Capture {
  public:
    Capture(FILE* file, uint32_t rate) : file(file), rate(rate) { WriteHeader(); }
    ~Capture() {
        WriteHeader();
        std::fclose(file);
    }
    void SetRate(uint32_t value) { rate = value; }
    void Append(const std::vector<int16_t>& samples) {
        size_t written = std::fwrite(samples.data(), sizeof(int16_t), samples.size(), file);
        dataBytes += static_cast<uint32_t>(written * sizeof(int16_t));
    }
    void WriteHeader() {
        WavHeader header{};
        std::memcpy(header.riff, "RIFF", 4);
        header.riffSize = 36 + dataBytes;
        std::memcpy(header.wave, "WAVE", 4);
        std::memcpy(header.fmt, "fmt ", 4);
        header.fmtSize = 16;
        header.formatTag = 1;
        header.channels = 2;
        header.samplesPerSec = rate;
        header.blockAlign = 4;
        header.avgBytesPerSec = rate * 4;
        header.bitsPerSample = 16;
        std::memcpy(header.data, "data", 4);
        header.dataSize = dataBytes;
        std::fseek(file, 0, SEEK_SET);
        std::fwrite(&header, sizeof header, 1, file);
        std::fseek(file, 0, SEEK_END);
        std::fflush(file);
    }

  private:
    FILE* file;
    uint32_t rate;
    uint32_t dataBytes = 0;
};

// The one capture open at a time (main thread only).
Capture* activeCapture = nullptr;

class NullOutput : public AudioOutput {
  public:
    NullOutput(Mixer& mixer, bool clocked, std::unique_ptr<Capture> capture)
        : mixer(mixer), clocked(clocked), capture(std::move(capture)) {
        if (this->capture)
            activeCapture = this->capture.get();
    }
    ~NullOutput() override {
        if (activeCapture == capture.get())
            activeCapture = nullptr;
    }

    bool Start(uint32_t rate) override {
        if (started)
            Pump(); // what is due at the old rate
        started = true;
        {
            std::lock_guard<std::mutex> lock(mixer.Mutex());
            mixer.SetOutputRate(rate);
        }
        if (capture)
            capture->SetRate(rate);
        last = timeGetTime();
        elapsed = 0;
        mixed = 0;
        return true;
    }

    void Pump() override {
        if (!clocked || !started)
            return;
        uint32_t now = timeGetTime();
        elapsed += static_cast<uint32_t>(now - last); // the clock wraps; differences do not
        last = now;
        uint64_t due = elapsed * mixer.OutputRate() / 1000u;
        while (mixed < due) {
            uint32_t frames = static_cast<uint32_t>(std::min<uint64_t>(due - mixed, 4096));
            Render(frames);
        }
    }

    std::vector<int16_t> Render(uint32_t frames) override {
        std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
        mixer.Mix(samples.data(), frames);
        mixed += frames;
        if (capture)
            capture->Append(samples);
        return samples;
    }

    bool IsNull() const override { return true; }

  private:
    Mixer& mixer;
    bool clocked;
    bool started = false;
    std::unique_ptr<Capture> capture;
    uint32_t last = 0;
    uint64_t elapsed = 0; // milliseconds since Start
    uint64_t mixed = 0;   // frames since Start
};

} // namespace

std::unique_ptr<AudioOutput> OpenNullOutput(Mixer& mixer, uint32_t rate, bool clocked,
                                            const std::string& capturePath) {
    std::unique_ptr<Capture> capture;
    if (!capturePath.empty() && activeCapture == nullptr) {
        if (FILE* file = OpenFile(capturePath.c_str(), "wb"))
            capture = std::make_unique<Capture>(file, rate);
    }
    auto output = std::make_unique<NullOutput>(mixer, clocked, std::move(capture));
    output->Start(rate);
    return output;
}

void FlushAudioCapture() {
    if (activeCapture != nullptr)
        activeCapture->WriteHeader();
}

} // namespace platform
