#include "io/FZipCipher.h"

#include <zlib.h>

namespace {
// zlib's own CRC-32 table is the one the cipher is defined over.
const z_crc_t* crcTable()
{
    static const z_crc_t* table = get_crc_table();
    return table;
}
} // namespace

FZipCipher::FZipCipher(const uint32_t keys[3])
{
    setKeys(keys);
}

void FZipCipher::setKeys(const uint32_t keys[3])
{
    m_keys[0] = keys[0];
    m_keys[1] = keys[1];
    m_keys[2] = keys[2];
}

uint8_t FZipCipher::keyByte() const
{
    const uint32_t t = (m_keys[2] & 0xFFFFu) | 2u;
    return static_cast<uint8_t>(((t * (t ^ 1u)) >> 8) & 0xFFu);
}

void FZipCipher::update(uint8_t p)
{
    const z_crc_t* crc = crcTable();
    m_keys[0] = crc[(m_keys[0] ^ p) & 0xFFu] ^ (m_keys[0] >> 8);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFFu)) * 134775813u + 1u;
    m_keys[2] = crc[(m_keys[2] ^ (m_keys[1] >> 24)) & 0xFFu] ^ (m_keys[2] >> 8);
}

uint8_t FZipCipher::decryptByte(uint8_t c)
{
    const uint8_t p = c ^ keyByte();
    update(p);
    return p;
}

uint8_t FZipCipher::encryptByte(uint8_t p)
{
    const uint8_t c = p ^ keyByte();
    update(p);
    return c;
}

void FZipCipher::decrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        data[i] = decryptByte(data[i]);
}

void FZipCipher::encrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        data[i] = encryptByte(data[i]);
}
