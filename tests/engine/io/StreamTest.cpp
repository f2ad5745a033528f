#include "engine/io/IoTestSupport.h"

#include "io/FInStream.h"
#include "io/FMemoryInStream.h"
#include "io/FMemoryOutStreambuf.h"
#include "io/FMemoryStreambuf.h"
#include "io/FOutStream.h"
#include "io/FSubStreambuf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace iotest;

namespace {

// An output buffer over a string, for the writers.
class StringOutStreambuf : public FOutStreambuf
{
public:
    explicit StringOutStreambuf(int64_t limit) : FOutStreambuf(limit) {}
    int64_t position() const override { return static_cast<int64_t>(bytes.size()); }
    std::string bytes;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()) || remaining() <= 0) return traits_type::eof();
        bytes.push_back(traits_type::to_char_type(c));
        return c;
    }
};

FRefT<FInStream> memoryStream(std::vector<uint8_t>& bytes)
{
    return FInStream::make(engineNew<FMemoryStreambuf>(k_memObject, bytes.data(), int64_t(bytes.size())));
}

// A window reader: the plain window with a public refill from its parent.
class Window : public FSubStreambuf
{
public:
    using FSubStreambuf::FSubStreambuf;
    std::string take(int64_t count)
    {
        std::string out(static_cast<size_t>(count), '\0');
        readFromParent(out.data(), count);
        return out;
    }
};

class StreamTest : public IoTest
{
};

TEST_F(StreamTest, ReadersAreBigEndian)
{
    std::vector<uint8_t> bytes = {0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0xFF,
                                  0xFE, 0x80, 0x00, 0x00, 0x01, 0x80};
    FRefT<FInStream> in = memoryStream(bytes);
    EXPECT_EQ(in->readUInt16(), 0x1234);
    EXPECT_EQ(in->readUInt32(), 0x12345678u);
    EXPECT_EQ(in->readInt16(), -2);
    EXPECT_EQ(in->readInt32(), int32_t(0x80000001u));
    EXPECT_EQ(in->readInt8(), -128);
    EXPECT_EQ(in->remaining(), 0);
}

TEST_F(StreamTest, ReadingPastTheEnd)
{
    std::vector<uint8_t> bytes = {1, 2, 3};
    FRefT<FInStream> in = memoryStream(bytes);
    EXPECT_EQ(in->readUInt16(), 0x0102);
    // A 16-bit read with one byte left fails on its second byte.
    EXPECT_NE(failureOf([&] { in->readUInt16(); }).find("val != eof"), std::string::npos);
    // The standard get answers end-of-file without a failure.
    const size_t failures = handler.texts.size();
    EXPECT_EQ(in->buffer()->sgetc(), std::char_traits<char>::eof());
    EXPECT_EQ(in->get(), std::char_traits<char>::eof());
    EXPECT_EQ(handler.texts.size(), failures);

    std::vector<uint8_t> three = {1, 2, 3};
    FRefT<FInStream> shortOne = memoryStream(three);
    EXPECT_NE(failureOf([&] { shortOne->readUInt32(); }).find("sgetn (3) == 4"), std::string::npos);
}

TEST_F(StreamTest, WritersAreBigEndianAndRefusedBytesFail)
{
    FRefT<FOutStream> out = FOutStream::make(engineNew<StringOutStreambuf>(k_memObject, 10));
    out->writeUInt16(0x1234);
    out->writeUInt32(0x12345678u);
    out->writeInt8(-1);
    out->writeInt16(-2);
    auto* buffer = static_cast<StringOutStreambuf*>(out->buffer());
    EXPECT_EQ(buffer->bytes, std::string("\x12\x34\x12\x34\x56\x78\xFF\xFF\xFE", 9));
    EXPECT_EQ(buffer->remaining(), 1);
    out->writeUInt8(7);
    EXPECT_NE(failureOf([&] { out->writeUInt8(8); }).find("val == eof"), std::string::npos);
}

TEST_F(StreamTest, MemorySeeks)
{
    std::vector<uint8_t> bytes = sampleBytes(100);
    FRefT<FInStream> in = memoryStream(bytes);
    FInStreambuf& buffer = *in->buffer();
    EXPECT_EQ(buffer.remaining(), 100);
    char ten[10];
    in->read(ten, 10);
    EXPECT_EQ(buffer.remaining(), 90);
    EXPECT_EQ(buffer.position(), 10);

    struct Case
    {
        std::streamoff off;
        std::ios_base::seekdir dir;
        int64_t expected;
    };
    const Case cases[] = {
        {0, std::ios_base::end, 100}, {-100, std::ios_base::end, 0}, {5, std::ios_base::beg, 5},
        {20, std::ios_base::cur, 25}, {-25, std::ios_base::cur, 0},  {100, std::ios_base::beg, 100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(int64_t(buffer.pubseekoff(c.off, c.dir, std::ios_base::in)), c.expected) << c.off;
        EXPECT_EQ(buffer.position(), c.expected);
    }
    EXPECT_EQ(buffer.remaining(), 0);

    // An output-only seek answers 0 and does not move.
    buffer.pubseekpos(40, std::ios_base::in);
    EXPECT_EQ(int64_t(buffer.pubseekoff(3, std::ios_base::beg, std::ios_base::out)), 0);
    EXPECT_EQ(buffer.position(), 40);

    for (const Case& bad : {Case{1, std::ios_base::end, 0}, Case{-41, std::ios_base::cur, 0},
                            Case{101, std::ios_base::beg, 0}, Case{INT64_MAX, std::ios_base::cur, 0}}) {
        const std::string failure =
            failureOf([&] { buffer.pubseekoff(bad.off, bad.dir, std::ios_base::in); });
        EXPECT_TRUE(failure.starts_with("A file required by the application is corrupted."));
        EXPECT_NE(failure.find(") && gptr >= eback ("), std::string::npos) << bad.off;
        EXPECT_EQ(buffer.position(), 40);
    }
}

TEST_F(StreamTest, WindowsOnOneParentEachGetTheirOwnBytes)
{
    std::vector<uint8_t> bytes = sampleBytes(1000);
    FRefT<FInStream> parent = memoryStream(bytes);
    Window first(parent, 100, 300);
    Window second(parent, 600, 300);
    std::string a, b;
    for (int i = 0; i < 3; ++i) {
        a += first.take(100);
        b += second.take(100);
    }
    EXPECT_EQ(a, text(bytes).substr(100, 300));
    EXPECT_EQ(b, text(bytes).substr(600, 300));
    EXPECT_EQ(first.inputConsumed(), 300);
    EXPECT_TRUE(first.isDirectAccess());
}

TEST_F(StreamTest, WindowReadThatTheParentCannotSatisfy)
{
    std::vector<uint8_t> bytes = sampleBytes(100);
    FRefT<FInStream> parent = memoryStream(bytes);
    // The window claims more than the parent holds.
    Window window(parent, 80, 50);
    EXPECT_EQ(window.take(10), text(bytes).substr(80, 10));
    EXPECT_NE(failureOf([&] { window.take(20); }).find("sgetn (10) == size (20)"), std::string::npos);
    EXPECT_EQ(window.inputConsumed(), 10);
    // Nor may a read go past the window's own end.
    Window small(parent, 0, 5);
    EXPECT_NE(failureOf([&] { small.take(6); }).find("size (6) <= m_inputLength (5)"), std::string::npos);
}

TEST_F(StreamTest, WindowsTakeTurnsAcrossThreads)
{
    std::vector<uint8_t> bytes = sampleBytes(64 * 1024, 3);
    FRefT<FInStream> parent = memoryStream(bytes);
    std::string results[4];
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&, t] {
            Window window(parent, t * 16384, 16384);
            for (int i = 0; i < 64; ++i)
                results[t] += window.take(256);
        });
    }
    for (std::thread& reader : readers)
        reader.join();
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(results[t], text(bytes).substr(static_cast<size_t>(t) * 16384, 16384)) << t;
}

} // namespace

namespace {

TEST(MemoryStreamTest, CollectsUpToItsLimitAndReadsBackOwnedBytes)
{
    FMemoryOutStreambuf* buffer = engineNew<FMemoryOutStreambuf>(k_memObject, 6);
    const FRefT<FOutStream> out = FOutStream::make(buffer);
    out->write("abc", 3);
    out->put('d');
    EXPECT_EQ(buffer->bytes(), "abcd");
    EXPECT_EQ(buffer->remaining(), 2);
    // Past the limit: the bytes that fit are kept, then the write fails.
    EXPECT_ANY_THROW(out->write("efg", 3));
    EXPECT_EQ(buffer->bytes(), "abcdef");
    EXPECT_ANY_THROW(out->put('x'));

    std::string source = "owned bytes";
    const FRefT<FInStream> in = FMemoryInStream::make(source);
    source.assign(source.size(), '#'); // the stream holds its own copy
    std::string read((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(read, "owned bytes");
    EXPECT_EQ(waitForRefTarget(FMemoryInStream::make(std::string()))->remaining(), 0);
}

} // namespace
