#include "audio/FAudioPlatform.h"

#include "audio/FAudioClock.h"
#include "audio/FAudioLock.h"
#include "audio/FAudioOutput.h"
#include "audio/FAudioSpan.h"
#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FDelegate.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FUtilPlatform.h"

#include <chrono>

namespace {

FAudioPlatform::Clock defaultClock()
{
    if (auto* service = findService<FClockService>(k_slotClock)) return [service] { return service->now(); };
    return [] {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

} // namespace

void FAudioPlatform::MixerTask::main()
{
    // Also when the wait unwinds at a fatal shutdown: the owner waits for it.
    struct Done
    {
        FSemaphore& done;
        ~Done() { done.release(); }
    } done{m_done};
    while (!FUtilPlatform::wait(&m_stop, k_periodMs))
        m_owner.mixToCursor();
}

FAudioPlatform::FAudioPlatform(FAudioLock& lock, std::unique_ptr<FAudioOutput> output)
    : FAudioPlatform(lock, std::move(output), Options{})
{
}

FAudioPlatform::FAudioPlatform(FAudioLock& lock, std::unique_ptr<FAudioOutput> output, Options options)
    : m_lock(lock), m_output(std::move(output)),
      m_clock(options.clock ? std::move(options.clock) : defaultClock())
{
    open();
    if (options.mixerThread) {
        m_mixer = std::make_unique<MixerTask>(*this);
        m_mixer->start();
    }
}

FAudioPlatform::~FAudioPlatform()
{
    {
        FMutexLock guard(m_lock);
        m_closing = true;
    }
    if (m_mixer) {
        m_mixer->m_stop.release();
        if (m_mixer->state() == FThreadTask::k_running)
            FUtilPlatform::waitPlain(m_mixer->m_done, FUtilPlatform::k_infinite);
        m_mixer.reset();
    }
    if (m_device) m_output->close();
    m_context.release();
}

void FAudioPlatform::open()
{
    auto* span = engineNew<FAudioSpan>(k_memObject);
    if (span != nullptr) span->reset(0, FAudioRing::k_frames);
    m_context.component(FAudioNodeData::k_span) = makeRef(span);
    auto* clock = engineNew<FAudioClock>(k_memObject);
    if (clock != nullptr) {
        auto* latency = makeMemberDelegate(this, &FAudioPlatform::latency);
        clock->setLatency(latency);
        engineFree(latency);
    }
    m_context.component(FAudioNodeData::k_clock) = makeRef(clock);
    {
        FMutexLock guard(m_lock);
        if (FAudioBus* root = m_lock.rootBus()) root->prepare(m_context);
    }
    m_buffer = makeRef(engineNew<FAudioBuffer>(k_memObject, m_ring.data(), 0, k_channels,
                                               static_cast<float>(k_rate), FAudioRing::k_frames, 0));
    m_context.component(FAudioNodeData::k_output) = m_buffer;
    m_lastMs = m_clock();
    m_device = m_output != nullptr && m_ring.bytes() != nullptr && m_output->open(m_ring);
}

std::int64_t FAudioPlatform::clockFrames() const
{
    const FAudioClock* clock = m_context.clock();
    return clock != nullptr ? clock->frames : 0;
}

int FAudioPlatform::latency(std::int64_t frameTime)
{
    const std::int64_t frames = frameTime - clockFrames() + m_ahead + k_deviceDelayFrames;
    return static_cast<int>(frames * 1000 / k_rate);
}

void FAudioPlatform::followClock()
{
    const std::uint32_t now = m_clock();
    m_elapsedMs += static_cast<std::uint32_t>(now - m_lastMs);
    m_lastMs = now;
    const std::uint64_t position = m_elapsedMs * k_rate / 1000;
    m_ring.setConsumed(position);
    if (position > m_ring.produced() + k_maxCatchUpFrames) m_ring.resync();
}

void FAudioPlatform::mixToCursor()
{
    std::uint64_t target;
    {
        FMutexLock guard(m_lock);
        if (m_closing || m_buffer.get() == nullptr) return;
        if (!m_device) followClock();
        target = m_ring.consumed() + FAudioRing::k_frames;
    }
    for (;;) {
        const std::uint64_t produced = m_ring.produced();
        int start;
        const int count = FAudioRing::nextSpan(produced, target, start);
        if (count == 0) return;
        m_ahead = static_cast<int>(produced - m_ring.consumed());
        mixSpan(start, count);
        m_ring.commit(count);
    }
}

void FAudioPlatform::mixSpan(int start, int count)
{
    m_context.span()->reset(start, count);
    m_context.m_playing = 0;
    m_context.m_visited = 0;
    FAudioBuffer& out = *m_buffer;
    {
        FMutexLock guard(m_lock);
        if (FAudioBus* root = m_lock.rootBus()) root->mix(m_context);
    }
    if (out.m_silent) {
        // The device plays memory, not the mark; only this span is due, the
        // rest of the ring is queued sound.
        out.zeroFrames(start, count);
        out.m_silent = false;
    }
    ZIBBO_LOG(k_logShowNumTracks, false) << m_context.m_playing << " / " << m_context.m_visited;
    if (FAudioClock* clock = m_context.clock()) clock->frames += count;
}
