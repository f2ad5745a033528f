#include "asset/FAssetKits.h"

#include "core/FErrorMessage.h"
#include "core/FSystemLocale.h"
#include "io/FInStream.h"

#include <string>

FString FAssetKits::languageSuffix(const FSystemLocale& locale)
{
    std::string suffix;
    if (locale.language != -1) suffix += "_" + std::to_string(locale.language);
    if (locale.variant != -1) suffix += "_" + std::to_string(locale.variant);
    return FString(suffix.c_str());
}

namespace {

FString pattern(const char16_t* stem, const FString& suffix, const char16_t* ending)
{
    FString text(stem);
    text += suffix;
    text += FString(ending);
    return text;
}

} // namespace

FString FAssetKits::mainPattern(const FString& suffix)
{
    return pattern(u"Zibbo", suffix, u".zip");
}

FString FAssetKits::updatePattern(const FString& suffix)
{
    return pattern(u"Update", suffix, u".u*");
}

FString FAssetKits::languagePattern(const FString& suffix)
{
    return pattern(u"Language", suffix, u".u*");
}

int32_t FAssetKits::priorityOfExtension(const FString& extension)
{
    // Folder names match without regard to case, so ".U01" counts as ".u01".
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    if (extension.length() < 2 || extension[0] != u'.' || lower(extension[1]) != u'u') return -1;
    auto value = [&](std::size_t index) -> int32_t {
        if (index >= extension.length()) return 0; // ".u" and ".u1" count the missing places as 0
        const char16_t c = lower(extension[index]);
        return c >= u'0' && c <= u'9' ? c - u'0' : c - u'a';
    };
    return k_updatePriority + 36 * value(2) + value(3);
}

FString FAssetKits::readTarget(FInStream& reader)
{
    reader.readUInt32();
    reader.readUInt8();
    const uint32_t length = reader.readUInt32();
    if (length > k_maximumTarget)
        ZIBBO_FAIL(msgFileCorrupted, "GWTarget length (" << length << ") <= " << k_maximumTarget);
    std::string text(length, '\0');
    if (length > 0 && reader.buffer()->sgetn(text.data(), length) != static_cast<std::streamsize>(length))
        ZIBBO_FAIL(msgFileCorrupted, "sizeRead < sizeToRead (" << length << ")");
    reader.readInt32();
    reader.readInt32();
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return FString(text.c_str());
}
