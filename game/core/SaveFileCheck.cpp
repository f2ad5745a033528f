#include "game/core/SaveFileCheck.h"

#include "core/FXmlSerializer.h"
#include "io/FMemoryInStream.h"

#include <iterator>
#include <string>

FRefT<FInStream> SaveFileCheck::readableDocument(const FRefT<FInStream>& stream)
{
    FInStream* in = waitForRefTarget(stream);
    if (in == nullptr) return FRefT<FInStream>();
    std::string text((std::istreambuf_iterator<char>(*in)), std::istreambuf_iterator<char>());
    if (!FXmlSerializer::isReadable(text)) return FRefT<FInStream>();
    return FMemoryInStream::make(std::move(text));
}

void SaveFileCheck::expectValue(FSerializer& serializer, const char* key)
{
    const auto* xml = dynamic_cast<const FXmlSerializer*>(&serializer);
    if (serializer.isLoading() && xml != nullptr && !xml->hasValue(key))
        throw Malformed(std::string("no value under ") + key);
}

void SaveFileCheck::expectSection(FSerializer& serializer, const char* key)
{
    const auto* xml = dynamic_cast<const FXmlSerializer*>(&serializer);
    if (serializer.isLoading() && xml != nullptr && !xml->hasSection(key))
        throw Malformed(std::string("no section ") + key);
}

void SaveFileCheck::expectValid(FSerializer& serializer, const char* key)
{
    if (serializer.isLoading() && !serializer.isValid()) throw Malformed(std::string("bad value of ") + key);
}

void SaveFileCheck::expect(bool condition, const char* what)
{
    if (!condition) throw Malformed(what);
}
