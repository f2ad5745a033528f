#pragma once

#include "audio/FAudioBus.h"
#include "core/FMutex.h"
#include "core/FRef.h"

// The one lock of the mix graph; whoever holds it also reaches the root bus.
class FAudioLock : public FMutex
{
public:
    explicit FAudioLock(FRefT<FAudioNode> root) : m_root(static_cast<FRefT<FAudioNode>&&>(root)) {}
    ~FAudioLock() override { m_root.release(); }

    FAudioBus* rootBus() const { return static_cast<FAudioBus*>(m_root.get()); }
    const FRefT<FAudioNode>& rootHandle() const { return m_root; }

private:
    FRefT<FAudioNode> m_root;
};
