#include "io/FNativePath.h"

#include <stdexcept>
#include <string>
#include <system_error>

std::filesystem::path FNativePath::toNative(const FString& enginePath)
{
    std::u16string text(enginePath.view());
    for (char16_t& unit : text)
        if (unit == u'\\') unit = u'/';
    try {
        return std::filesystem::path(text);
    } catch (const std::exception&) {
        throw std::runtime_error("path has no UTF-8 form");
    }
}

bool FNativePath::toEngine(const std::filesystem::path& nativePath, FString& out)
{
    std::u16string text;
    try {
        text = nativePath.u16string();
    } catch (const std::exception&) {
        return false;
    }
    for (char16_t& unit : text)
        if (unit == u'/') unit = u'\\';
    out = FString(std::u16string_view(text));
    return true;
}

FString FNativePath::lowerAscii(const FString& text)
{
    std::u16string lowered(text.view());
    for (char16_t& unit : lowered)
        unit = lowerAscii(unit);
    return FString(std::u16string_view(lowered));
}
