#pragma once

// Writing helpers for the game's XML data: lists in the engine's list
// convention ("count" and the elements "_0", "_1", ...) and sections.

#include "core/FSerializer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace XmlListWriter {

void writeInts(FSerializer& out, const char* name, const std::vector<std::int32_t>& values);
void writeTexts(FSerializer& out, const char* name, const std::vector<std::string>& values);
void beginSection(FSerializer& out, const std::string& name);
void endSection(FSerializer& out, const std::string& name);
void writeText(FSerializer& out, const char* name, const std::string& value);

} // namespace XmlListWriter
