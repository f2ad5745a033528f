#include "io/FDigest.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"

#include <openssl/evp.h>

FDigestBytes FDigest::finishDigest(FDigestContext* context)
{
    const int size = EVP_MD_CTX_get_size(context);
    void* block = size > 0 ? engineAlloc(k_memData, static_cast<size_t>(size)) : nullptr;
    if (block == nullptr) ZIBBO_FAIL(msgSystemError, "engineAlloc (" << size << ")");
    FDigestBytes digest;
    digest.bytes = makeRefHolder(block);
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context, static_cast<unsigned char*>(block), &length) != 1)
        ZIBBO_FAIL(msgSystemError, "EVP_DigestFinal_ex");
    digest.length = length;
    return digest;
}

void FDigest::destroyDigestContext(FDigestContext* context)
{
    EVP_MD_CTX_free(context);
}

namespace {

FDigestContext* newContext(const EVP_MD* kind, const char* name)
{
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    if (context == nullptr || EVP_DigestInit_ex(context, kind, nullptr) != 1) {
        EVP_MD_CTX_free(context);
        ZIBBO_FAIL(msgSystemError, "EVP_DigestInit_ex (" << name << ")");
    }
    return context;
}

} // namespace

FDigestContext* FDigest::newMd5Context()
{
    return newContext(EVP_md5(), "md5");
}

FDigestContext* FDigest::newSha1Context()
{
    return newContext(EVP_sha1(), "sha1");
}

void FDigest::update(FDigestContext* context, const void* data, size_t size)
{
    if (EVP_DigestUpdate(context, data, size) != 1) ZIBBO_FAIL(msgSystemError, "EVP_DigestUpdate");
}

FString FDigest::toHex(const FDigestBytes& digest)
{
    static const char16_t k_digits[] = u"0123456789abcdef";
    FString text;
    for (uint32_t i = 0; i < digest.length; ++i) {
        text += k_digits[digest.data()[i] >> 4];
        text += k_digits[digest.data()[i] & 15];
    }
    return text;
}
