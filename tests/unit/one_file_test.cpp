// The one-file installer's directory and trailer, the search for the payload's
// end in a signed or unsigned program, and the checks the stub makes before
// it writes anything (the fuzz target one_file reads whole files). Offsets
// are typed from the layout table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/one_file.h"

using namespace package;

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (uint8_t)(v >> (8 * i));
}

TEST(OneFile, EntryAndTrailerBytes) {
    OneFileEntry e = {"wendlo.dll", 0x11223344, 0x55667788, 0x99AABBCC};
    uint8_t out[kOneFileEntrySize];
    memset(out, 0xEE, sizeof out);
    EncodeOneFileEntry(e, out);
    const uint8_t expected[kOneFileEntrySize] = {
        'w', 'e', 'n', 'd', 'l', 'o', '.', 'd', 'l', 'l', 0, 0, 0, 0, 0, 0,
        0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0xCC, 0xBB, 0xAA, 0x99};
    for (size_t i = 0; i < sizeof out; ++i) ASSERT_EQ(expected[i], out[i]) << "offset " << i;
    OneFileEntry back = {};
    ASSERT_FALSE(DecodeOneFileEntry(out, kOneFileEntrySize - 1, &back));
    ASSERT_TRUE(DecodeOneFileEntry(out, sizeof out, &back));
    EXPECT_STREQ("wendlo.dll", back.name);
    EXPECT_EQ(0x11223344u, back.offset);
    EXPECT_EQ(0x55667788u, back.size);
    EXPECT_EQ(0x99AABBCCu, back.crc);
    // A name that fills its field is cut to 15 characters on reading.
    memset(out, 'a', kOneFileNameSize);
    ASSERT_TRUE(DecodeOneFileEntry(out, sizeof out, &back));
    EXPECT_EQ(15u, strlen(back.name));

    uint8_t trailer[kOneFileTrailerSize];
    EncodeOneFileTrailer({0x01020304, 5}, trailer);
    const uint8_t expectedTrailer[kOneFileTrailerSize] = {
        4, 3, 2, 1, 5, 0, 0, 0, 'Z', 'E', 'K', '1', 'F', 'I', 'L', 'E'};
    for (size_t i = 0; i < sizeof trailer; ++i)
        ASSERT_EQ(expectedTrailer[i], trailer[i]) << "offset " << i;
    OneFileTrailer t = {};
    ASSERT_TRUE(DecodeOneFileTrailer(trailer, sizeof trailer, &t));
    EXPECT_EQ(0x01020304u, t.directoryOffset);
    EXPECT_EQ(5u, t.count);
    trailer[15] = 'X';
    EXPECT_FALSE(DecodeOneFileTrailer(trailer, sizeof trailer, &t));
}

// PE headers: "MZ", the PE header at 0x80, an optional header of the given
// magic with `directories` data directories, the certificate table (entry 4)
// at tableOffset/tableSize.
Bytes Headers(uint16_t magic, uint32_t directories, uint32_t tableOffset, uint32_t tableSize) {
    Bytes b(0x200, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x80);
    memcpy(&b[0x80], "PE\0\0", 4);
    size_t optional = 0x80 + 24;
    b[optional] = (uint8_t)magic;
    b[optional + 1] = (uint8_t)(magic >> 8);
    size_t count = optional + (magic == 0x20B ? 108 : 92);
    Put32(b, count, directories);
    Put32(b, count + 4 + 32, tableOffset);
    Put32(b, count + 4 + 36, tableSize);
    return b;
}

TEST(OneFile, PayloadEndsAtTheCertificateTableOrTheFileEnd) {
    struct Case {
        Bytes head;
        uint64_t fileSize;
        uint64_t end;
    } cases[] = {
        {Headers(0x10B, 16, 0, 0), 5000, 5000},          // unsigned PE32
        {Headers(0x20B, 16, 0, 0), 5000, 5000},          // unsigned PE32+
        {Headers(0x10B, 16, 4000, 1000), 5000, 4000},    // signed
        {Headers(0x20B, 16, 4000, 1000), 5000, 4000},
        {Headers(0x10B, 16, 4000, 1000), 4999, 0},       // cut inside the signature
        {Headers(0x10B, 16, 4000, 1000), 6000, 0},       // something behind it
        {Headers(0x10B, 16, 0, 1000), 1000, 0},
        {Headers(0x10B, 16, 0xFFFFFFFF, 2), 1, 0},  // ends at 1 only in 32 bits
        {Headers(0x10B, 4, 4000, 1000), 5000, 5000},     // no entry 4 at all
        {Headers(0x10C, 16, 0, 0), 5000, 0},             // unknown magic
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].end,
                  OneFilePayloadEnd(cases[i].head.data(), cases[i].head.size(), cases[i].fileSize));
    }
    Bytes notMz = Headers(0x10B, 16, 0, 0);
    notMz[0] = 'X';
    EXPECT_EQ(0u, OneFilePayloadEnd(notMz.data(), notMz.size(), 5000));
    Bytes farPe = Headers(0x10B, 16, 0, 0);
    Put32(farPe, 0x3C, 0x1F0);  // the optional header would lie past the bytes read
    EXPECT_EQ(0u, OneFilePayloadEnd(farPe.data(), farPe.size(), 5000));
    Put32(farPe, 0x3C, 0xFFFFFFF0);
    EXPECT_EQ(0u, OneFilePayloadEnd(farPe.data(), farPe.size(), 5000));
    Bytes short32 = Headers(0x10B, 16, 4000, 1000);
    EXPECT_EQ(0u, OneFilePayloadEnd(short32.data(), 0x80 + 24 + 96 + 32 + 4, 5000));
}

TEST(OneFile, TrailerMustCloseItsDirectory) {
    const uint64_t end = 1000 + 2 * kOneFileEntrySize + kOneFileTrailerSize;
    EXPECT_TRUE(CheckOneFileTrailer({1000, 2}, end));
    EXPECT_FALSE(CheckOneFileTrailer({1000, 2}, end + 1));
    EXPECT_FALSE(CheckOneFileTrailer({1000, 3}, end));
    EXPECT_FALSE(CheckOneFileTrailer({1000, 0}, 1000 + kOneFileTrailerSize));
    EXPECT_FALSE(CheckOneFileTrailer({1000, 9}, 1000 + 9 * kOneFileEntrySize + kOneFileTrailerSize));
    // A count that would wrap the sum in 32 bits.
    EXPECT_FALSE(CheckOneFileTrailer({1000, 0x80000000u}, end));
    EXPECT_FALSE(CheckOneFileTrailer({0, 1}, kOneFileTrailerSize - 1));
}

TEST(OneFile, DirectoryChecksNamesAndBounds) {
    const uint32_t dir = 10000;
    OneFileEntry good[] = {{"setup.exe", 4096, 3000, 0}, {"setup.dat", 7096, 2904, 0}};
    EXPECT_TRUE(CheckOneFileDirectory(good, 2, 4096, dir));
    struct Case {
        OneFileEntry second;
    } bad[] = {
        {{"..", 7096, 10, 0}},
        {{"a\\b.dll", 7096, 10, 0}},
        {{"CON", 7096, 10, 0}},
        {{"", 7096, 10, 0}},
        {{"SETUP.EXE", 7096, 10, 0}},       // the same name in another case
        {{"setup.dat", 7096, 2905, 0}},     // reaches into the directory
        {{"setup.dat", 4095, 10, 0}},       // starts inside the stub
        {{"setup.dat", 7096, 0xFFFFFFFF, 0}},  // would wrap in 32 bits
    };
    for (size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i) {
        SCOPED_TRACE(i);
        OneFileEntry entries[] = {good[0], bad[i].second};
        EXPECT_FALSE(CheckOneFileDirectory(entries, 2, 4096, dir));
    }
    EXPECT_FALSE(CheckOneFileDirectory(good + 1, 1, 4096, dir));  // no setup.exe
}

TEST(OneFile, Crc32IsZlibsAndContinues) {
    const char text[] = "The quick brown fox jumps over the lazy dog";
    const uint8_t* p = (const uint8_t*)text;
    EXPECT_EQ(0x414FA339u, Crc32(0, p, strlen(text)));
    EXPECT_EQ(0x414FA339u, Crc32(Crc32(0, p, 10), p + 10, strlen(text) - 10));
    EXPECT_EQ(0u, Crc32(0, p, 0));
}

}  // namespace
