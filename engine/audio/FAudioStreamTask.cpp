#include "audio/FAudioStreamTask.h"

#include "audio/FSample.h"
#include "core/FThread.h"
#include "core/FUtilPlatform.h"

#include <climits>

FAudioStreamTask::FAudioStreamTask(FVoiceState* voice, FSample* sample) : m_voice(voice), m_sample(sample) {}

FAudioStreamTask::~FAudioStreamTask()
{
    m_stop.store(true);
    m_free.release();
    // The ring and the semaphores go with this part of the object, so the
    // decoder must be gone before the base waits for its worker.
    if (state() == k_running && !isInline() && worker() != nullptr)
        worker()->waitIdle(FThread::k_endPatienceMs, false);
}

void FAudioStreamTask::main()
{
    if (m_sample->isStreamed()) m_sample->decodeStream(*this);
}

FAudioBuffer* FAudioStreamTask::current()
{
    if (m_needNext.load()) {
        if (!m_filled.tryTake()) return nullptr;
        m_free.release();
        m_needNext.store(false);
        ++m_readIndex;
    }
    if (m_readIndex < 0) return nullptr;
    return m_ring[m_readIndex % k_ringSize].get();
}

FRefT<FAudioBuffer>* FAudioStreamTask::nextEntry()
{
    FUtilPlatform::wait(&m_free, FUtilPlatform::k_infinite);
    if (m_stop.load()) return nullptr;
    return &m_ring[m_writeCount++ % k_ringSize];
}

int FAudioStreamTask::passEnd() const
{
    const int start = m_sample->loopStart();
    const int length = m_sample->loopLength();
    if (!m_sample->loops() || start < 0 || length < 1 || start > INT_MAX - length) return INT_MAX;
    return start + length;
}

int FAudioStreamTask::nextPass(int reached)
{
    const int end = passEnd();
    if (end != INT_MAX && reached == end && !m_stop.load()) return m_sample->loopStart();
    m_stop.store(true);
    return -1;
}
