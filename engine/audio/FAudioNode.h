#pragma once

class FAudioNodeData;

// A node of the mix graph: a bus, a channel, or a source (sample, music).
// Sources that are assets load themselves in `complete` and count the channels
// that play them through `attach`/`detach`; plain nodes need neither.
class FAudioNode
{
public:
    FAudioNode() = default;
    virtual ~FAudioNode() = default;
    FAudioNode(const FAudioNode&) = delete;
    FAudioNode& operator=(const FAudioNode&) = delete;

    // Renders into the span and output buffer found through `context`.
    virtual void mix(FAudioNodeData& context) = 0;
    // Creates the components this node needs in `context` (on attachment).
    virtual void prepare(FAudioNodeData& context) = 0;

    // Makes the node ready to play (a loading asset finishes loading).
    virtual void complete() {}
    // A channel starts / stops playing this node.
    virtual void attach() {}
    virtual void detach() {}
};
