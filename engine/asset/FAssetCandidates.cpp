#include "asset/FAssetCandidates.h"

#include "asset/FScreenFormat.h"
#include "core/FApplication.h"
#include "io/FFileSystemService.h"

#include <cstdio>

namespace {

// The 6-character id, "_0." and nothing else: the stem both patterns share.
constexpr std::size_t k_stemLength = 9;

std::string stemOf(const FString& name)
{
    const std::u16string_view text = name.view();
    const std::size_t cut = text.find_last_of(u"/\\");
    const std::u16string_view base = cut == std::u16string_view::npos ? text : text.substr(cut + 1);
    if (base.size() < k_stemLength) return std::string();
    std::string stem;
    for (std::size_t i = 0; i < k_stemLength; ++i) {
        const char16_t c = base[i];
        if (c > 0x7F) return std::string();
        stem += static_cast<char>(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
    }
    return stem.compare(6, 3, "_0.") == 0 ? stem : std::string();
}

std::string stemOf(int32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06d_0.", static_cast<int>(static_cast<int16_t>(id)));
    return text;
}

} // namespace

FAssetCandidates::FAssetCandidates(int32_t folder)
{
    auto* files = findService<FFileSystemService>(k_slotFileSystems);
    if (files == nullptr) return;
    char pattern[24];
    std::snprintf(pattern, sizeof pattern, "%03d/*_0.*", static_cast<int>(folder));
    FFileEntryMap found;
    files->search(found, FString(pattern));
    for (auto& [key, entry] : found) {
        std::string stem = stemOf(entry->name());
        if (!stem.empty()) m_byStem[stem].push_back(entry);
    }
}

std::vector<FRefT<FFileEntry>> FAssetCandidates::find(int32_t id) const
{
    auto it = m_byStem.find(stemOf(id));
    return it != m_byStem.end() ? it->second : std::vector<FRefT<FFileEntry>>();
}

std::vector<FRefT<FFileEntry>> FAssetCandidates::search(int32_t folder, int32_t id)
{
    std::vector<FRefT<FFileEntry>> candidates;
    auto* files = findService<FFileSystemService>(k_slotFileSystems);
    if (files == nullptr) return candidates;
    FFileEntryMap found;
    files->search(found, FScreenFormat::assetPattern(folder, id));
    candidates.reserve(found.size());
    for (auto& [key, entry] : found)
        candidates.push_back(entry);
    return candidates;
}
