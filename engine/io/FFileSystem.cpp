#include "io/FFileSystem.h"

#include "io/FFile.h"

FFileSystem::~FFileSystem()
{
    m_entries.clear();
}

FFileEntryMap FFileSystem::find(const FString& pattern)
{
    FFileEntryMap found;
    for (const auto& [key, entry] : m_entries)
        if (FFile::matchPattern(pattern, key)) found.emplace_hint(found.end(), key, entry);
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
