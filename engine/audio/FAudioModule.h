#pragma once

#include "audio/FAudioLock.h"
#include "audio/FAudioService.h"
#include "core/FRef.h"
#include "core/FThreadedModule.h"

#include <functional>
#include <map>
#include <memory>

class FAudioOutput;

// The engine's sound service. It owns the root bus, the audio lock that guards
// the whole mix graph, and the output (created at launch). Every sound
// operation runs on its caller's thread under the audio lock; mixing runs on
// the output's mixer thread. The module's own thread does no audio work.
class FAudioModule : public FThreadedModule
{
public:
    static constexpr int k_priority = 11;
    static constexpr int k_bufferMilliseconds = 150;

    // Makes the sound device's output; an empty factory (or a null output)
    // runs without a device.
    using OutputFactory = std::function<std::unique_ptr<FAudioOutput>()>;

    explicit FAudioModule(OutputFactory outputFactory = {});
    ~FAudioModule() override;

    int priority() const override { return k_priority; }
    // Creates the output, which opens the device and starts mixing.
    void onLaunch() override;

    FAudioService& service() { return m_service; }
    FAudioLock& lock() { return m_lock; }
    std::size_t callbackCount();

private:
    class Service final : public FAudioService
    {
    public:
        explicit Service(FAudioModule& owner);
        void createSound(FRefT<FSound>& out) override;
        void createSoundInBus(const FRefT<FAudioNode>& bus, FRefT<FSound>& out) override;
        void releaseSound(const FRefT<FAudioNode>& bus, FSound* sound) override;
        void createBus(FRefT<FAudioNode>& out) override;
        int getBufferMilliseconds() override { return k_bufferMilliseconds; }
        FAudioLock* getAudioLock() override { return &m_owner.m_lock; }
        void addCallback(int key, const FRef& handle) override;
        void removeCallback(int key) override;
        void clearCallbacks() override;
        FRef* getPlatform() override { return &m_owner.m_platform; }

    private:
        FAudioModule& m_owner;
    };

    Service m_service;
    FRef m_platform;
    FAudioLock m_lock;
    std::map<int, FRef> m_callbacks;
    OutputFactory m_outputFactory;
};
