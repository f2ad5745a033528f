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
//
// When the pool has no idle worker, no thread is made for the member: the
// reader inflates on its own thread from the start, as below.
//
// A read that asks for at least k_directReadSize bytes takes the inflate over
// from the worker: the worker hands over what it gathered and its zlib state
// and ends its task, and from then on the reader inflates on its own thread,
// straight into the caller's buffer (no hand-over, no copy), checking the CRC
// step by step while the bytes are still in cache. Smaller reads and seeks
// then go on on the reader's thread through the chunks, with the same checks
// and failures as on the worker.
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
    // A read of at least this many bytes inflates on the reader's thread.
    static constexpr int64_t k_directReadSize = k_windowSize;
    // A read straight into the caller's buffer goes in steps of this size,
    // so that the CRC reads each step while it is still in cache (a core's
    // second-level cache holds about this much). Each zlib call copies its
    // last window of output, and matches that reach back before the call's
    // start take zlib's slower window path: small steps cost several per cent.
    static constexpr int64_t k_directStepSize = 1024 * 1024;
    // The input block of reads straight into the caller's buffer: each zlib
    // call that runs out of input pays the same as a step, so a block holds
    // about a step's worth of deflated text (a quarter of it), and each file
    // read is a system call.
    static constexpr int64_t k_directInputSize = 256 * 1024;

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
    // Starts the worker; call once, after attaching any processor. Without
    // an idle worker in the pool the reader's thread inflates from the start.
    void start() override;
    // True once the reader's thread inflates (a large read took it over, or
    // the pool had no idle worker).
    bool isInflatingOnReader() const { return m_readerInflates; }

protected:
    int_type underflow() override;
    std::streamsize xsgetn(char_type* s, std::streamsize count) override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode mode) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode mode) override;

private:
    class Worker : public FThreadTask
    {
    public:
        // Only an idle pooled worker: without one the reader inflates.
        explicit Worker(FZLibStreambuf& owner) : FThreadTask(k_pooledOnly), m_owner(owner) {}
        void main() override { m_owner.workerMain(); }

    private:
        FZLibStreambuf& m_owner;
    };

    // What inflateChunks answers when it stopped after handing a chunk over
    // to the reader's own thread, or to a reader that takes the inflate over.
    static constexpr int k_chunkDelivered = 1000;

    // Worker side (and the reader's, once it inflates).
    void workerMain();
    // One pass of inflating over the member; true when it ended by taking
    // a close or reset request, or by handing the inflate to the reader.
    // Sets `failure` when the member is broken.
    bool inflateMember(FDeferredFailure& failure);
    // Sets the counts back for a pass over the member from its start.
    void beginPass();
    // Inflates and hands over chunks until the member ends, breaks or the
    // reader asks to close or restart; answers zlib's last result
    // (Z_BUF_ERROR when a request or failure stopped it, k_chunkDelivered
    // when it stopped after a chunk on the reader's request).
    int inflateChunks();
    // One call of zlib into `space` bytes at `out`, reading the next input
    // block first when zlib used the last; `made` is what it wrote. A failed
    // read or a member growing past its size sets m_callbackFailure.
    int inflateStep(unsigned char* out, int64_t space, int64_t& made);
    // True when `result` ends the pass: the member ended, broke or is cut short.
    bool passEnded(int result) const;
    // The failure a pass that ended with `result` leaves (none when the
    // member ended whole, or a request stopped it).
    FDeferredFailure passFailure(int result) const;
    FDeferredFailure restartMember();
    unsigned readInputBlock(z_const unsigned char** buffer);
    // Makes the gathered bytes the get area, keeping the putback bytes.
    void takeGathered();
    // Hands the gathered bytes over at the reader's next request; 1 when the
    // reader asked to close or restart instead (or the wait unwound), 2 when
    // the pass stops after the hand-over (the reader inflates from now on).
    // `midPass`: the pass can go on after it (false for a member's last chunk).
    int deliver(bool midPass);
    // Waits for the reader's request; false when the wait unwound (shutdown).
    bool waitRequest();

    // Reader side.
    // Asks the worker for the next chunk, or with `takeOver` for the next
    // chunk and the inflate itself.
    void askWorker(bool takeOver = false);
    // Feeds the get area to the CRC check and raises its failure.
    void checkGetArea();
    // The next chunk, inflated on the reader's thread.
    void inflateOnReader();
    // Inflates up to `count` bytes into `out` on the reader's thread, short
    // of the member's last byte; answers how many it wrote.
    int64_t inflateDirect(char* out, int64_t count);
    // Gives the input a block of k_directInputSize (once, when the member
    // has that much), keeping what zlib has not read yet.
    void growInput();
    // Starts the member over on the reader's thread.
    void restartOnReader();
    // Sets the reader's thread up to inflate the member from its start.
    void beginOnReader();
    // Opens the zlib state for a pass; the failure when zlib cannot.
    FDeferredFailure openInflate();

    Worker m_worker;
    int m_windowBits = k_windowBits;
    int64_t m_inputSize = k_inputSize;
    z_stream m_zstream{};
    unsigned char* m_input = nullptr;
    char* m_chunks[2] = {nullptr, nullptr};
    int m_currentChunk = 0;
    std::atomic<bool> m_closeNow{false};
    std::atomic<bool> m_resetNow{false};
    std::atomic<bool> m_takeOverNow{false};
    // Set by the worker before its last `ready`: the reader owns the zlib
    // state and inflates from then on.
    bool m_readerInflates = false;
    FSemaphore m_request;
    FSemaphore m_ready;
    bool m_started = false;

    // Worker only.
    int64_t m_produced = 0;
    int64_t m_gathered = 0; // bytes waiting in the spare chunk
    int64_t m_handOverAt = k_firstHandOverSize;
    bool m_requestTaken = false;
    bool m_inputEnded = false;
    bool m_handingOver = false;
    FDeferredFailure m_callbackFailure;
    std::exception_ptr m_shutdown;

    // Written by the worker before it releases `ready`.
    FDeferredFailure m_failure;

    // Reader only: the CRC is checked as chunks arrive, off the worker's path.
    FZipCrcCheck m_crc;
    FDeferredFailure m_readerFailure;
};
