#include "platform/dsound/mmio.h"

#include "environment_variable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string Word(uint32_t value) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A chunk with its declared size (by default the true one) and pad byte.
std::string Chunk(const std::string& id, const std::string& data, int64_t declared = -1) {
    std::string out =
        id + Word(declared < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(declared));
    out += data;
    if (data.size() % 2 == 1)
        out += '\0';
    return out;
}

class MemoryFile {
  public:
    explicit MemoryFile(std::string bytes) : bytes(std::move(bytes)) {
        MMIOINFO info{};
        info.fccIOProc = FOURCC_MEM;
        info.pchBuffer = this->bytes.data();
        info.cchBuffer = static_cast<LONG>(this->bytes.size());
        handle = mmioOpenA(nullptr, &info, MMIO_ALLOCBUF | MMIO_READ);
    }
    ~MemoryFile() {
        if (handle != nullptr)
            mmioClose(handle, 0);
    }
    HMMIO handle;

  private:
    std::string bytes;
};

const std::string kWave =
    Chunk("RIFF", "WAVE" + Chunk("LIST", "INFOabc") + Chunk("fmt ", std::string(16, 'f')) +
                      Chunk("odd ", "xyz") + Chunk("data", "0123456789"));

} // namespace

TEST(Mmio, DescendsFindsAndAscendsThroughRiffChunks) {
    MemoryFile file(kWave);
    ASSERT_NE(file.handle, nullptr);
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(file.handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.ckid, FOURCC_RIFF);
    EXPECT_EQ(riff.fccType, mmioFOURCC('W', 'A', 'V', 'E'));
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(mmioSeek(file.handle, 0, SEEK_CUR), 12); // past the form type

    MMCKINFO ck{};
    ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(mmioDescend(file.handle, &ck, &riff, MMIO_FINDCHUNK),
              MMSYSERR_NOERROR); // skips the odd chunk's pad
    EXPECT_EQ(ck.cksize, 10u);
    char data[11] = {};
    EXPECT_EQ(mmioRead(file.handle, data, 20), 10);
    EXPECT_STREQ(data, "0123456789");

    mmioSeek(file.handle, 12, SEEK_SET);
    MMCKINFO list{};
    list.fccType = mmioFOURCC('I', 'N', 'F', 'O');
    ASSERT_EQ(mmioDescend(file.handle, &list, &riff, MMIO_FINDLIST), MMSYSERR_NOERROR);
    EXPECT_EQ(list.cksize, 7u);
    ASSERT_EQ(mmioAscend(file.handle, &list, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(file.handle, 0, SEEK_CUR), 12 + 8 + 8); // seven bytes and the pad

    ck.ckid = mmioFOURCC('n', 'o', 'n', 'e');
    EXPECT_EQ(mmioDescend(file.handle, &ck, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND);
}

TEST(Mmio, ClampsChunksThatOverrunTheirParentOrTheFile) {
    // "fmt " claims more than the RIFF holds; the RIFF claims more than the file
    std::string body = "WAVE" + Chunk("fmt ", std::string(4, 'f'), 1000);
    MemoryFile file(Chunk("RIFF", body, 0xFFFFFFF0u) + "trailing");
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(file.handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.cksize, body.size() + 8); // up to the end of the file
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    MMCKINFO parent = riff;
    parent.cksize = static_cast<DWORD>(body.size());
    ASSERT_EQ(mmioDescend(file.handle, &fmt, &parent, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(fmt.cksize, 4u);
    mmioAscend(file.handle, &riff, 0);
    EXPECT_EQ(mmioSeek(file.handle, 0, SEEK_CUR), mmioSeek(file.handle, 0, SEEK_END));
}

TEST(Mmio, RefusesTruncatedHeadersAndKeepsZeroLengthChunks) {
    MemoryFile shortHeader("RIFF\x10");
    MMCKINFO ck{};
    EXPECT_EQ(mmioDescend(shortHeader.handle, &ck, nullptr, 0), MMIOERR_CHUNKNOTFOUND);

    MemoryFile noFormType(Chunk("RIFF", "WA"));
    EXPECT_EQ(mmioDescend(noFormType.handle, &ck, nullptr, 0), MMIOERR_INVALIDFILE);

    MemoryFile empty(Chunk("RIFF", "WAVE" + Chunk("data", "") + Chunk("next", "z")));
    MMCKINFO riff{};
    ASSERT_EQ(mmioDescend(empty.handle, &riff, nullptr, 0), MMSYSERR_NOERROR);
    ck.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(mmioDescend(empty.handle, &ck, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
    EXPECT_EQ(ck.cksize, 0u);
    ck.ckid = mmioFOURCC('n', 'e', 'x', 't');
    EXPECT_EQ(mmioDescend(empty.handle, &ck, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
}

TEST(Mmio, SeekStaysInsideTheFile) {
    MemoryFile file("0123456789");
    EXPECT_EQ(mmioSeek(file.handle, 4, SEEK_SET), 4);
    EXPECT_EQ(mmioSeek(file.handle, -2, SEEK_CUR), 2);
    EXPECT_EQ(mmioSeek(file.handle, 11, SEEK_SET), -1);
    EXPECT_EQ(mmioSeek(file.handle, -1, SEEK_SET), -1);
    EXPECT_EQ(mmioSeek(file.handle, 0, SEEK_CUR), 2); // a refused seek moves nothing
    EXPECT_EQ(mmioSeek(file.handle, 0, SEEK_END), 10);
    char byte;
    EXPECT_EQ(mmioRead(file.handle, &byte, 1), 0);
    EXPECT_EQ(mmioRead(file.handle, &byte, -1), -1);
}

TEST(Mmio, BufferedFileReadsThroughGetInfoAdvanceAndSetInfo) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("backfire_mmio_" + std::to_string(test_environment::ProcessId()) + ".bin"))
                                 .string();
    std::string content;
    for (int i = 0; i < 3000; ++i)
        content += static_cast<char>(i * 7);
    std::ofstream(path, std::ios::binary) << content;

    MMIOINFO open{};
    open.cchBuffer = 1024;
    HMMIO file = mmioOpenA(const_cast<char*>(path.c_str()), &open, MMIO_ALLOCBUF | MMIO_READ);
    ASSERT_NE(file, nullptr);
    mmioSeek(file, 100, SEEK_SET);
    MMIOINFO info{};
    ASSERT_EQ(mmioGetInfo(file, &info, 0), MMSYSERR_NOERROR);
    std::string read;
    for (;;) {
        if (info.pchNext == info.pchEndRead) {
            ASSERT_EQ(mmioAdvance(file, &info, MMIO_READ), MMSYSERR_NOERROR);
            if (info.pchNext == info.pchEndRead)
                break; // end of the file
        }
        read += *info.pchNext++;
    }
    EXPECT_EQ(read, content.substr(100));
    ASSERT_EQ(mmioSetInfo(file, &info, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioSeek(file, 0, SEEK_CUR), 3000);

    // a pointer outside the buffer's data is refused
    mmioGetInfo(file, &info, 0);
    info.pchNext = info.pchBuffer + info.cchBuffer + 1;
    EXPECT_EQ(mmioSetInfo(file, &info, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(mmioAdvance(file, &info, MMIO_READ), MMSYSERR_INVALPARAM);
    mmioClose(file, 0);

    HMMIO unbuffered = mmioOpenA(const_cast<char*>(path.c_str()), nullptr, MMIO_READ);
    ASSERT_NE(unbuffered, nullptr);
    EXPECT_EQ(mmioAdvance(unbuffered, &info, MMIO_READ), MMIOERR_UNBUFFERED);
    char bytes[4];
    EXPECT_EQ(mmioRead(unbuffered, bytes, 4), 4);
    EXPECT_EQ(std::string(bytes, 4), content.substr(0, 4));
    mmioClose(unbuffered, 0);
    std::filesystem::remove(path);
}

TEST(Mmio, OpenRefusesMissingFilesWritingAndBadMemoryBlocks) {
    MMIOINFO info{};
    char missing[] = "no\\such\\file.wav";
    EXPECT_EQ(mmioOpenA(missing, &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, MMIOERR_FILENOTFOUND);
    EXPECT_EQ(mmioOpenA(missing, nullptr, MMIO_WRITE), nullptr);
    MMIOINFO memory{};
    memory.fccIOProc = FOURCC_MEM;
    memory.cchBuffer = 10;
    EXPECT_EQ(mmioOpenA(nullptr, &memory, MMIO_READ), nullptr); // no block
    EXPECT_EQ(FindResourceA(nullptr, "dat\\button.wav", "WAVE"), nullptr);
}
