#include "tools/gamedata/XmlListWriter.h"

namespace XmlListWriter {

void writeInts(FSerializer& out, const char* name, const std::vector<std::int32_t>& values)
{
    std::int32_t count = static_cast<std::int32_t>(values.size());
    out.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        out.writeInt(("_" + std::to_string(i)).c_str(), values[static_cast<std::size_t>(i)]);
    }
    out.endArray(name);
}

void writeTexts(FSerializer& out, const char* name, const std::vector<std::string>& values)
{
    std::int32_t count = static_cast<std::int32_t>(values.size());
    out.beginArray(name, count);
    for (std::int32_t i = 0; i < count; ++i) {
        writeText(out, ("_" + std::to_string(i)).c_str(), values[static_cast<std::size_t>(i)]);
    }
    out.endArray(name);
}

void beginSection(FSerializer& out, const std::string& name)
{
    std::int32_t noCount = -1;
    out.beginArray(name.c_str(), noCount);
}

void endSection(FSerializer& out, const std::string& name)
{
    out.endArray(name.c_str());
}

void writeText(FSerializer& out, const char* name, const std::string& value)
{
    out.writeString(name, FString(value.c_str()));
}

} // namespace XmlListWriter
