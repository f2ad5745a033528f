#pragma once

#include "core/FSemaphore.h"
#include "core/FThreadTask.h"
#include "io/FDeferredFailure.h"
#include "io/FSubStreambuf.h"
#include "io/FZipCrcCheck.h"
#include "io/FZipMemberInfo.h"

#include <zlib.h>

#include <atomic>
#include <exception>

// A deflated member, inflated by zlib straight into the chunks on a pooled
// worker thread. The worker decodes one block ahead and hands it over when the reader
// asks, through two semaphores: `request` (the reader wants data, a restart or
// the end) and `ready` (a block, a restart or the end is done).
//
// The buffers are sized from the member: a small member gets a window and
// chunks of about its own size. The first chunk is handed over after the
// first block, and later ones grow to k_handOverSize, so a reader sees data
// early and the threads still meet rarely on a long member.
//
// The get area and m_currentEback are written by the worker only while the
// reader waits for `ready`, and by the reader otherwise. A failure on the
// worker (corrupt data, a member shorter or longer than its directory entry,
// an archive read that fails) is handed to the reader, which raises it the
// next time it asks for data (so the error handler hears of it on the
// reader's thread). The reader checks the CRC as chunks arrive.
class FZLibStreambuf : public FSubStreambuf
{
public:
    static constexpr int k_windowBits = 15;
    // The smallest window raw inflating accepts.
    static constexpr int k_minWindowBits = 9;
    static constexpr int64_t k_inputSize = 16384;
    static constexpr int64_t k_windowSize = 1 << k_windowBits;
    static constexpr int64_t k_putback = 64;
    // Decoded blocks are gathered into chunks of up to this size before they
    // are handed over, so the two threads meet once per chunk rather than
    // once per 32 KiB block.
    static constexpr int64_t k_handOverSize = 256 * 1024;
    // The first hand-over waits for this much (one block is at least as
    // much on a long member); each later one for four times the one before.
    static constexpr int64_t k_firstHandOverSize = 16 * 1024;

    // Window bits for a member of `size` bytes: no deflate distance reaches
    // back further than the member is long.
    static int windowBitsFor(int64_t size);
    // The bytes one chunk holds for a member of `size` bytes.
    static int64_t chunkSizeFor(int64_t size);

    explicit FZLibStreambuf(const FZipMemberInfo& member);
    ~FZLibStreambuf() override;

    bool isDirectAccess() const override { return false; }
    // The bytes the stream holds for its input, zlib's window and the chunks.
    int64_t bufferBytes() const
    {
        return m_inputSize + (int64_t{1} << m_windowBits) + 2 * chunkSizeFor(m_dataSize);
    }
    // Starts the worker; call once, after attaching any processor.
    void start() override;

protected:
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;

private:
    class Worker : public FThreadTask
    {
    public:
        explicit Worker(FZLibStreambuf& owner) : m_owner(owner) {}
        void main() override { m_owner.workerMain(); }

    private:
        FZLibStreambuf& m_owner;
    };

    // Worker side.
    void workerMain();
    // One pass of inflating over the member; true when it ended by taking
    // a close or reset request. Sets `failure` when the member is broken.
    bool inflateMember(FDeferredFailure& failure);
    // Inflates and hands over chunks until the member ends, breaks or the
    // reader asks to close or restart; answers zlib's last result
    // (Z_BUF_ERROR when a request or failure stopped it).
    int inflateChunks();
    FDeferredFailure restartMember();
    unsigned readInputBlock(z_const unsigned char** buffer);
    // Hands the gathered bytes over at the reader's next request; 1 when the
    // reader asked to close or restart instead (or the wait unwound).
    int deliver();
    // Waits for the reader's request; false when the wait unwound (shutdown).
    bool waitRequest();

    // Reader side.
    void askWorker();

    Worker m_worker;
    int m_windowBits = k_windowBits;
    int64_t m_inputSize = k_inputSize;
    z_stream m_zstream{};
    unsigned char* m_input = nullptr;
    char* m_chunks[2] = {nullptr, nullptr};
    int m_currentChunk = 0;
    std::atomic<bool> m_closeNow{false};
    std::atomic<bool> m_resetNow{false};
    FSemaphore m_request;
    FSemaphore m_ready;
    bool m_started = false;

    // Worker only.
    int64_t m_produced = 0;
    int64_t m_gathered = 0; // bytes waiting in the spare chunk
    int64_t m_handOverAt = k_firstHandOverSize;
    bool m_requestTaken = false;
    FDeferredFailure m_callbackFailure;
    std::exception_ptr m_shutdown;

    // Written by the worker before it releases `ready`.
    FDeferredFailure m_failure;

    // Reader only: the CRC is checked as chunks arrive, off the worker's path.
    FZipCrcCheck m_crc;
    FDeferredFailure m_readerFailure;
};
