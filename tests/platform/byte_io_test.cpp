#include "platform/byte_io.h"

#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "tools/test_support.h"

namespace velk {
namespace {

namespace fs = std::filesystem;

using velk::testing::ReadFileBytes;
using velk::testing::TempFolder;
using velk::testing::WriteFileBytes;

const std::vector<uint8_t> kBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                     0xF0, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xC0, 0x3F};

TEST(ByteSource, SpanBasics) {
    ByteSource src = ByteSource::FromSpan(kBytes);
    EXPECT_TRUE(src.Ok());
    EXPECT_EQ(src.Size(), 16u);
    EXPECT_EQ(src.Position(), 0u);
    EXPECT_EQ(src.Remaining(), 16u);
    uint8_t buf[5] = {};
    EXPECT_EQ(src.ReadBytes(buf, 5), 5u);
    EXPECT_EQ(buf[4], 0x05);
    EXPECT_EQ(src.Position(), 5u);
    EXPECT_EQ(src.Remaining(), 11u);
}

TEST(ByteSource, LittleAndBigEndianValues) {
    ByteSource src = ByteSource::FromSpan(kBytes);
    uint16_t u16 = 0;
    EXPECT_EQ(src.ReadU16(u16, ByteOrder::Little), 2u);
    EXPECT_EQ(u16, 0x0201);
    EXPECT_EQ(src.ReadU16(u16, ByteOrder::Big), 2u);
    EXPECT_EQ(u16, 0x0304);
    uint32_t u32 = 0;
    EXPECT_EQ(src.ReadU32(u32, ByteOrder::Little), 4u);
    EXPECT_EQ(u32, 0x08070605u);
    ASSERT_TRUE(src.Seek(4));
    EXPECT_EQ(src.ReadU32(u32, ByteOrder::Big), 4u);
    EXPECT_EQ(u32, 0x05060708u);
    int16_t i16 = 0;
    EXPECT_EQ(src.ReadI16(i16, ByteOrder::Little), 2u);  // F0 FF
    EXPECT_EQ(i16, -16);
    ASSERT_TRUE(src.Seek(8));
    EXPECT_EQ(src.ReadI16(i16, ByteOrder::Big), 2u);  // F0 FF
    EXPECT_EQ(i16, static_cast<int16_t>(0xF0FF));
    ASSERT_TRUE(src.Seek(8));
    int32_t i32 = 0;
    EXPECT_EQ(src.ReadI32(i32, ByteOrder::Little), 4u);  // F0 FF 80 00
    EXPECT_EQ(i32, 0x0080FFF0);
    ASSERT_TRUE(src.Seek(8));
    EXPECT_EQ(src.ReadI32(i32, ByteOrder::Big), 4u);
    EXPECT_EQ(i32, static_cast<int32_t>(0xF0FF8000u));
    int8_t i8 = 0;
    uint8_t u8 = 0;
    ASSERT_TRUE(src.Seek(9));
    EXPECT_EQ(src.ReadI8(i8), 1u);
    EXPECT_EQ(i8, -1);
    EXPECT_EQ(src.ReadU8(u8), 1u);
    EXPECT_EQ(u8, 0x80);
    ASSERT_TRUE(src.Seek(12));
    float f = 0;
    EXPECT_EQ(src.ReadF32(f, ByteOrder::Little), 4u);  // 00 00 C0 3F
    EXPECT_EQ(f, 1.5f);
}

TEST(ByteSource, FloatsBothOrders) {
    const std::vector<uint8_t> be = {0x3F, 0xC0, 0x00, 0x00,                          // 1.5f
                                     0xC0, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18,  // -pi
                                     0x18, 0x2D, 0x44, 0x54, 0xFB, 0x21, 0x09, 0xC0};  // -pi LE
    ByteSource src = ByteSource::FromSpan(be);
    float f = 0;
    double d = 0;
    EXPECT_EQ(src.ReadF32(f, ByteOrder::Big), 4u);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(src.ReadF64(d, ByteOrder::Big), 8u);
    EXPECT_EQ(d, -3.141592653589793);
    d = 0;
    EXPECT_EQ(src.ReadF64(d, ByteOrder::Little), 8u);
    EXPECT_EQ(d, -3.141592653589793);
    EXPECT_EQ(src.Remaining(), 0u);
}

TEST(ByteSource, ShortReadsReportTheBytesGotInBothOrders) {
    const std::vector<uint8_t> three = {0xAA, 0xBB, 0xCC};
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        SCOPED_TRACE(order == ByteOrder::Little ? "little" : "big");
        {
            ByteSource src = ByteSource::FromSpan(three);
            int32_t v = 12345;
            EXPECT_EQ(src.ReadI32(v, order), 3u);
            EXPECT_EQ(v, 12345);  // unchanged
            EXPECT_EQ(src.Position(), 3u);  // the bytes that were there are consumed
            EXPECT_EQ(src.Remaining(), 0u);
            EXPECT_EQ(src.ReadI32(v, order), 0u);
            EXPECT_EQ(v, 12345);
        }
        {
            ByteSource src = ByteSource::FromSpan(three);
            uint32_t v = 7;
            EXPECT_EQ(src.ReadU32(v, order), 3u);
            EXPECT_EQ(v, 7u);
        }
        {
            ByteSource src = ByteSource::FromSpan(three);
            float f = 2.5f;
            EXPECT_EQ(src.ReadF32(f, order), 3u);
            EXPECT_EQ(f, 2.5f);
        }
        {
            ByteSource src = ByteSource::FromSpan(three);
            double d = -1.25;
            EXPECT_EQ(src.ReadF64(d, order), 3u);
            EXPECT_EQ(d, -1.25);
        }
        {
            ByteSource src = ByteSource::FromSpan(three);
            ASSERT_TRUE(src.Skip(2));
            int16_t s = 99;
            uint16_t u = 98;
            EXPECT_EQ(src.ReadI16(s, order), 1u);
            EXPECT_EQ(s, 99);
            EXPECT_EQ(src.ReadU16(u, order), 0u);
            EXPECT_EQ(u, 98);
        }
    }
    ByteSource empty = ByteSource::FromSpan({});
    int8_t i8 = 5;
    uint8_t u8 = 6;
    EXPECT_EQ(empty.ReadI8(i8), 0u);
    EXPECT_EQ(empty.ReadU8(u8), 0u);
    EXPECT_EQ(i8, 5);
    EXPECT_EQ(u8, 6);
}

TEST(ByteSource, ShortBulkRead) {
    ByteSource src = ByteSource::FromSpan(kBytes);
    ASSERT_TRUE(src.Seek(10));
    std::array<uint8_t, 32> buf;
    buf.fill(0x55);
    EXPECT_EQ(src.ReadBytes(buf.data(), buf.size()), 6u);
    EXPECT_EQ(buf[0], 0x80);
    EXPECT_EQ(buf[5], 0x3F);
    EXPECT_EQ(buf[6], 0x55);  // nothing written past what was read
    EXPECT_EQ(src.ReadBytes(buf.data(), buf.size()), 0u);
    EXPECT_EQ(src.ReadBytes(nullptr, 0), 0u);
}

TEST(ByteSource, SeekAndSkipStayInBounds) {
    ByteSource src = ByteSource::FromSpan(kBytes);
    EXPECT_TRUE(src.Seek(16));  // the end itself is a valid position
    EXPECT_EQ(src.Remaining(), 0u);
    EXPECT_FALSE(src.Seek(17));
    EXPECT_EQ(src.Position(), 16u);
    EXPECT_TRUE(src.Seek(3));
    EXPECT_FALSE(src.Skip(14));
    EXPECT_EQ(src.Position(), 3u);
    EXPECT_TRUE(src.Skip(13));
    EXPECT_EQ(src.Position(), 16u);
    EXPECT_FALSE(src.Seek(std::numeric_limits<uint64_t>::max()));
    EXPECT_TRUE(src.Seek(1));
    EXPECT_FALSE(src.Skip(std::numeric_limits<uint64_t>::max()));  // no wrap-around
    EXPECT_EQ(src.Position(), 1u);
}

TEST(ByteSource, PeekDoesNotConsume) {
    ByteSource src = ByteSource::FromSpan(kBytes);
    ASSERT_TRUE(src.Seek(14));
    auto view = src.Peek(100);
    ASSERT_EQ(view.size(), 2u);
    EXPECT_EQ(view[0], 0xC0);
    EXPECT_EQ(src.Position(), 14u);
    EXPECT_EQ(src.Peek(1).size(), 1u);
}

TEST(ByteSource, FromFile) {
    TempFolder dir;
    std::string path = dir.File("data.bin");
    WriteFileBytes(path, kBytes);
    ByteSource src = ByteSource::FromFile(path);
    ASSERT_TRUE(src.Ok()) << src.Error();
    EXPECT_EQ(src.Size(), 16u);
    uint32_t v = 0;
    EXPECT_EQ(src.ReadU32(v, ByteOrder::Big), 4u);
    EXPECT_EQ(v, 0x01020304u);
    ASSERT_TRUE(src.Seek(14));
    double d = 3;
    EXPECT_EQ(src.ReadF64(d, ByteOrder::Little), 2u);
    EXPECT_EQ(d, 3);
}

TEST(ByteSource, FromEmptyFile) {
    TempFolder dir;
    std::string path = dir.File("empty");
    WriteFileBytes(path, {});
    ByteSource src = ByteSource::FromFile(path);
    EXPECT_TRUE(src.Ok());
    EXPECT_EQ(src.Size(), 0u);
    uint8_t b = 1;
    EXPECT_EQ(src.ReadU8(b), 0u);
}

TEST(ByteSource, MissingFileOrFolderIsNotOk) {
    TempFolder dir;
    ByteSource missing = ByteSource::FromFile(dir.File("nope"));
    EXPECT_FALSE(missing.Ok());
    EXPECT_NE(missing.Error().find("nope"), std::string::npos) << missing.Error();
    EXPECT_EQ(missing.Size(), 0u);
    uint32_t v = 4;
    EXPECT_EQ(missing.ReadU32(v, ByteOrder::Little), 0u);
    EXPECT_EQ(v, 4u);
    ByteSource folder = ByteSource::FromFile(fs::temp_directory_path().string());
    EXPECT_FALSE(folder.Ok());
    EXPECT_EQ(folder.Size(), 0u);
}

TEST(ByteSource, FileWithoutAStatedSize) {
    // /proc files say 0 bytes but have contents.
    if (!fs::exists("/proc/self/stat")) GTEST_SKIP() << "no /proc";
    ByteSource src = ByteSource::FromFile("/proc/self/stat");
    ASSERT_TRUE(src.Ok()) << src.Error();
    EXPECT_GT(src.Size(), 0u);
}

TEST(ByteSource, MoveKeepsTheBytes) {
    TempFolder dir;
    std::string path = dir.File("m.bin");
    WriteFileBytes(path, kBytes);
    ByteSource a = ByteSource::FromFile(path);
    uint8_t b = 0;
    ASSERT_EQ(a.ReadU8(b), 1u);
    ByteSource c = std::move(a);
    EXPECT_EQ(c.Position(), 1u);
    EXPECT_EQ(c.ReadU8(b), 1u);
    EXPECT_EQ(b, 0x02);
    a = ByteSource::FromSpan(kBytes);
    EXPECT_EQ(a.Size(), 16u);
}

TEST(ByteSource, LargeFileBulkReadInChunks) {
    TempFolder dir;
    std::string path = dir.File("big.bin");
    const size_t n = (8u << 20) + 123;  // several chunks and a ragged tail
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    WriteFileBytes(path, bytes);
    std::vector<uint8_t> back(n);
    ByteSource src = ByteSource::FromFile(path);
    ASSERT_TRUE(src.Ok()) << src.Error();
    size_t got = 0;
    while (got < n) {
        size_t r = src.ReadBytes(back.data() + got, std::min<size_t>(1 << 20, n - got));
        ASSERT_GT(r, 0u);
        got += r;
    }
    EXPECT_EQ(back, bytes);
    EXPECT_EQ(src.Remaining(), 0u);
}

TEST(ByteSink, MemoryLittleAndBigEndian) {
    ByteSink sink;
    EXPECT_TRUE(sink.WriteU16(0x0102, ByteOrder::Little));
    EXPECT_TRUE(sink.WriteU16(0x0102, ByteOrder::Big));
    EXPECT_TRUE(sink.WriteI32(-2, ByteOrder::Little));
    EXPECT_TRUE(sink.WriteU32(0xA1B2C3D4u, ByteOrder::Big));
    EXPECT_TRUE(sink.WriteI16(-3, ByteOrder::Big));
    EXPECT_TRUE(sink.WriteI8(-1));
    EXPECT_TRUE(sink.WriteU8(0x7F));
    EXPECT_TRUE(sink.WriteF32(1.5f, ByteOrder::Little));
    EXPECT_TRUE(sink.WriteF32(1.5f, ByteOrder::Big));
    EXPECT_TRUE(sink.WriteF64(-3.141592653589793, ByteOrder::Big));
    EXPECT_TRUE(sink.WriteF64(-3.141592653589793, ByteOrder::Little));
    EXPECT_TRUE(sink.WriteText("ok"));
    const std::vector<uint8_t> expected = {
        0x02, 0x01, 0x01, 0x02, 0xFE, 0xFF, 0xFF, 0xFF, 0xA1, 0xB2, 0xC3, 0xD4, 0xFF, 0xFD,
        0xFF, 0x7F, 0x00, 0x00, 0xC0, 0x3F, 0x3F, 0xC0, 0x00, 0x00,
        0xC0, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18, 0x18, 0x2D, 0x44, 0x54, 0xFB, 0x21, 0x09, 0xC0,
        'o', 'k'};
    EXPECT_EQ(sink.Bytes(), expected);
    EXPECT_EQ(sink.Written(), expected.size());
    EXPECT_TRUE(sink.Ok());
}

TEST(ByteSink, RoundTripThroughASource) {
    ByteSink sink;
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        sink.WriteI16(std::numeric_limits<int16_t>::min(), order);
        sink.WriteU16(65535, order);
        sink.WriteI32(std::numeric_limits<int32_t>::min(), order);
        sink.WriteU32(4000000000u, order);
        sink.WriteF32(-0.0f, order);
        sink.WriteF64(std::numeric_limits<double>::denorm_min(), order);
    }
    ByteSource src = ByteSource::FromSpan(sink.Bytes());
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        int16_t a;
        uint16_t b;
        int32_t c;
        uint32_t d;
        float e;
        double f;
        EXPECT_EQ(src.ReadI16(a, order), 2u);
        EXPECT_EQ(src.ReadU16(b, order), 2u);
        EXPECT_EQ(src.ReadI32(c, order), 4u);
        EXPECT_EQ(src.ReadU32(d, order), 4u);
        EXPECT_EQ(src.ReadF32(e, order), 4u);
        EXPECT_EQ(src.ReadF64(f, order), 8u);
        EXPECT_EQ(a, std::numeric_limits<int16_t>::min());
        EXPECT_EQ(b, 65535);
        EXPECT_EQ(c, std::numeric_limits<int32_t>::min());
        EXPECT_EQ(d, 4000000000u);
        EXPECT_TRUE(std::signbit(e));
        EXPECT_EQ(f, std::numeric_limits<double>::denorm_min());
    }
    EXPECT_EQ(src.Remaining(), 0u);
}

TEST(ByteSink, NanBitsSurvive) {
    const uint32_t pattern = 0x7FC01234u;
    ByteSink sink;
    sink.WriteF32(std::bit_cast<float>(pattern), ByteOrder::Big);
    ByteSource src = ByteSource::FromSpan(sink.Bytes());
    float f = 0;
    ASSERT_EQ(src.ReadF32(f, ByteOrder::Big), 4u);
    EXPECT_EQ(std::bit_cast<uint32_t>(f), pattern);
}

TEST(ByteSink, ErrorIsSticky) {
    ByteSink sink;
    EXPECT_TRUE(sink.WriteU8(1));
    sink.MarkFailed();
    EXPECT_FALSE(sink.Ok());
    EXPECT_FALSE(sink.WriteU8(2));
    EXPECT_FALSE(sink.WriteU32(2, ByteOrder::Big));
    EXPECT_EQ(sink.Bytes(), std::vector<uint8_t>{1});
    EXPECT_EQ(sink.Written(), 1u);
}

TEST(ByteSink, ThroughAnAtomicFile) {
    TempFolder dir;
    std::string path = dir.File("out.bin");
    {
        AtomicFileWriter file(path);
        ByteSink sink(file);
        EXPECT_TRUE(sink.WriteI32(1250, ByteOrder::Little));
        EXPECT_TRUE(sink.WriteF32(0.5f, ByteOrder::Little));
        EXPECT_TRUE(sink.Ok());
        EXPECT_EQ(sink.Written(), 8u);
        EXPECT_TRUE(sink.Bytes().empty());
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{0xE2, 0x04, 0, 0, 0, 0, 0, 0x3F}));
}

TEST(ByteSink, FileErrorIsStickyAndLeavesTheOldFile) {
    TempFolder dir;
    std::string path = dir.File("out.bin");
    WriteFileBytes(path, kBytes);
    int calls = 0;
    AtomicFileWriter::SetFaultInjector([&](size_t) { return ++calls < 2; });
    {
        AtomicFileWriter file(path);
        ByteSink sink(file);
        EXPECT_TRUE(sink.WriteU32(1, ByteOrder::Little));
        EXPECT_FALSE(sink.WriteU32(2, ByteOrder::Little));
        EXPECT_FALSE(sink.Ok());
        AtomicFileWriter::SetFaultInjector(nullptr);
        EXPECT_FALSE(sink.WriteU32(3, ByteOrder::Little));
        EXPECT_EQ(sink.Written(), 4u);
        EXPECT_FALSE(file.Commit());
    }
    AtomicFileWriter::SetFaultInjector(nullptr);
    EXPECT_EQ(ReadFileBytes(path), kBytes);
}

TEST(ByteSink, OverAFailedWriterIsNotOk) {
    TempFolder dir;
    AtomicFileWriter file(dir.File("missing/folder/x"));
    ByteSink sink(file);
    EXPECT_FALSE(sink.Ok());
    EXPECT_FALSE(sink.WriteU8(1));
}

// Files of 2 MiB and more are held in huge-page blocks; sizes around the page edges read back
// exactly, and moving the source keeps the bytes.
TEST(ByteSource, LargeFilesReadWhole) {
    testing::TempFolder dir;
    for (size_t size : {size_t{2} << 20, (size_t{2} << 20) + 1, (size_t{5} << 20) - 3}) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 4096);
        const std::string path = dir.File("large.bin");
        testing::WriteFileBytes(path, bytes);
        ByteSource src = ByteSource::FromFile(path);
        ASSERT_TRUE(src.Ok()) << src.Error();
        ByteSource moved = std::move(src);
        ASSERT_EQ(moved.Size(), size);
        const std::span<const uint8_t> all = moved.Peek(size);
        ASSERT_EQ(all.size(), size);
        EXPECT_TRUE(std::equal(all.begin(), all.end(), bytes.begin()));
    }
}

}  // namespace
}  // namespace velk
