#pragma once

#include "audio/FAudioNode.h"
#include "audio/FAudioNodeData.h"
#include "core/FRef.h"

// One child of a bus: the child node and the context it is attached in (which
// holds a channel's fader).
class FAudioBusSlot
{
public:
    explicit FAudioBusSlot(FRefT<FAudioNode> child) : node(static_cast<FRefT<FAudioNode>&&>(child)) {}
    ~FAudioBusSlot()
    {
        context.release();
        node.release();
    }
    FAudioBusSlot(const FAudioBusSlot&) = delete;
    FAudioBusSlot& operator=(const FAudioBusSlot&) = delete;

    FRefT<FAudioNode> node;
    FAudioNodeData context;
};
