#include "tools/contentwriters/ByteWriter.h"

ByteWriter& ByteWriter::u8(uint8_t value)
{
    m_data.push_back(value);
    return *this;
}

ByteWriter& ByteWriter::u16(uint16_t value)
{
    m_data.push_back(static_cast<uint8_t>(value >> 8));
    m_data.push_back(static_cast<uint8_t>(value));
    return *this;
}

ByteWriter& ByteWriter::u32(uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        m_data.push_back(static_cast<uint8_t>(value >> shift));
    return *this;
}

ByteWriter& ByteWriter::bytes(const std::vector<uint8_t>& data)
{
    m_data.insert(m_data.end(), data.begin(), data.end());
    return *this;
}

ByteWriter& ByteWriter::name(const std::string& text)
{
    m_data.insert(m_data.end(), text.begin(), text.end());
    m_data.push_back(0);
    return *this;
}
