#include "io/FZLibModule.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "io/FZLibStreambuf.h"

FZLibModule::FZLibModule() = default;

FZLibModule::Service::Service() : FInflateService(findServiceSlot(k_slotZlib)) {}

void FZLibModule::Service::openInflatingStream(FRefT<FInStream>& stream, const FZipMemberInfo& member)
{
    FZLibStreambuf* buffer = engineNew<FZLibStreambuf>(k_memObject, member);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZLibStreambuf)");
    stream = FInStream::make(buffer);
}
