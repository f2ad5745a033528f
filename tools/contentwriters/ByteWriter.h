#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Appends values the way the engine's readers take them: every multi-byte
// number big-endian, most significant byte first.
class ByteWriter
{
public:
    ByteWriter& u8(uint8_t value);
    ByteWriter& u16(uint16_t value);
    ByteWriter& i16(int16_t value) { return u16(static_cast<uint16_t>(value)); }
    ByteWriter& u32(uint32_t value);
    ByteWriter& i32(int32_t value) { return u32(static_cast<uint32_t>(value)); }
    ByteWriter& bytes(const std::vector<uint8_t>& data);
    // The text and its terminating NUL.
    ByteWriter& name(const std::string& text);

    const std::vector<uint8_t>& data() const { return m_data; }
    std::vector<uint8_t> take() { return std::move(m_data); }

private:
    std::vector<uint8_t> m_data;
};
