#include "audio/FAudioNodeData.h"

void FAudioNodeData::reset()
{
    release();
    m_volume = 64;
}

void FAudioNodeData::release()
{
    for (int k = k_componentCount - 1; k >= 0; --k)
        m_components[k].release();
}

void* FAudioNodeData::find(Component k) const
{
    for (const FAudioNodeData* context = this; context != nullptr; context = context->m_parent) {
        if (void* target = context->m_components[k].get()) return target;
    }
    return nullptr;
}

FAudioNodeData& FAudioNodeData::root()
{
    FAudioNodeData* context = this;
    while (context->m_parent != nullptr)
        context = context->m_parent;
    return *context;
}

int FAudioNodeData::effectiveVolume() const
{
    if (m_volume == 0) return 0;
    if (m_parent == nullptr) return m_volume;
    return m_parent->effectiveVolume() * m_volume >> 6;
}
