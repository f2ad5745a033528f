#pragma once

#include "asset/FAsset.h"

class FAudioNodeData;

// A node of the mix graph: a bus, a channel, or a source (sample, music).
// Every node is an asset, so sources load like any other asset in `complete`
// and count the channels that play them through `attach`/`detach`; plain
// nodes have no loader, so completing them only marks them loaded.
class FAudioNode : public FAsset
{
public:
    FAudioNode() = default;
    ~FAudioNode() override = default;
    FAudioNode(const FAudioNode&) = delete;
    FAudioNode& operator=(const FAudioNode&) = delete;

    // Renders into the span and output buffer found through `context`.
    virtual void mix(FAudioNodeData& context) = 0;
    // Creates the components this node needs in `context` (on attachment).
    virtual void prepare(FAudioNodeData& context) = 0;

    // A channel starts / stops playing this node.
    virtual void attach() {}
    virtual void detach() {}
};
