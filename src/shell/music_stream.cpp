#include "shell/music_stream.h"
#include "platform/os/files.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

// The buffer's format and, when the stream's differs, the state of the
// linear-interpolation resampler between the source frames `before` and `after`.
struct MusicStream::Conversion {
    uint32_t channels = 1;
    uint32_t bits = 8;
    uint32_t rate = 22050;
    uint32_t sourceChannels = 1;
    bool direct = true;
    double step = 1.0;     // source frames per buffer frame
    double fraction = 2.0; // position past `before`; 2 pulls two frames first
    float before[2] = {0.0f, 0.0f};
    float after[2] = {0.0f, 0.0f};
    std::vector<uint8_t> pending; // decoded source bytes not yet used
    size_t pendingAt = 0;
    // The decoder reported an error other than a gap in the data. It must not
    // be called again: after a failed set-up libvorbis decodes with
    // half-built tables and divides by zero. The stream stays silent.
    bool failed = false;

    void Note(long result) {
        if (result < 0 && result != OV_HOLE)
            failed = true;
    }

    uint32_t Word() const { return bits / 8; }
    uint32_t FrameBytes() const { return channels * Word(); }
    uint8_t Silence() const { return bits == 8 ? 128 : 0; }
};

namespace {

constexpr size_t kPendingBytes = 4096;

float ReadSample(const uint8_t* p, uint32_t bits) {
    if (bits == 8)
        return (static_cast<float>(p[0]) - 128.0f) / 128.0f;
    return static_cast<float>(static_cast<int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
}

void WriteSample(uint8_t* p, uint32_t bits, float value) {
    if (bits == 8) {
        p[0] = static_cast<uint8_t>(std::clamp(std::lrint(value * 128.0f + 128.0f), 0L, 255L));
        return;
    }
    long sample = std::clamp(std::lrint(value * 32768.0f), -32768L, 32767L);
    p[0] = static_cast<uint8_t>(sample & 0xFF);
    p[1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
}

} // namespace

MusicStream::MusicStream()
    : buffer(std::make_unique<WaveSound>("dat\\blank.wav")), decoder(std::make_unique<OggVorbis_File>()),
      conversion(std::make_unique<Conversion>()) {
    std::memset(decoder.get(), 0, sizeof(OggVorbis_File));
}

MusicStream::~MusicStream() {
    Stop();
    if (file != nullptr) // the sound system went first: still close the file once
        ov_clear(decoder.get());
    file = nullptr;
}

HRESULT MusicStream::Play(const char* fileName) {
    if (!soundReady)
        return 0;
    if (file != nullptr)
        Stop();
    if (!buffer->sound || fileName == nullptr)
        return E_FAIL;
    FILE* opened = platform::OpenFile(fileName, "rb");
    if (opened == nullptr)
        return E_FAIL;
    if (ov_open(opened, decoder.get(), nullptr, 0) != 0) {
        std::fclose(opened); // a failed ov_open leaves the file to its caller
        return E_FAIL;
    }
    file = opened;

    const WAVEFORMATEX& format = *buffer->sound->wave->format;
    vorbis_info* info = ov_info(decoder.get(), -1);
    Conversion& c = *conversion;
    c = Conversion{};
    c.channels = std::clamp<uint32_t>(format.nChannels, 1, 2);
    c.bits = format.wBitsPerSample == 16 ? 16 : 8;
    c.rate = format.nSamplesPerSec;
    c.sourceChannels = info != nullptr ? static_cast<uint32_t>(std::max(info->channels, 1)) : c.channels;
    uint32_t sourceRate = info != nullptr ? static_cast<uint32_t>(std::max<long>(info->rate, 1)) : c.rate;
    c.direct = c.sourceChannels == c.channels && sourceRate == c.rate;
    c.step = static_cast<double>(sourceRate) / c.rate;

    nextHalf = 1;
    buffer->LockSection(0, 2);
    if (buffer->lockedPointer != nullptr) {
        Fill(static_cast<uint8_t*>(buffer->lockedPointer), buffer->lockedBytes);
        buffer->UnlockSection();
    }
    HRESULT result = buffer->PlayLooping();
    volume = 1.0f;
    buffer->sound->GetBuffer()->SetVolume(0);
    return result;
}

void MusicStream::Stop() {
    if (!soundReady)
        return;
    if (file != nullptr) {
        ov_clear(decoder.get()); // closes the file too
        file = nullptr;
    }
    buffer->Stop();
}

void MusicStream::Tick() {
    if (!soundReady || file == nullptr)
        return;
    uint32_t position = buffer->GetPlayPosition();
    uint32_t half = buffer->sound->bufferSize / 2;
    if ((position < half && nextHalf == 1) || (position >= half && nextHalf == 0)) {
        buffer->LockSection(nextHalf, 2);
        if (buffer->lockedPointer != nullptr) {
            Fill(static_cast<uint8_t*>(buffer->lockedPointer), buffer->lockedBytes);
            buffer->UnlockSection();
            nextHalf = 1 - nextHalf;
        }
    }
    buffer->sound->GetBuffer()->SetVolume(static_cast<LONG>((1.0f - volume) * -3000.0f));
    if (volume < 1.0f) {
        volume -= 0.01f;
        if (volume < 0.0f)
            Stop();
    }
}

void MusicStream::Fill(uint8_t* destination, uint32_t bytes) {
    const uint32_t frame = conversion->FrameBytes();
    const uint32_t usable = bytes - bytes % frame;
    uint32_t filled = 0;
    while (filled < usable) {
        long got = Decode(destination + filled, usable - filled);
        if (got == 0) { // the end of the stream: go on from its first sample
            conversion->Note(ov_pcm_seek(decoder.get(), 0) != 0 ? OV_EFAULT : 0);
            got = Decode(destination + filled, usable - filled);
        }
        if (got <= 0)
            break;
        filled += static_cast<uint32_t>(got);
    }
    // never leave a half's old audio to be played again
    std::memset(destination + filled, conversion->Silence(), bytes - filled);
}

long MusicStream::Decode(uint8_t* destination, uint32_t bytes) {
    Conversion& c = *conversion;
    const int word = static_cast<int>(c.Word());
    const int sgned = c.bits == 16 ? 1 : 0;
    if (c.failed)
        return OV_EFAULT;
    if (c.direct) {
        int length = static_cast<int>(std::min<uint32_t>(bytes, INT32_MAX) / c.FrameBytes() * c.FrameBytes());
        long got =
            ov_read(decoder.get(), reinterpret_cast<char*>(destination), length, 0, word, sgned, &bitstream);
        c.Note(got);
        return got;
    }
    const uint32_t frames = bytes / c.FrameBytes();
    uint32_t produced = 0;
    while (produced < frames) {
        while (c.fraction >= 1.0) {
            float frame[2];
            long got = PullFrame(frame);
            if (got <= 0)
                return produced > 0 ? static_cast<long>(produced * c.FrameBytes()) : got;
            std::copy(c.after, c.after + 2, c.before);
            std::copy(frame, frame + 2, c.after);
            c.fraction -= 1.0;
        }
        float t = static_cast<float>(c.fraction);
        uint8_t* out = destination + static_cast<size_t>(produced) * c.FrameBytes();
        for (uint32_t ch = 0; ch < c.channels; ++ch)
            WriteSample(out + ch * c.Word(), c.bits, c.before[ch] + (c.after[ch] - c.before[ch]) * t);
        c.fraction += c.step;
        ++produced;
    }
    return static_cast<long>(produced * c.FrameBytes());
}

long MusicStream::PullFrame(float* frame) {
    Conversion& c = *conversion;
    const size_t sourceFrame = static_cast<size_t>(c.sourceChannels) * c.Word();
    if (c.pending.size() - c.pendingAt < sourceFrame) {
        c.pending.erase(c.pending.begin(), c.pending.begin() + static_cast<std::ptrdiff_t>(c.pendingAt));
        c.pendingAt = 0;
        size_t kept = c.pending.size();
        c.pending.resize(std::max(kPendingBytes, sourceFrame * 2));
        long got = ov_read(decoder.get(), reinterpret_cast<char*>(c.pending.data() + kept),
                           static_cast<int>(c.pending.size() - kept), 0, static_cast<int>(c.Word()),
                           c.bits == 16 ? 1 : 0, &bitstream);
        c.Note(got);
        c.pending.resize(kept + static_cast<size_t>(std::max(got, 0L)));
        if (got <= 0)
            return got;
        if (c.pending.size() < sourceFrame)
            return PullFrame(frame);
    }
    const uint8_t* p = c.pending.data() + c.pendingAt;
    c.pendingAt += sourceFrame;
    if (c.channels == 1) {
        float sum = 0.0f;
        for (uint32_t ch = 0; ch < c.sourceChannels; ++ch)
            sum += ReadSample(p + ch * c.Word(), c.bits);
        frame[0] = sum / static_cast<float>(c.sourceChannels);
        frame[1] = frame[0];
    } else {
        for (uint32_t ch = 0; ch < 2; ++ch)
            frame[ch] = ReadSample(p + std::min(ch, c.sourceChannels - 1) * c.Word(), c.bits);
    }
    return 1;
}
