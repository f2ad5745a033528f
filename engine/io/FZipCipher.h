#pragma once

#include <cstddef>
#include <cstdint>

// The traditional zip stream cipher: three 32-bit keys that advance with every
// plain byte. Reading and writing archives share it.
class FZipCipher
{
public:
    explicit FZipCipher(const uint32_t keys[3]);

    // Back to the given state (no password step: the keys are the state).
    void setKeys(const uint32_t keys[3]);

    uint8_t decryptByte(uint8_t c);
    uint8_t encryptByte(uint8_t p);
    void decrypt(uint8_t* data, size_t size);
    void encrypt(uint8_t* data, size_t size);

    // Advances the keys with one plain byte, as the password set-up does.
    void update(uint8_t p);

private:
    uint8_t keyByte() const;

    uint32_t m_keys[3];
};
