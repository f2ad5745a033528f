#include "io/FZLibStreambuf.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FThread.h"
#include "core/FUtilPlatform.h"
#include "io/FSeekTarget.h"
#include "io/FStreamProcessor.h"

#include <algorithm>
#include <cstring>

namespace {

// Runs `action`; a failure it raises is kept to be passed on.
template <class Action> FDeferredFailure catchFailure(Action action)
{
    try {
        action();
    } catch (...) {
        return FDeferredFailure::caught(std::current_exception());
    }
    return FDeferredFailure();
}

template <class T> T* allocate(int category, int64_t size)
{
    void* block = engineAlloc(category, static_cast<size_t>(size));
    if (block == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size << ")");
    return static_cast<T*>(block);
}

} // namespace

FZLibStreambuf::FZLibStreambuf(const FZipMemberInfo& member)
    : FSubStreambuf(member.archive, member.dataStart, member.compressedSize), m_worker(*this),
      m_crc(member.crc, member.uncompressedSize)
{
    m_dataSize = member.uncompressedSize;
    m_windowBits = windowBitsFor(m_dataSize);
    m_inputSize = std::clamp<int64_t>(member.compressedSize, 1, k_inputSize);
    try {
        m_input = allocate<unsigned char>(k_memStream, m_inputSize);
        for (char*& chunk : m_chunks)
            chunk = allocate<char>(k_memData, chunkSizeFor(m_dataSize));
    } catch (...) {
        engineFree(m_input);
        for (char* chunk : m_chunks)
            engineFree(chunk);
        throw;
    }
}

int FZLibStreambuf::windowBitsFor(int64_t size)
{
    int bits = k_minWindowBits;
    while (bits < k_windowBits && (int64_t{1} << bits) < size)
        ++bits;
    return bits;
}

int64_t FZLibStreambuf::chunkSizeFor(int64_t size)
{
    // A chunk is handed over once it holds k_handOverSize bytes, and the
    // block that fills it is at most one window long; it never holds more
    // than the member.
    return k_putback + std::min<int64_t>(std::max<int64_t>(size, 1), k_handOverSize + k_windowSize);
}

FZLibStreambuf::~FZLibStreambuf()
{
    if (m_started) {
        m_closeNow = true;
        m_request.release();
        // The worker touches this object until its task is done.
        while (m_worker.state() == FThreadTask::k_running && m_worker.worker() != nullptr &&
               !m_worker.worker()->waitIdle(FUtilPlatform::k_infinite, false)) {
        }
    }
    // A worker that handed its zlib state over left it open.
    if (m_readerInflates) inflateEnd(&m_zstream);
    engineFree(m_input);
    for (char* chunk : m_chunks)
        engineFree(chunk);
}

void FZLibStreambuf::start()
{
    if (m_started) return;
    m_started = true;
    if (m_worker.worker() == nullptr)
        beginOnReader();
    else
        m_worker.start();
}

// ---- worker side ----

void FZLibStreambuf::workerMain()
{
    while (!m_closeNow) {
        FDeferredFailure failure;
        const bool requestTaken = inflateMember(failure);
        if (m_handingOver) {
            // The reader goes on with the zlib state; this is the last
            // touch of the object from this thread.
            m_readerInflates = true;
            m_ready.release();
            return;
        }
        if (!requestTaken && !waitRequest()) return;
        // The reader now waits for `ready`: it asks for a restart, for the
        // end, or for data after the member ended or broke.
        for (;;) {
            clearGetArea();
            if (m_resetNow) {
                m_resetNow = false;
                failure = restartMember();
                m_failure = failure;
                m_ready.release();
                if (!failure) break;
            } else if (m_closeNow) {
                m_ready.release();
                return;
            } else {
                m_failure = failure;
                m_ready.release();
            }
            if (!waitRequest()) return;
        }
    }
}

bool FZLibStreambuf::waitRequest()
{
    try {
        FUtilPlatform::wait(&m_request, FUtilPlatform::k_infinite);
        return true;
    } catch (...) {
        // The application is stopping: the task ends here.
        return false;
    }
}

FDeferredFailure FZLibStreambuf::restartMember()
{
    setInputConsumed(0);
    m_currentEback = 0;
    m_failure = FDeferredFailure();
    if (processor() == nullptr) return FDeferredFailure();
    return catchFailure([this] { processor()->reset(); });
}

void FZLibStreambuf::beginPass()
{
    m_produced = 0;
    m_gathered = 0;
    m_handOverAt = k_firstHandOverSize;
    m_requestTaken = false;
    m_inputEnded = false;
    m_callbackFailure = FDeferredFailure();
    m_shutdown = nullptr;
    m_zstream.next_in = Z_NULL;
    m_zstream.avail_in = 0;
}

FDeferredFailure FZLibStreambuf::openInflate()
{
    m_zstream = z_stream{};
    const int init = inflateInit2(&m_zstream, -m_windowBits);
    if (init == Z_OK) return FDeferredFailure();
    return FDeferredFailure::compose(msgFileCorrupted, ZIBBO_HERE, [&](FErrorMessage& report) {
        report << "inflateInit2 m_windowBits (" << m_windowBits << ") returned " << init;
    });
}

bool FZLibStreambuf::inflateMember(FDeferredFailure& failure)
{
    failure = openInflate();
    if (failure) return false;
    beginPass();
    const int result = inflateChunks();
    if (m_handingOver) return true;
    inflateEnd(&m_zstream);

    if (result == Z_STREAM_END && !m_callbackFailure && m_gathered > 0) {
        // A member that ended short of its size still hands over what it had.
        if (deliver(false) != 0 && m_requestTaken) return true;
    }
    if (m_shutdown) std::rethrow_exception(m_shutdown);
    failure = passFailure(result);
    return m_requestTaken;
}

FDeferredFailure FZLibStreambuf::passFailure(int result) const
{
    if (m_callbackFailure) return m_callbackFailure;
    if (result == Z_STREAM_END) {
        if (m_produced == m_dataSize) return FDeferredFailure();
        return FDeferredFailure::compose(msgFileCorrupted, ZIBBO_HERE, [&](FErrorMessage& report) {
            report << "inflated size (" << m_produced << ") == uncompressed size (" << m_dataSize << ")";
        });
    }
    if (result == Z_BUF_ERROR && m_requestTaken) return FDeferredFailure();
    const bool closeNow = m_closeNow;
    const bool resetNow = m_resetNow;
    return FDeferredFailure::compose(msgFileCorrupted, ZIBBO_HERE, [&](FErrorMessage& report) {
        report << "result (" << result << ") == Z_STREAM_END || ((m_closeNow (" << closeNow
               << ") || m_resetNow (" << resetNow << ") && result == Z_BUF_ERROR)";
    });
}

int FZLibStreambuf::inflateStep(unsigned char* out, int64_t space, int64_t& made)
{
    made = 0;
    if (m_zstream.avail_in == 0 && !m_inputEnded) {
        z_const unsigned char* input = nullptr;
        const unsigned got = readInputBlock(&input);
        if (m_callbackFailure) return Z_BUF_ERROR;
        m_zstream.next_in = input;
        m_zstream.avail_in = got;
        m_inputEnded = got == 0;
    }
    m_zstream.next_out = out;
    m_zstream.avail_out = static_cast<uInt>(space);
    const int result = inflate(&m_zstream, Z_NO_FLUSH);
    const int64_t wrote = space - static_cast<int64_t>(m_zstream.avail_out);
    if (m_produced + wrote > m_dataSize) {
        m_callbackFailure =
            FDeferredFailure::compose(msgFileCorrupted, ZIBBO_HERE, [&](FErrorMessage& report) {
                report << "inflated size (" << m_produced + wrote << ") <= uncompressed size (" << m_dataSize
                       << ")";
            });
        return Z_BUF_ERROR;
    }
    m_produced += wrote;
    made = wrote;
    return result;
}

bool FZLibStreambuf::passEnded(int result) const
{
    if (m_callbackFailure || result == Z_STREAM_END) return true;
    if (result != Z_OK && result != Z_BUF_ERROR) return true;
    // No progress with the input at its end: the member is cut short.
    return result == Z_BUF_ERROR && m_inputEnded && m_zstream.avail_in == 0;
}

int FZLibStreambuf::inflateChunks()
{
    // zlib inflates straight into the spare chunk, so the bytes are written
    // once on this side; a call ends where the chunk is handed over, and
    // never lets the member grow more than one byte past its size.
    const int64_t room = chunkSizeFor(m_dataSize) - k_putback;
    for (;;) {
        const int64_t space =
            std::min({room - m_gathered, m_handOverAt - m_gathered, m_dataSize - m_produced + 1});
        unsigned char* out =
            reinterpret_cast<unsigned char*>(m_chunks[1 - m_currentChunk] + k_putback) + m_gathered;
        int64_t made = 0;
        const int result = inflateStep(out, space, made);
        m_gathered += made;
        if (passEnded(result)) return m_callbackFailure ? Z_BUF_ERROR : result;
        if (m_gathered < m_handOverAt && m_produced < m_dataSize && m_gathered < room) continue;
        m_handOverAt = std::min(m_handOverAt * 4, k_handOverSize);
        const int delivered = deliver(true);
        if (delivered == 1) return Z_BUF_ERROR;
        if (delivered == 2) return k_chunkDelivered;
    }
}

unsigned FZLibStreambuf::readInputBlock(z_const unsigned char** buffer)
{
    // Exceptions must not cross zlib's frames: a failed read ends the input
    // and travels on as the member's failure.
    const int64_t count = std::min(inputLeft(), m_inputSize);
    *buffer = m_input;
    if (count <= 0) return 0;
    try {
        readInput(reinterpret_cast<char*>(m_input), count);
    } catch (...) {
        m_callbackFailure = FDeferredFailure::caught(std::current_exception());
        return 0;
    }
    return static_cast<unsigned>(count);
}

void FZLibStreambuf::takeGathered()
{
    char* const fresh = m_chunks[1 - m_currentChunk] + k_putback;
    const int64_t keep = std::min<int64_t>(gptr() - eback(), k_putback);
    if (keep > 0) std::memcpy(fresh - keep, gptr() - keep, static_cast<size_t>(keep));
    m_currentEback += (egptr() - eback()) - keep;
    setg(fresh - keep, fresh, fresh + m_gathered);
    m_currentChunk = 1 - m_currentChunk;
    m_gathered = 0;
}

int FZLibStreambuf::deliver(bool midPass)
{
    if (m_readerInflates) {
        // On the reader's own thread: the reader asked for this chunk.
        takeGathered();
        return midPass ? 2 : 0;
    }
    try {
        FUtilPlatform::wait(&m_request, FUtilPlatform::k_infinite);
    } catch (...) {
        m_shutdown = std::current_exception();
        return 1;
    }
    if (m_closeNow || m_resetNow) {
        m_requestTaken = true;
        return 1;
    }
    takeGathered();
    if (midPass && m_takeOverNow) {
        // `ready` is released once the pass has unwound (workerMain).
        m_handingOver = true;
        return 2;
    }
    m_ready.release();
    return 0;
}

// ---- reader side ----

void FZLibStreambuf::askWorker(bool takeOver)
{
    m_takeOverNow = takeOver;
    m_request.release();
    FUtilPlatform::wait(&m_ready, FUtilPlatform::k_infinite);
    m_takeOverNow = false;
    if (m_failure) m_failure.raise();
    checkGetArea();
}

void FZLibStreambuf::checkGetArea()
{
    m_crc.feed(position(), gptr(), egptr() - gptr());
    if (m_crc.failed()) {
        // The bytes that failed the check are not handed out after all.
        setg(eback(), gptr(), gptr());
        m_readerFailure = catchFailure([this] { m_crc.raiseFailure(); });
        m_readerFailure.raise();
    }
}

void FZLibStreambuf::inflateOnReader()
{
    const int result = inflateChunks();
    if (result != k_chunkDelivered) {
        // The member ended or broke; what it had before a short end is
        // read first, as from the worker.
        if (result == Z_STREAM_END && !m_callbackFailure && m_gathered > 0) takeGathered();
        m_failure = passFailure(result);
    }
    checkGetArea();
    if (m_failure && gptr() >= egptr()) m_failure.raise();
}

int64_t FZLibStreambuf::inflateDirect(char* out, int64_t count)
{
    // The member's last byte always comes through a chunk, where a member
    // running on past its size is caught before the reader sees its end
    // and the CRC is checked before the reader gets the last bytes.
    growInput();
    const int64_t limit = std::min(count, m_dataSize - m_produced - 1);
    int64_t done = 0;
    while (done < limit) {
        int64_t made = 0;
        const int64_t at = m_produced;
        const int result = inflateStep(reinterpret_cast<unsigned char*>(out + done),
                                       std::min(limit - done, k_directStepSize), made);
        m_crc.feed(at, out + done, made);
        done += made;
        if (passEnded(result)) {
            m_failure = passFailure(result);
            break;
        }
    }
    // The get area holds nothing to read, but the bytes before it for putback.
    char* const base = m_chunks[m_currentChunk] + k_putback;
    const int64_t keep = std::min(done, k_putback);
    std::memcpy(base - keep, out + done - keep, static_cast<size_t>(keep));
    m_currentEback = m_produced - keep;
    setg(base - keep, base, base);
    return done;
}

void FZLibStreambuf::growInput()
{
    const int64_t size = std::min(inputLength(), k_directInputSize);
    if (size <= m_inputSize) return;
    // Without the memory the reads go on in the smaller blocks.
    auto* input = static_cast<unsigned char*>(engineAlloc(k_memStream, static_cast<size_t>(size)));
    if (input == nullptr) return;
    if (m_zstream.avail_in > 0) std::memcpy(input, m_zstream.next_in, m_zstream.avail_in);
    m_zstream.next_in = input;
    engineFree(m_input);
    m_input = input;
    m_inputSize = size;
}

void FZLibStreambuf::beginOnReader()
{
    // The failure is raised at the first read, as one from the worker is.
    m_failure = openInflate();
    if (m_failure) return;
    m_readerInflates = true;
    beginPass();
}

void FZLibStreambuf::restartOnReader()
{
    clearGetArea();
    m_failure = restartMember();
    if (m_failure) m_failure.raise();
    inflateReset(&m_zstream);
    beginPass();
}

FZLibStreambuf::int_type FZLibStreambuf::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    // A broken member stays broken until it is restarted.
    if (m_failure) m_failure.raise();
    if (m_readerFailure) m_readerFailure.raise();
    if (remaining() <= 0) return traits_type::eof();
    if (!m_started) ZIBBO_FAIL(msgIllegalOperation, "underflow before start");
    if (m_readerInflates)
        inflateOnReader();
    else
        askWorker();
    if (m_closeNow || gptr() >= egptr()) return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}

std::streamsize FZLibStreambuf::xsgetn(char_type* s, std::streamsize count)
{
    std::streamsize got = 0;
    while (got < count) {
        const std::streamsize ready = std::min<std::streamsize>(count - got, egptr() - gptr());
        if (ready > 0) {
            std::memcpy(s + got, gptr(), static_cast<size_t>(ready));
            gbump(static_cast<int>(ready));
            got += ready;
            continue;
        }
        // A large read inflates on this thread, straight into `s`.
        const bool large = count - got >= k_directReadSize && remaining() > k_directReadSize;
        if (large && m_started && !m_failure && !m_readerFailure) {
            if (m_readerInflates) {
                got += inflateDirect(s + got, count - got);
                continue;
            }
            askWorker(true);
            if (m_readerInflates || gptr() < egptr()) continue;
        }
        if (traits_type::eq_int_type(underflow(), traits_type::eof())) break;
    }
    return got;
}

FZLibStreambuf::pos_type FZLibStreambuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                 std::ios_base::openmode)
{
    const int64_t here = position();
    const int64_t target = FSeekTarget::resolve(off, dir, here, m_currentEback, m_dataSize, "");
    if (target == here) return pos_type(here);

    if (target < here) {
        if (here - target <= gptr() - eback()) {
            gbump(-static_cast<int>(here - target));
            return pos_type(target);
        }
        if (!m_started) ZIBBO_FAIL(msgIllegalOperation, "seekoff before start");
        m_readerFailure = FDeferredFailure();
        m_crc.restart();
        if (m_readerInflates) {
            restartOnReader();
        } else {
            m_resetNow = true;
            askWorker();
        }
    }

    const int64_t skip = target - position();
    if (skip > 4096) {
        ZIBBO_LOG(k_logPerf, false) << "Seekoff a ZLib, skipping " << skip << " bytes";
    }
    while (position() < target) {
        if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof())) break;
        gbump(static_cast<int>(std::min<int64_t>(target - position(), egptr() - gptr())));
    }
    return pos_type(position());
}

FZLibStreambuf::pos_type FZLibStreambuf::seekpos(pos_type pos, std::ios_base::openmode mode)
{
    return seekoff(off_type(pos), std::ios_base::beg, mode);
}
