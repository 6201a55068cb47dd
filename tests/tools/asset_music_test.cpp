// The music loops: Ogg Vorbis that the game's decoder reads, mono at the
// rate of the streaming buffer (blank.wav), at least 30 seconds, loud but
// with headroom for the mix, and continuous across the loop point.

#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "asset_test_files.h"

using namespace asset_test;

namespace {

struct Decoded {
    bool valid = false;
    int channels = 0;
    long rate = 0;
    std::vector<int16_t> samples;
};

Decoded DecodeOgg(const std::string& path) {
    Decoded out;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return out;
    OggVorbis_File vf;
    if (ov_open(file, &vf, nullptr, 0) != 0) {
        std::fclose(file);
        return out;
    }
    vorbis_info* info = ov_info(&vf, -1);
    out.channels = info->channels;
    out.rate = info->rate;
    char buffer[8192];
    int bitstream = 0;
    for (;;) {
        long got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &bitstream);
        if (got <= 0) {
            out.valid = got == 0;
            break;
        }
        for (long i = 0; i + 1 < got; i += 2)
            out.samples.push_back(
                int16_t(uint16_t(uint8_t(buffer[i])) | uint16_t(uint8_t(buffer[i + 1])) << 8));
    }
    ov_clear(&vf);
    return out;
}

double Rms(const std::vector<int16_t>& s, size_t from, size_t count) {
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += double(s[i]) * double(s[i]);
    return std::sqrt(sum / double(count));
}

class AssetMusic : public InBuildDir {};

} // namespace

TEST_F(AssetMusic, LoopsAreLongMonoStreamsAtTheBufferRate) {
    Wav blank = ParseWav(ReadBytes("dat\\blank.wav"));
    ASSERT_TRUE(blank.valid);
    for (const char* name : {"dat\\drum1.ogg", "dat\\drum2.ogg"}) {
        Decoded music = DecodeOgg(Resolve(name));
        ASSERT_TRUE(music.valid) << name;
        EXPECT_EQ(music.channels, 1) << name;
        EXPECT_EQ(music.rate, long(blank.rate)) << name << " would play at the wrong speed";
        EXPECT_GE(double(music.samples.size()) / double(music.rate), 30.0) << name;
        int peak = 0;
        for (int16_t s : music.samples)
            peak = std::max(peak, std::abs(int(s)));
        // One loop fades out while the other starts, and effects play over
        // both: each leaves room below full scale.
        EXPECT_LT(peak, 20700) << name << " peaks above -4 dBFS";
        EXPECT_GT(Rms(music.samples, 0, music.samples.size()), 3000.0)
            << name << " is too quiet for 8-bit playback";
    }
}

TEST_F(AssetMusic, LoopsJoinWithoutAClickOrAFade) {
    for (const char* name : {"dat\\drum1.ogg", "dat\\drum2.ogg"}) {
        Decoded music = DecodeOgg(Resolve(name));
        ASSERT_TRUE(music.valid) << name;
        const std::vector<int16_t>& s = music.samples;
        ASSERT_GT(s.size(), size_t(music.rate));
        // The step from the last sample to the first, against the ordinary
        // steps between neighbours.
        std::vector<double> steps;
        for (size_t i = 0; i + 1 < s.size(); ++i)
            steps.push_back(std::fabs(double(s[i + 1]) - double(s[i])));
        std::nth_element(steps.begin(), steps.begin() + long(steps.size() * 99 / 100), steps.end());
        double typical = steps[steps.size() * 99 / 100];
        double jump = std::fabs(double(s.front()) - double(s.back()));
        EXPECT_LE(jump, typical) << name << ": jump " << jump << " at the loop point";
        size_t window = size_t(music.rate) / 10;
        double head = Rms(s, 0, window), tail = Rms(s, s.size() - window, window),
               whole = Rms(s, 0, s.size());
        EXPECT_GT(head, whole * 0.3) << name << " fades in";
        EXPECT_GT(tail, whole * 0.3) << name << " fades out";
    }
}
