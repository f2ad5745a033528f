#include "io/FMemoryInStream.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "io/FMemoryStreambuf.h"

namespace {

// The bytes live in a base that is built before the buffer that views them.
struct OwnedBytes
{
    explicit OwnedBytes(std::string bytes) : m_bytes(std::move(bytes)) {}
    std::string m_bytes;
};

class OwningMemoryStreambuf : private OwnedBytes, public FMemoryStreambuf
{
public:
    explicit OwningMemoryStreambuf(std::string bytes)
        : OwnedBytes(std::move(bytes)), FMemoryStreambuf(m_bytes.data(), static_cast<int64_t>(m_bytes.size()))
    {
    }
};

} // namespace

FRefT<FInStream> FMemoryInStream::make(std::string bytes)
{
    OwningMemoryStreambuf* buffer = engineNew<OwningMemoryStreambuf>(k_memObject, std::move(bytes));
    if (buffer == nullptr) ZIBBO_FAIL(msgSystemError, "engineNew (OwningMemoryStreambuf)");
    return FInStream::make(buffer);
}
