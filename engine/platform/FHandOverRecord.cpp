#include "platform/FHandOverRecord.h"

void FHandOverRecord::putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t FHandOverRecord::getU32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::vector<std::uint8_t> FHandOverRecord::encodeCommandLine(const std::u16string& text)
{
    const std::size_t dataBytes = 2 * (text.size() + 1);
    std::vector<std::uint8_t> out;
    out.reserve(k_headerBytes + dataBytes);
    putU32(out, k_commandLineKind);
    putU32(out, static_cast<std::uint32_t>(dataBytes));
    for (char16_t unit : text) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::string FHandOverRecord::parseHeader(const std::uint8_t (&header)[k_headerBytes], FHandOverRecord& out)
{
    out.kind = getU32(header);
    out.dataBytes = getU32(header + 4);
    if (out.kind != k_commandLineKind) return "unknown data kind " + std::to_string(out.kind);
    if (out.dataBytes < 2 || out.dataBytes % 2 != 0 || out.dataBytes > k_maxDataBytes)
        return "bad data size " + std::to_string(out.dataBytes);
    return {};
}

std::string FHandOverRecord::parseCommandLine(const std::vector<std::uint8_t>& data, std::u16string& text)
{
    if (data.size() < 2 || data.size() % 2 != 0) return "bad data size " + std::to_string(data.size());
    const std::size_t units = data.size() / 2;
    if (data[2 * units - 2] != 0 || data[2 * units - 1] != 0) return "text without its terminating zero";
    text.clear();
    for (std::size_t i = 0; i + 1 < units; ++i) {
        const char16_t unit = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
        if (unit == 0) break;
        text.push_back(unit);
    }
    return {};
}
