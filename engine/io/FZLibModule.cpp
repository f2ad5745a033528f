#include "io/FZLibModule.h"

#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "io/FZLibStreambuf.h"

namespace {

FAppListener** zlibSlot()
{
    FApplication* application = FApplication::instance();
    return application != nullptr ? application->serviceSlot(k_slotZlib) : nullptr;
}

} // namespace

FZLibModule::FZLibModule() = default;

FZLibModule::Service::Service() : FInflateService(zlibSlot()) {}

void FZLibModule::Service::openInflatingStream(FRefT<FInStream>& stream, const FZipMemberInfo& member)
{
    FZLibStreambuf* buffer = engineNew<FZLibStreambuf>(k_memObject, member);
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (FZLibStreambuf)");
    stream = FInStream::make(buffer);
}
