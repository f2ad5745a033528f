#include "engine/io/IoTestSupport.h"

#include "core/FThreadAlert.h"
#include "io/FZLibStreambuf.h"
#include "io/FZipCrcCheck.h"
#include "io/FZipFileEntry.h"
#include "io/FZipStoredStreambuf.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include <thread>

using namespace iotest;

namespace {

struct Kind
{
    const char* name;
    ZipMethod method;
    bool encrypted;
};

const Kind k_kinds[] = {
    {"stored", ZipMethod::Stored, false},
    {"deflated", ZipMethod::Deflated, false},
    {"sealed-stored", ZipMethod::Stored, true},
    {"sealed-deflated", ZipMethod::Deflated, true},
};

class ZipMemberTest : public IoTest
{
};

TEST_F(ZipMemberTest, EveryKindReadsBack)
{
    ZipWriter writer;
    const std::vector<uint8_t> big = sampleBytes(6 * 1024 * 1024 + 17, 9);
    for (const Kind& kind : k_kinds) {
        writer.add(std::string(kind.name) + "/small", text(sampleBytes(1000, 1)), kind.method,
                   kind.encrypted);
        writer.add(std::string(kind.name) + "/empty", std::string(), kind.method, kind.encrypted);
        writer.add(std::string(kind.name) + "/one", std::string("1"), kind.method, kind.encrypted);
    }
    writer.add("deflated/big", big, ZipMethod::Deflated);
    writer.add("sealed-deflated/big", big, ZipMethod::Deflated, true);
    writer.add("stored/big", big, ZipMethod::Stored);
    FRefT<FFileSystem> archive = openArchive(writer);

    for (const Kind& kind : k_kinds) {
        SCOPED_TRACE(kind.name);
        const std::string prefix = std::string(kind.name) + "/";
        EXPECT_EQ(readMember(archive, prefix + "small"), text(sampleBytes(1000, 1)));
        EXPECT_EQ(readMember(archive, prefix + "empty"), "");
        EXPECT_EQ(readMember(archive, prefix + "one"), "1");
        FRefT<FInStream> stream = openMember(archive, prefix + "small");
        EXPECT_EQ(stream->remaining(), 1000);
        EXPECT_EQ(stream->buffer()->isDirectAccess(), kind.method == ZipMethod::Stored && !kind.encrypted);
    }
    for (const char* name : {"deflated/big", "sealed-deflated/big", "stored/big"})
        EXPECT_TRUE(readMember(archive, name) == text(big)) << name;
}

TEST_F(ZipMemberTest, StoredBuffersFitSmallMembers)
{
    ZipWriter writer;
    const std::pair<const char*, size_t> sizes[] = {{"100", 100}, {"32768", 32768}, {"1m", 1 << 20}};
    for (const auto& [name, size] : sizes)
        writer.add(name, sampleBytes(size), ZipMethod::Stored);
    writer.add("sealed", sampleBytes(100), ZipMethod::Stored, true);
    FRefT<FFileSystem> archive = openArchive(writer);
    const std::pair<const char*, int64_t> expected[] = {
        {"100", 164}, {"32768", 32832}, {"1m", 32832}, {"sealed", 176}};
    for (const auto& [name, bufferSize] : expected) {
        FRefT<FInStream> stream = openMember(archive, name);
        auto* buffer = dynamic_cast<FZipStoredStreambuf*>(stream->buffer());
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(buffer->bufferSize(), bufferSize) << name;
    }
    // The 12 header bytes count in the compressed size but never reach the reader.
    const FFileEntryMap sealed = archive->find(u"sealed");
    EXPECT_EQ(static_cast<const FZipFileEntry*>(sealed.begin()->second.get())->compressedSize(), 112u);
    EXPECT_EQ(readMember(archive, "sealed"), text(sampleBytes(100)));
}

// An inflating stream holds about what its member needs, and a reader gets
// the first bytes of a long member well before a whole chunk is inflated.
TEST_F(ZipMemberTest, InflatingBuffersFitTheMemberAndHandOverEarly)
{
    ZipWriter writer;
    const std::pair<const char*, size_t> sizes[] = {{"10", 10}, {"1000", 1000}, {"6m", 6 << 20}};
    for (const auto& [name, size] : sizes)
        writer.add(name, sampleBytes(size), ZipMethod::Deflated);
    FRefT<FFileSystem> archive = openArchive(writer);
    const std::pair<const char*, int64_t> limits[] = {{"10", 1024}, {"1000", 8 * 1024}, {"6m", 640 * 1024}};
    for (const auto& [name, limit] : limits) {
        FRefT<FInStream> stream = openMember(archive, name);
        auto* buffer = dynamic_cast<FZLibStreambuf*>(stream->buffer());
        ASSERT_NE(buffer, nullptr);
        EXPECT_LE(buffer->bufferBytes(), limit) << name;
    }
    FRefT<FInStream> stream = openMember(archive, "6m");
    FInStreambuf& buffer = *stream->buffer();
    ASSERT_EQ(buffer.sgetc(), sampleBytes(1)[0]);
    EXPECT_LE(buffer.in_avail(), FZLibStreambuf::k_windowSize);
    EXPECT_EQ(readAll(stream), text(sampleBytes(6 << 20)));
}

// A short step back stays in the bytes at hand, with no word to the worker:
// a restart would wait for it to inflate the member again from its start, and
// a wait runs the calls queued for the waiting thread.
TEST_F(ZipMemberTest, ShortBackwardSeeksDoNotRestart)
{
    const std::vector<uint8_t> data = sampleBytes(200000, 5);
    ZipWriter writer;
    writer.add("deflated", data, ZipMethod::Deflated);
    writer.add("sealed", data, ZipMethod::Deflated, true);
    FRefT<FFileSystem> archive = openArchive(writer);
    for (const char* name : {"deflated", "sealed"}) {
        SCOPED_TRACE(name);
        FRefT<FInStream> stream = openMember(archive, name);
        FInStreambuf& buffer = *stream->buffer();
        ASSERT_EQ(int64_t(buffer.pubseekpos(120000)), 120000);
        ASSERT_NE(buffer.sgetc(), std::char_traits<char>::eof());
        const std::streamsize ahead = buffer.in_avail();
        bool waited = false;
        FThreadAlert::current()->queueCall([&] { waited = true; });
        for (const int back : {1, 10, 1000}) {
            ASSERT_EQ(int64_t(buffer.pubseekoff(-back, std::ios_base::cur, std::ios_base::in)),
                      120000 - back);
            EXPECT_EQ(buffer.in_avail(), ahead + back) << back;
            EXPECT_EQ(buffer.sgetc(), data[static_cast<size_t>(120000 - back)]) << back;
            buffer.pubseekpos(120000);
        }
        EXPECT_FALSE(waited);
        FThreadAlert::current()->runQueuedCalls();
    }
}

TEST_F(ZipMemberTest, SeeksOnEveryKind)
{
    const std::vector<uint8_t> data = sampleBytes(200000, 5);
    ZipWriter writer;
    for (const Kind& kind : k_kinds)
        writer.add(kind.name, data, kind.method, kind.encrypted);
    FRefT<FFileSystem> archive = openArchive(writer);

    struct Step
    {
        std::streamoff off;
        std::ios_base::seekdir dir;
        int64_t target;
    };
    // Each step seeks, then reads 100 bytes (so positions move on by 100).
    const Step steps[] = {
        {500, std::ios_base::beg, 500},       {-400, std::ios_base::cur, 200},  // back inside the chunk
        {40000, std::ios_base::cur, 40300},   {-10, std::ios_base::cur, 40390}, // back within the kept bytes
        {-90, std::ios_base::cur, 40400},     {-35000, std::ios_base::cur, 5500}, // far back: restart
        {-100, std::ios_base::end, 199900},   {0, std::ios_base::beg, 0},
        {150000, std::ios_base::beg, 150000}, {0, std::ios_base::cur, 150100},
        {-200000, std::ios_base::end, 0},     {199900, std::ios_base::beg, 199900},
    };
    for (const Kind& kind : k_kinds) {
        SCOPED_TRACE(kind.name);
        FRefT<FInStream> stream = openMember(archive, kind.name);
        FInStreambuf& buffer = *stream->buffer();
        for (const Step& step : steps) {
            SCOPED_TRACE(step.target);
            ASSERT_EQ(int64_t(buffer.pubseekoff(step.off, step.dir, std::ios_base::in)), step.target);
            std::string got(100, '\0');
            ASSERT_EQ(buffer.sgetn(got.data(), 100), 100);
            EXPECT_EQ(got, text(data).substr(static_cast<size_t>(step.target), 100));
        }
        EXPECT_EQ(buffer.remaining(), 0);
        EXPECT_EQ(buffer.sgetc(), std::char_traits<char>::eof());

        // Targets outside the member fail and leave the position alone.
        for (const Step& bad : {Step{1, std::ios_base::end, 0}, Step{200001, std::ios_base::beg, 0},
                                Step{1, std::ios_base::cur, 0}, Step{-200001, std::ios_base::cur, 0}}) {
            EXPECT_NE(failureOf([&] {
                          buffer.pubseekoff(bad.off, bad.dir, std::ios_base::in);
                      }).find("dir == std::ios::"),
                      std::string::npos);
            EXPECT_EQ(buffer.position(), 200000);
        }
        // Stepping back with the standard unget works across a chunk change.
        buffer.pubseekpos(32768 - 5);
        std::string across(15, '\0');
        ASSERT_EQ(buffer.sgetn(across.data(), 15), 15);
        for (int i = 0; i < 12; ++i)
            ASSERT_NE(buffer.sungetc(), std::char_traits<char>::eof()) << i;
        EXPECT_EQ(buffer.sgetc(), data[32768 - 2]);
    }
}

TEST_F(ZipMemberTest, CrcIsCheckedWhenTheLastBytesOfAMemberArrive)
{
    // Larger than one chunk of either stream, so the start arrives alone.
    const std::vector<uint8_t> data = sampleBytes(600000);
    for (const Kind& kind : k_kinds) {
        SCOPED_TRACE(kind.name);
        ZipWriter writer;
        writer.add("bad", data, kind.method, kind.encrypted).crcField = 0x12345678;
        FRefT<FFileSystem> archive = openArchive(writer);
        FRefT<FInStream> part = openMember(archive, "bad");
        const size_t reported = handler.texts.size();
        std::string head(1000, '\0');
        EXPECT_EQ(part->buffer()->sgetn(head.data(), 1000), 1000);
        EXPECT_EQ(head, text(data).substr(0, 1000));
        EXPECT_EQ(handler.texts.size(), reported);
        // Reading on to the end does not get the last bytes but the failure.
        const std::string failure = failureOf([&] { readAll(part); });
        EXPECT_NE(failure.find("== directory crc (305419896)"), std::string::npos) << failure;
        // The failure stays: the bytes that failed the check are not read after it.
        const size_t failed = handler.texts.size();
        EXPECT_THROW(part->buffer()->sbumpc(), FDebug::VellumcoreException);
        EXPECT_EQ(handler.texts.size(), failed);
    }
}

TEST_F(ZipMemberTest, DeflatedMemberOfAnotherSizeThanItsEntryFails)
{
    struct Case
    {
        uint32_t claimed;
        const char* report;
    };
    const Case cases[] = {
        {60000, "inflated size (50000) == uncompressed size (60000)"},
        {40000, "<= uncompressed size (40000)"},
        {50001, "inflated size (50000) == uncompressed size (50001)"},
    };
    for (const Case& c : cases) {
        for (const bool encrypted : {false, true}) {
            ZipWriter writer;
            writer.add("m", sampleBytes(50000), ZipMethod::Deflated, encrypted).uncompressedSizeField =
                c.claimed;
            FRefT<FFileSystem> archive = openArchive(writer);
            FRefT<FInStream> stream = openMember(archive, "m");
            EXPECT_NE(failureOf([&] { readAll(stream); }).find(c.report), std::string::npos) << c.claimed;
            // The failure stays (reported once): the stream does not go on as
            // if nothing happened.
            const size_t reported = handler.texts.size();
            EXPECT_THROW(stream->buffer()->sbumpc(), FDebug::VellumcoreException);
            EXPECT_EQ(handler.texts.size(), reported);
        }
    }
}

TEST_F(ZipMemberTest, StoredMemberWhoseSizesDisagreeFailsToOpen)
{
    ZipWriter writer;
    writer.add("m", sampleBytes(500), ZipMethod::Stored).uncompressedSizeField = 600;
    FRefT<FFileSystem> archive = openArchive(writer);
    EXPECT_NE(
        failureOf([&] { openMember(archive, "m"); }).find("stored size (500) == uncompressed size (600)"),
        std::string::npos);
}

TEST_F(ZipMemberTest, CorruptDeflateDataFailsOnTheReader)
{
    ZipWriter writer;
    ZipMember& m = writer.add("m", std::vector<uint8_t>(4000, 0xFF), ZipMethod::Stored);
    m.methodField = 8; // claims deflate, holds something else
    FRefT<FFileSystem> archive = openArchive(writer);
    const std::string failure = failureOf([&] { readMember(archive, "m"); });
    EXPECT_NE(failure.find("result (-3) == Z_STREAM_END"), std::string::npos) << failure;
}

TEST_F(ZipMemberTest, StreamsOutliveTheirArchive)
{
    ZipWriter writer;
    writer.add("m", sampleBytes(100000), ZipMethod::Deflated);
    writer.add("s", sampleBytes(1000), ZipMethod::Stored);
    FRefT<FFileSystem> archive = openArchive(writer);
    FRefT<FInStream> deflated = openMember(archive, "m");
    FRefT<FInStream> stored = openMember(archive, "s");
    archive = FRefT<FFileSystem>();
    EXPECT_EQ(readAll(deflated), text(sampleBytes(100000)));
    EXPECT_EQ(readAll(stored), text(sampleBytes(1000)));
}

TEST_F(ZipMemberTest, MembersReadFromSeveralThreadsAtOnce)
{
    ZipWriter writer;
    for (int i = 0; i < 6; ++i)
        writer.add("m" + std::to_string(i), sampleBytes(300000, i + 1), k_kinds[i % 4].method,
                   k_kinds[i % 4].encrypted);
    FRefT<FFileSystem> archive = openArchive(writer);
    std::vector<FRefT<FInStream>> streams;
    for (int i = 0; i < 6; ++i)
        streams.push_back(openMember(archive, "m" + std::to_string(i)));
    std::string results[6];
    std::vector<std::thread> readers;
    for (int i = 0; i < 6; ++i)
        readers.emplace_back([&, i] { results[i] = readAll(streams[i]); });
    for (std::thread& reader : readers)
        reader.join();
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(results[i] == text(sampleBytes(300000, i + 1))) << i;
}

// The hand-over between the reader and the inflate worker, with the reader
// closing or restarting the member while the worker is at any point of its
// work (meant for ThreadSanitizer as much as for the results).
TEST_F(ZipMemberTest, CloseAndRestartWhileTheWorkerRuns)
{
    const std::vector<uint8_t> data = sampleBytes(400000, 7);
    ZipWriter writer;
    writer.add("plain", data, ZipMethod::Deflated);
    writer.add("sealed", data, ZipMethod::Deflated, true);
    FRefT<FFileSystem> archive = openArchive(writer);
    for (const char* name : {"plain", "sealed"}) {
        for (int round = 0; round < 20; ++round) {
            FRefT<FInStream> stream = openMember(archive, name);
            FInStreambuf& buffer = *stream->buffer();
            const int64_t target = (round * 37337) % 390000;
            buffer.pubseekpos(target);
            EXPECT_EQ(buffer.sbumpc(), data[static_cast<size_t>(target)]);
            if (round % 3 == 0) {
                buffer.pubseekpos(round);
                EXPECT_EQ(buffer.sbumpc(), data[static_cast<size_t>(round)]);
            }
            // Destroyed here, with the worker blocked in its hand-over or
            // still decoding.
        }
        // Closed right after opening, before the first request.
        openMember(archive, name);
    }
    EXPECT_TRUE(handler.texts.empty());
}

// Each read of `reads` (where it starts, after a seek there, and how much it
// asks for) answers the member's bytes `all` there.
void readEach(FInStreambuf& buffer, const std::string& all,
              std::span<const std::pair<int64_t, int64_t>> reads)
{
    for (const auto& [at, count] : reads) {
        SCOPED_TRACE(at);
        ASSERT_EQ(int64_t(buffer.pubseekpos(at)), at);
        std::string got(static_cast<size_t>(count), '\0');
        ASSERT_EQ(buffer.sgetn(got.data(), count), count);
        EXPECT_TRUE(got == all.substr(static_cast<size_t>(at), static_cast<size_t>(count)));
        EXPECT_EQ(buffer.position(), at + count);
    }
}

// A read of at least a window's worth takes the inflate over from the
// worker and goes straight into the caller's buffer; putback, small reads,
// seeks back (a restart on the reader's thread) and the member's end behave
// as they do with the worker.
TEST_F(ZipMemberTest, LargeReadsTakeTheInflateOverOnTheReader)
{
    const std::vector<uint8_t> data = sampleBytes(700000, 3);
    const std::string all = text(data);
    ZipWriter writer;
    writer.add("plain", data, ZipMethod::Deflated);
    writer.add("sealed", data, ZipMethod::Deflated, true);
    FRefT<FFileSystem> archive = openArchive(writer);
    for (const char* name : {"plain", "sealed"}) {
        SCOPED_TRACE(name);
        FRefT<FInStream> stream = openMember(archive, name);
        auto* inflating = dynamic_cast<FZLibStreambuf*>(stream->buffer());
        ASSERT_NE(inflating, nullptr);
        FInStreambuf& buffer = *inflating;
        const int64_t bytesBefore = inflating->bufferBytes();
        // Each read: where it starts (after a seek there) and how much it asks for.
        const std::pair<int64_t, int64_t> reads[] = {
            {0, 1000},       // from the worker
            {1000, 300000},  // takes the inflate over
            {301000, 5000},  // through a chunk, on the reader
            {20, 100000},    // far back: a restart on the reader
            {400000, 40000}, // a forward seek, then a large read
        };
        readEach(buffer, all, reads);
        EXPECT_TRUE(inflating->isInflatingOnReader());
        // Reads straight into the caller's buffer take larger input blocks.
        EXPECT_EQ(inflating->bufferBytes() - bytesBefore,
                  FZLibStreambuf::k_directInputSize - FZLibStreambuf::k_inputSize);
        // Putback after a read straight into the caller's buffer.
        for (int i = 1; i <= 3; ++i)
            ASSERT_EQ(buffer.sungetc(), data[static_cast<size_t>(440000 - i)]) << i;
        // The rest in one read that asks for more than there is.
        ASSERT_EQ(int64_t(buffer.pubseekpos(440000)), 440000);
        std::string rest(400000, '\0');
        ASSERT_EQ(buffer.sgetn(rest.data(), 400000), 260000);
        rest.resize(260000);
        EXPECT_TRUE(rest == all.substr(440000));
        EXPECT_EQ(buffer.remaining(), 0);
        EXPECT_EQ(buffer.sgetc(), std::char_traits<char>::eof());
    }
    EXPECT_TRUE(handler.texts.empty());
}

// With no idle worker in the pool no thread is made: the reader inflates from
// the start, with the same reads, seeks and checks as with a worker.
TEST_F(ZipMemberTest, WithoutAnIdleWorkerTheReaderInflatesFromTheStart)
{
    const std::vector<uint8_t> data = sampleBytes(300000, 5);
    const std::string all = text(data);
    ZipWriter writer;
    writer.add("plain", data, ZipMethod::Deflated);
    writer.add("sealed", data, ZipMethod::Deflated, true);
    writer.add("bad", data, ZipMethod::Deflated).crcField = 0x12345678;
    FRefT<FFileSystem> archive = openArchive(writer);
    for (const char* name : {"plain", "sealed"}) {
        SCOPED_TRACE(name);
        emptyThreadPool();
        FRefT<FInStream> stream = openMember(archive, name);
        auto* inflating = dynamic_cast<FZLibStreambuf*>(stream->buffer());
        ASSERT_NE(inflating, nullptr);
        EXPECT_TRUE(inflating->isInflatingOnReader());
        FInStreambuf& buffer = *inflating;
        // Each read: where it starts (after a seek there) and how much it asks for.
        const std::pair<int64_t, int64_t> reads[] = {
            {0, 1000}, {1000, 100000}, {101000, 5000}, {20, 50000}, {200000, 40000},
        };
        readEach(buffer, all, reads);
        ASSERT_EQ(buffer.sungetc(), data[239999]);
        EXPECT_TRUE(readAll(stream) == all.substr(239999));
        EXPECT_EQ(threadPool.size(), 0u);
    }
    EXPECT_TRUE(handler.texts.empty());

    emptyThreadPool();
    FRefT<FInStream> stream = openMember(archive, "bad");
    const std::string failure = failureOf([&] { readAll(stream); });
    EXPECT_NE(failure.find("== directory crc (305419896)"), std::string::npos) << failure;
}

// Raw deflate data of `data` with a full flush after its first `goodBytes`,
// followed by `tail` (bytes that break the stream at that point).
std::vector<uint8_t> deflateThenBreak(const std::vector<uint8_t>& data, size_t goodBytes,
                                      const std::vector<uint8_t>& tail)
{
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&z, goodBytes) + 16 + tail.size());
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(goodBytes);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FULL_FLUSH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

// Members that break after the reader took the inflate over: each failure is
// the one the worker reports, raised by the large read, and it stays.
TEST_F(ZipMemberTest, DamagedMembersFailOnTheReadersInflate)
{
    const std::vector<uint8_t> data = sampleBytes(600000, 4);
    const uint32_t crc = static_cast<uint32_t>(crc32_z(0, data.data(), data.size()));
    const std::vector<uint8_t> deflated = zipDeflate(data.data(), data.size());
    struct Case
    {
        const char* name;
        std::vector<uint8_t> raw; // raw deflate data, or empty: the writer deflates `data`
        std::optional<uint32_t> crcField;
        std::optional<uint32_t> sizeField;
        const char* report;
    };
    const Case cases[] = {
        {"crc", {}, 0x12345678u, {}, "== directory crc (305419896)"},
        {"longer entry", {}, {}, 650000u, "inflated size (600000) == uncompressed size (650000)"},
        {"shorter entry", {}, {}, 500000u, "inflated size (500001) <= uncompressed size (500000)"},
        {"cut short",
         std::vector<uint8_t>(deflated.begin(), deflated.begin() + std::ptrdiff_t(deflated.size() * 2 / 3)),
         crc, 600000u, "result (-5) == Z_STREAM_END"},
        {"bad block", deflateThenBreak(data, 300000, {0xFF, 0xFF, 0xFF, 0xFF}), crc, 600000u,
         "result (-3) == Z_STREAM_END"},
    };
    for (const Case& c : cases) {
        for (const bool encrypted : {false, true}) {
            // Raw data goes in as stored bytes that claim to be deflated; the
            // writer seals those with their own CRC, so they stay plain.
            if (encrypted && !c.raw.empty()) continue;
            SCOPED_TRACE(std::string(c.name) + (encrypted ? " sealed" : ""));
            ZipWriter writer;
            ZipMember& member = c.raw.empty() ? writer.add("m", data, ZipMethod::Deflated, encrypted)
                                              : writer.add("m", c.raw, ZipMethod::Stored);
            if (!c.raw.empty()) member.methodField = 8;
            member.crcField = c.crcField;
            member.uncompressedSizeField = c.sizeField;
            FRefT<FFileSystem> archive = openArchive(writer);
            FRefT<FInStream> stream = openMember(archive, "m");
            auto* inflating = dynamic_cast<FZLibStreambuf*>(stream->buffer());
            ASSERT_NE(inflating, nullptr);
            std::string head(1000, '\0');
            ASSERT_EQ(inflating->sgetn(head.data(), 1000), 1000);
            EXPECT_EQ(head, text(data).substr(0, 1000));
            std::string rest(static_cast<size_t>(inflating->remaining()), '\0');
            const std::string failure =
                failureOf([&] { inflating->sgetn(rest.data(), static_cast<std::streamsize>(rest.size())); });
            EXPECT_NE(failure.find(c.report), std::string::npos) << failure;
            EXPECT_TRUE(inflating->isInflatingOnReader());
            const size_t reported = handler.texts.size();
            EXPECT_THROW(inflating->sbumpc(), FDebug::VellumcoreException);
            EXPECT_THROW(inflating->sgetn(rest.data(), static_cast<std::streamsize>(rest.size())),
                         FDebug::VellumcoreException);
            EXPECT_EQ(handler.texts.size(), reported);
        }
    }
}

} // namespace

// The member check's CRC agrees with zlib's for every length around the
// folding steps, at every alignment, and when continued piece by piece.
TEST(FZipCrcCheck, CrcAgreesWithZlibAtEveryLengthAndAlignment)
{
    std::vector<uint8_t> bytes(70000);
    uint32_t state = 12345;
    for (uint8_t& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<uint8_t>(state >> 23);
    }
    int32_t mismatches = 0;
    for (size_t offset = 0; offset < 16; ++offset)
        for (size_t length = 0; length <= 1100; ++length)
            if (FZipCrcCheck::update(0x5A5A5A5Au, bytes.data() + offset, static_cast<int64_t>(length)) !=
                crc32_z(0x5A5A5A5Au, bytes.data() + offset, length))
                ++mismatches;
    EXPECT_EQ(mismatches, 0);
    const uint32_t whole = static_cast<uint32_t>(crc32_z(0, bytes.data(), bytes.size()));
    EXPECT_EQ(FZipCrcCheck::update(0, bytes.data(), static_cast<int64_t>(bytes.size())), whole);
    uint32_t pieces = 0;
    for (size_t at = 0, step = 1; at < bytes.size(); at += step, step = step * 3 % 1001 + 1)
        pieces = FZipCrcCheck::update(pieces, bytes.data() + at,
                                      static_cast<int64_t>(std::min(step, bytes.size() - at)));
    EXPECT_EQ(pieces, whole);
}
