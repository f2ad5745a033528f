#pragma once

#include "core/FAppListener.h"
#include "io/FInStream.h"
#include "io/FZipMemberInfo.h"

// A decoder service for compressed archive members: the zlib module in
// service slot 3 (method 8). Slots 4 (method 9) and 2 (method 12) would hold
// services of the same shape; none exists.
class FInflateService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // A new stream that decodes the member; the caller attaches a decryption
    // processor when needed and then starts the stream.
    virtual void openInflatingStream(FRefT<FInStream>& stream, const FZipMemberInfo& member) = 0;
};
