#pragma once

// Assembles small JPEG streams segment by segment, for the cases that no
// encoder writes: broken headers, odd tables, hand-made entropy data.

#include <cstdint>
#include <initializer_list>
#include <vector>

class JpegStreamBuilder
{
public:
    using Bytes = std::vector<uint8_t>;

    struct Component
    {
        uint8_t id;
        uint8_t sampling; // H << 4 | V
        uint8_t quantTable;
    };

    // Bits most significant first; finish() pads the last byte with ones and
    // stuffs a zero after every 0xFF, as an encoder does.
    class Bits
    {
    public:
        Bits& put(uint32_t value, int count)
        {
            for (int i = count - 1; i >= 0; --i) {
                m_current = static_cast<uint8_t>((m_current << 1) | ((value >> i) & 1u));
                if (++m_used == 8) flush();
            }
            return *this;
        }
        // Bits given as text, e.g. "01" "1000".
        Bits& put(const char* bits)
        {
            for (const char* p = bits; *p != 0; ++p)
                put(*p == '1' ? 1u : 0u, 1);
            return *this;
        }
        Bytes finish()
        {
            while (m_used != 0)
                put(1, 1);
            return m_bytes;
        }

    private:
        void flush()
        {
            m_bytes.push_back(m_current);
            if (m_current == 0xFF) m_bytes.push_back(0x00);
            m_current = 0;
            m_used = 0;
        }
        Bytes m_bytes;
        uint8_t m_current = 0;
        int m_used = 0;
    };

    JpegStreamBuilder& raw(const Bytes& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    JpegStreamBuilder& raw(std::initializer_list<uint8_t> bytes) { return raw(Bytes(bytes)); }

    JpegStreamBuilder& soi() { return raw({0xFF, 0xD8}); }
    JpegStreamBuilder& eoi() { return raw({0xFF, 0xD9}); }

    // A marker segment whose length field counts itself and the payload
    // (lengthAdjust skews it for broken segments).
    JpegStreamBuilder& segment(uint8_t marker, const Bytes& payload, int lengthAdjust = 0)
    {
        const int length = static_cast<int>(payload.size()) + 2 + lengthAdjust;
        raw({0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
        return raw(payload);
    }

    JpegStreamBuilder& frame(int width, int height, std::vector<Component> components, uint8_t marker = 0xC0,
                             uint8_t precision = 8)
    {
        Bytes p{precision,
                static_cast<uint8_t>(height >> 8),
                static_cast<uint8_t>(height),
                static_cast<uint8_t>(width >> 8),
                static_cast<uint8_t>(width),
                static_cast<uint8_t>(components.size())};
        for (const Component& c : components)
            p.insert(p.end(), {c.id, c.sampling, c.quantTable});
        return segment(marker, p);
    }

    // Three components 1, 2 and 3 sampled 1 x 1 (quantisation tables 0, 1, 1).
    JpegStreamBuilder& frame444(int width, int height)
    {
        return frame(width, height, {{1, 0x11, 0}, {2, 0x11, 1}, {3, 0x11, 1}});
    }

    // An 8-bit table in zig-zag order.
    JpegStreamBuilder& quantTable(uint8_t id, const Bytes& zigZag)
    {
        Bytes p{id};
        p.insert(p.end(), zigZag.begin(), zigZag.end());
        return segment(0xDB, p);
    }

    // counts: codes of lengths 1, 2, ... (missing lengths have none).
    JpegStreamBuilder& huffman(uint8_t tableClass, uint8_t id, Bytes counts, const Bytes& values)
    {
        counts.resize(16, 0);
        Bytes p{static_cast<uint8_t>(tableClass << 4 | id)};
        p.insert(p.end(), counts.begin(), counts.end());
        p.insert(p.end(), values.begin(), values.end());
        return segment(0xC4, p);
    }

    // DC table 0: codes 00, 01 and 10 for difference sizes 0, 4 and 12.
    // AC table 0: the one code 0 for end of block.
    JpegStreamBuilder& simpleTables()
    {
        huffman(0, 0, {0, 3}, {0, 4, 12});
        return huffman(1, 0, {1}, {0x00});
    }

    // component id and (DC table << 4 | AC table) for each scan component.
    JpegStreamBuilder& scan(std::vector<std::pair<uint8_t, uint8_t>> components)
    {
        Bytes p{static_cast<uint8_t>(components.size())};
        for (const auto& c : components)
            p.insert(p.end(), {c.first, c.second});
        p.insert(p.end(), {0, 63, 0});
        return segment(0xDA, p);
    }
    JpegStreamBuilder& scan3() { return scan({{1, 0x00}, {2, 0x00}, {3, 0x00}}); }

    // Entropy data of `blocks` blocks with DC difference 0 and end of block
    // at once (tables of simpleTables).
    static Bytes flatBlocks(int blocks)
    {
        Bits bits;
        for (int i = 0; i < blocks; ++i)
            bits.put("00").put("0");
        return bits.finish();
    }

    const Bytes& bytes() const { return m_bytes; }

private:
    Bytes m_bytes;
};
