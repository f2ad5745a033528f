#include "io/FFileSystem.h"

#include "io/FFile.h"

FFileSystem::~FFileSystem()
{
    m_entries.clear();
}

FFileEntryMap FFileSystem::find(const FString& pattern)
{
    FFileEntryMap found;
    // A matching key begins with the pattern's leading digits as they are
    // (digits have no other case), and such keys stand together in the map:
    // only they are tried. A '?' may make the matcher refuse the pattern,
    // which it does only for keys it reaches, so such patterns try them all.
    const std::u16string_view text = pattern.view();
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9')
        ++digits;
    auto it = m_entries.begin();
    if (digits > 0 && text.find(u'?') == std::u16string_view::npos) {
        const std::u16string_view prefix = text.substr(0, digits);
        for (it = m_entries.lower_bound(FString(prefix)); it != m_entries.end(); ++it) {
            if (it->first.view().substr(0, digits) != prefix) break;
            if (FFile::matchPattern(pattern, it->first))
                found.emplace_hint(found.end(), it->first, it->second);
        }
        return found;
    }
    for (; it != m_entries.end(); ++it)
        if (FFile::matchPattern(pattern, it->first)) found.emplace_hint(found.end(), it->first, it->second);
    return found;
}

FRefT<FOutStream> FFileSystem::create(const FString&, int32_t)
{
    return FRefT<FOutStream>();
}

FString FFileSystem::root()
{
    return FString();
}

bool FFileSystem::probe(const FString&)
{
    return false;
}
