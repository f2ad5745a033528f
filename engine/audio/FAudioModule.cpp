#include "audio/FAudioModule.h"

#include "audio/FAudioOutput.h"
#include "audio/FAudioPlatform.h"
#include "audio/FSound.h"
#include "core/FApplication.h"
#include "core/FMemory.h"

namespace {

FAppListener** audioSlot()
{
    FApplication* application = FApplication::instance();
    return application ? application->serviceSlot(k_slotAudio) : nullptr;
}

// `out`'s family takes the new object; the one it had goes with `fresh`.
template <class T> void exchangeInto(FRefT<T>& fresh, FRefT<T>& out)
{
    if (out.isNull())
        out = fresh;
    else
        swapRefTargets(fresh, out);
}

} // namespace

FAudioModule::Service::Service(FAudioModule& owner) : FAudioService(audioSlot()), m_owner(owner) {}

void FAudioModule::Service::createSound(FRefT<FSound>& out)
{
    createSoundInBus(m_owner.m_lock.rootHandle(), out);
}

void FAudioModule::Service::createSoundInBus(const FRefT<FAudioNode>& bus, FRefT<FSound>& out)
{
    FRefT<FSound> fresh;
    {
        FMutexLock guard(m_owner.m_lock);
        auto* target = dynamic_cast<FAudioBus*>(bus.get());
        if (target == nullptr) return;
        FRefT<FAudioBusSlot> slot = target->getChild(target->addChannels(1));
        fresh = makeRef(engineNew<FSound>(k_memObject, *this, slot, bus));
        exchangeInto(fresh, out);
    }
    // The sound `out` had before is released here, outside the lock taken
    // above (its release takes the lock again).
}

void FAudioModule::Service::releaseSound(const FRefT<FAudioNode>& bus, FSound* sound)
{
    FMutexLock guard(m_owner.m_lock);
    auto* target = dynamic_cast<FAudioBus*>(bus.get());
    if (target == nullptr || sound == nullptr) return;
    const int index = target->indexOf(sound->channelSlot());
    if (index >= 0) target->removeChild(index);
}

void FAudioModule::Service::createBus(FRefT<FAudioNode>& out)
{
    // Under the lock: a caller may hand `out` to the mixer's graph at once.
    FMutexLock guard(m_owner.m_lock);
    FRefT<FAudioNode> fresh = makeRef<FAudioNode>(engineNew<FAudioBus>(k_memObject));
    exchangeInto(fresh, out);
}

void FAudioModule::Service::addCallback(int key, const FRef& handle)
{
    FMutexLock guard(m_owner.m_lock);
    m_owner.m_callbacks.try_emplace(key, handle);
}

void FAudioModule::Service::removeCallback(int key)
{
    FMutexLock guard(m_owner.m_lock);
    m_owner.m_callbacks.erase(key);
}

void FAudioModule::Service::clearCallbacks()
{
    FMutexLock guard(m_owner.m_lock);
    m_owner.m_callbacks.clear();
}

FAudioModule::FAudioModule(OutputFactory outputFactory)
    : FThreadedModule(k_untimed), m_service(*this),
      m_lock(makeRef<FAudioNode>(engineNew<FAudioBus>(k_memObject))),
      m_outputFactory(std::move(outputFactory))
{
}

FAudioModule::~FAudioModule()
{
    m_platform.release();
    m_service.clearCallbacks();
}

std::size_t FAudioModule::callbackCount()
{
    FMutexLock guard(m_lock);
    return m_callbacks.size();
}

void FAudioModule::onLaunch()
{
    std::unique_ptr<FAudioOutput> output = m_outputFactory ? m_outputFactory() : nullptr;
    m_platform = makeRef(engineNew<FAudioPlatform>(k_memObject, m_lock, std::move(output)));
}
