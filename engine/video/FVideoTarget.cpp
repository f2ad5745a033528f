#include "video/FVideoTarget.h"

#include "core/FMemory.h"
#include "video/FVideoTargetState.h"

FVideoTarget::FVideoTarget() = default;

FVideoTarget::~FVideoTarget()
{
    engineDelete(m_decoderState);
}

void FVideoTarget::setDecoderState(FVideoTargetState* state)
{
    if (state == m_decoderState) return;
    engineDelete(m_decoderState);
    m_decoderState = state;
}
