#pragma once

#include "core/FRef.h"
#include "ui/FContainer.h"
#include "ui/FTimerTween.h"

#include <array>
#include <deque>

class ParticleEmitter;
class ParticleGroup;
class ParticlePool;

// A container that layout records build with room for timer and particle
// effects; it holds them empty and behaves as a plain container.
class FactoryContainerWidget : public FContainer
{
public:
    FactoryContainerWidget(FContainer* parent, bool addToParent);
    ~FactoryContainerWidget() override;

    FContainer* grandparent() const { return m_grandparent; }

private:
    FContainer* m_grandparent = nullptr;
    std::deque<FRef> m_firstHandles;
    std::deque<FRef> m_secondHandles;
    FTimerTween m_timer;
    std::array<FRefT<ParticleGroup>, 2> m_groups;
    std::array<FRefT<ParticlePool>, 2> m_pools;
    std::array<FRefT<ParticleEmitter>, 4> m_emitters;
};
