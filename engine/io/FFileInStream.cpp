#include "io/FFileInStream.h"

#include "core/FErrorMessage.h"
#include "io/FFileStreambuf.h"

FRefT<FInStream> FFileInStream::open(const FString& path)
{
    FFileStreambuf* buffer = engineNew<FFileStreambuf>(k_memObject, path);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FFileStreambuf)");
    return FInStream::make(buffer);
}
