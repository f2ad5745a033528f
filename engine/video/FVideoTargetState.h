#pragma once

// Decoder state that a player keeps per target (the Theora player's own
// stream reader and decoder). The target owns it and deletes it with itself.
class FVideoTargetState
{
public:
    virtual ~FVideoTargetState() = default;
};
