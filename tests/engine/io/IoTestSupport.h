#pragma once

// Shared helpers of the file and archive tests: an application with the zip
// and zlib services, a recording error handler, a scratch folder, fixture
// data and archives made by our zip writer and read back through the engine.

#include "engine/core/KernelTestSupport.h"

#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FThread.h"
#include "core/FThreadPoolModule.h"
#include "io/FArchiveKeys.h"
#include "io/FFolderFileSystem.h"
#include "io/FInStream.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace iotest {

// Deterministic bytes: a seeded generator over a small alphabet, so that
// deflate has something to do and the text differs position by position.
inline std::vector<uint8_t> sampleBytes(size_t size, uint32_t seed = 1)
{
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>("abcdefghij klmnop\n"[(state >> 24) % 18]);
    }
    return bytes;
}

inline std::string text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void writeFile(const std::filesystem::path& path, const std::string& content)
{
    writeFile(path, std::vector<uint8_t>(content.begin(), content.end()));
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything left in the stream, read through the standard operations. A
// missing stream fails the test (and reads as nothing) instead of ending the
// whole test binary.
inline std::string readAll(const FRefT<FInStream>& stream)
{
    if (stream.isNull() || stream.get() == nullptr) {
        ADD_FAILURE() << "no stream to read";
        return {};
    }
    std::string all;
    char block[4096];
    FInStream& in = *stream.get();
    while (in.read(block, sizeof block) || in.gcount() > 0)
        all.append(block, static_cast<size_t>(in.gcount()));
    return all;
}

inline FString engineText(const std::string& utf8)
{
    return FString(utf8.c_str());
}

// An application with the thread pool, the zip and zlib services, a recording error handler
// and a scratch folder as current folder, for one test.
class IoTest : public ::testing::Test
{
protected:
    // Member streams take an idle pooled worker; without one they inflate on
    // the reader's thread. The pool starts with a few, so both sides are used.
    IoTest()
    {
        for (int i = 0; i < 4; ++i)
            threadPool.addThread(engineNew<FThread>(k_memObject));
    }

    // Takes every idle worker out of the pool.
    void emptyThreadPool()
    {
        while (FThread* worker = threadPool.takeThread())
            engineDelete(worker);
    }

    // The text of the failure that `action` raises, or "" when it raises none.
    template <class Action> std::string failureOf(Action action)
    {
        const size_t before = handler.texts.size();
        try {
            action();
        } catch (const FDebug::VellumcoreException&) {
        }
        return handler.texts.size() > before ? utf8(handler.texts.back()) : std::string();
    }

    // Opens the archive at `path` (relative or absolute) through the zip
    // service as an archive file entry of the given priority. `archive`
    // holds the archive before it is read, so it keeps what was read before
    // a failure.
    void openArchiveInto(FRefT<FFileSystem>& archive, const std::filesystem::path& path, int32_t priority = 4)
    {
        FFileEntryMap found = m_plainFolder.find(engineText(std::filesystem::absolute(path).string()));
        ASSERT_EQ(found.size(), 1u) << path;
        FRefT<FFileEntry> entry = found.begin()->second;
        entry->setPriority(priority);
        zip.service().openArchive(archive, entry, k_archiveKeys);
    }

    FRefT<FFileSystem> openArchive(const std::filesystem::path& path, int32_t priority = 4)
    {
        FRefT<FFileSystem> archive;
        openArchiveInto(archive, path, priority);
        return archive;
    }

    FRefT<FFileSystem> openArchive(const ZipWriter& writer, const std::string& name = "kit.zip",
                                   int32_t priority = 4)
    {
        writer.writeTo(name);
        return openArchive(std::filesystem::path(name), priority);
    }

    FRefT<FInStream> openMember(const FRefT<FFileSystem>& archive, const std::string& name)
    {
        if (archive.isNull() || archive.get() == nullptr) {
            ADD_FAILURE() << "no archive to open " << name << " in";
            throw std::runtime_error("no archive");
        }
        FFileEntryMap found = archive->find(engineText(name));
        EXPECT_EQ(found.size(), 1u) << name;
        if (found.empty()) throw std::runtime_error("no member " + name);
        return archive->open(found.begin()->second);
    }

    std::string readMember(const FRefT<FFileSystem>& archive, const std::string& name)
    {
        return readAll(openMember(archive, name));
    }

    FApplication application;
    FThreadPoolModule threadPool;
    FZipModule zip;
    FZLibModule zlib;
    RecordingErrorHandler handler;
    ScratchFolder scratch;

private:
    FFolderFileSystem m_plainFolder{FFolderFileSystem::k_folderNone};
};

} // namespace iotest
