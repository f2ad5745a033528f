#pragma once

#include "core/FRef.h"
#include "core/FString.h"

#include <cstdint>

// The engine's hold on OpenSSL's message-digest contexts (save checksums,
// file digests).
using FDigestContext = struct evp_md_ctx_st;

struct FDigestBytes
{
    FRef bytes; // the digest, an engine block (category 9)
    uint32_t length = 0;

    const uint8_t* data() const { return static_cast<const uint8_t*>(bytes.get()); }
};

class FDigest
{
public:
    // Finishes the context's digest into a new counted buffer of the digest's
    // size. A failed allocation or digest is a failure report.
    static FDigestBytes finishDigest(FDigestContext* context);
    // Cleans the context up and frees it.
    static void destroyDigestContext(FDigestContext* context);

    // A new context started on MD5 (RFC 1321).
    static FDigestContext* newMd5Context();
    // A new context started on SHA-1 (FIPS 180-4).
    static FDigestContext* newSha1Context();
    static void update(FDigestContext* context, const void* data, size_t size);
    // Two lowercase hexadecimal digits per byte, in digest order.
    static FString toHex(const FDigestBytes& digest);
};
