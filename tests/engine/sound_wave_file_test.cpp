#include "engine/sound_test_files.h"
#include "engine/wave_file.h"

#include "engine/engine_test_dir.h"

using namespace sound_test_files;

using WaveFileTest = EngineTestDir;

TEST_F(WaveFileTest, ReadsFormatAndCountsDownTheData) {
    std::string data;
    for (int i = 0; i < 20000; ++i)
        data += static_cast<char>(i % 251);
    MakeDirectory("dat");
    WriteFile("dat/Tone.wav", Chunk("RIFF", "WAVE" + Chunk("junk", "abc") +
                                                Chunk("fmt ", Format(1, 22050, 8)) + Chunk("data", data)));
    WaveFile wave;
    ASSERT_EQ(wave.Open("dat\\tone.WAV"), S_OK);
    EXPECT_EQ(wave.GetSize(), 20000u);
    EXPECT_EQ(wave.format->nSamplesPerSec, 22050u);
    EXPECT_EQ(wave.format->wBitsPerSample, 8);
    EXPECT_EQ(wave.format->cbSize, 0);
    std::vector<uint8_t> read(30000);
    uint32_t count = 0;
    ASSERT_EQ(wave.Read(read.data(), 100, &count), S_OK);
    EXPECT_EQ(count, 100u);
    ASSERT_EQ(wave.Read(read.data() + 100, 30000, &count), S_OK); // crosses several I/O buffers
    EXPECT_EQ(count, 19900u);
    EXPECT_EQ(std::string(read.begin(), read.begin() + 20000), data);
    EXPECT_EQ(wave.Read(read.data(), 10, &count), S_OK);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(wave.ResetFile(), S_OK);
    ASSERT_EQ(wave.Read(read.data(), 3, &count), S_OK);
    EXPECT_EQ(std::string(read.begin(), read.begin() + 3), data.substr(0, 3));
    EXPECT_EQ(wave.Read(nullptr, 3, &count), E_INVALIDARG);
}

TEST_F(WaveFileTest, RefusesFilesThatAreNotWholeWaves) {
    const std::string data = Samples16({1, 2, 3, 4});
    const std::pair<const char*, std::string> cases[] = {
        {"short fmt",
         Chunk("RIFF", "WAVE" + Chunk("fmt ", Format(1, 22050, 16).substr(0, 14)) + Chunk("data", data))},
        {"no data", Chunk("RIFF", "WAVE" + Chunk("fmt ", Format(1, 22050, 16)))},
        {"no fmt", Chunk("RIFF", "WAVE" + Chunk("data", data))},
        {"not RIFF", Chunk("RIFX", "WAVE" + Chunk("fmt ", Format(1, 22050, 16)) + Chunk("data", data))},
        {"not WAVE", Chunk("RIFF", "AVI " + Chunk("fmt ", Format(1, 22050, 16)) + Chunk("data", data))},
        // a non-PCM format whose extra bytes would run past the "fmt " chunk
        {"extra overrun",
         Chunk("RIFF", "WAVE" + Chunk("fmt ", Format(1, 22050, 16, 2) + Word(40, 2)) + Chunk("data", data))},
        // a "fmt " whose size swallows the rest of the file, "data" included
        {"fmt overrun", Chunk("RIFF", "WAVE" + std::string("fmt ") + Word(0x2010) + Format(1, 22050, 16) +
                                          Chunk("data", data))},
        {"empty", ""},
    };
    for (const auto& [name, bytes] : cases) {
        WriteFile("bad.wav", bytes);
        WaveFile wave;
        EXPECT_EQ(wave.Open("bad.wav"), E_FAIL) << name;
        EXPECT_EQ(wave.GetSize(), 0u) << name;
        EXPECT_EQ(wave.format, nullptr) << name;
        EXPECT_EQ(wave.file, nullptr) << name;
        WaveFile memory;
        EXPECT_NE(memory.OpenMemory(bytes.data(), static_cast<uint32_t>(bytes.size())), S_OK) << name;
    }
    WaveFile missing;
    EXPECT_EQ(missing.Open("dat\\missing.wav"), E_FAIL);
    EXPECT_EQ(missing.Open(nullptr), E_INVALIDARG);
    uint32_t count = 0;
    uint8_t byte;
    EXPECT_EQ(missing.Read(&byte, 1, &count), CO_E_NOTINITIALIZED);
    EXPECT_EQ(missing.ResetFile(), CO_E_NOTINITIALIZED);
}

TEST_F(WaveFileTest, KeepsExtraFormatBytesAndClampsTruncatedData) {
    std::string format = Format(1, 11025, 16, 0x11) + Word(2, 2) + "xy";
    std::string wave = Chunk("RIFF", "WAVE" + Chunk("fmt ", format) + Chunk("data", std::string(64, 'd')));
    wave.resize(wave.size() - 24); // the data chunk promises more than is there
    WaveFile file;
    ASSERT_EQ(file.OpenMemory(wave.data(), static_cast<uint32_t>(wave.size())), S_OK);
    EXPECT_EQ(file.format->wFormatTag, 0x11);
    EXPECT_EQ(file.format->cbSize, 2);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const char*>(file.format) + 18, "xy", 2), 0);
    EXPECT_EQ(file.GetSize(), 40u);
    std::vector<uint8_t> read(64);
    uint32_t count = 0;
    EXPECT_EQ(file.Read(read.data(), 64, &count), S_OK);
    EXPECT_EQ(count, 40u);
}
