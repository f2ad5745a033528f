#include "io/FFileEntry.h"

FFileEntry::FFileEntry(FFileSystem* owner, FString name, FRefT<FString> location, int32_t priority,
                       int64_t size, bool plain)
    : m_owner(owner), m_name(std::move(name)), m_extension(extensionOf(m_name)),
      m_location(std::move(location)), m_priority(priority), m_size(size), m_plain(plain)
{
}

FString FFileEntry::path() const
{
    FString whole = m_location.get() != nullptr ? *m_location.get() : FString();
    whole += m_name;
    return whole;
}

FString FFileEntry::extensionOf(const FString& name)
{
    const std::u16string_view text = name.view();
    const size_t dot = text.rfind(u'.');
    return dot == std::u16string_view::npos ? FString() : FString(text.substr(dot));
}
