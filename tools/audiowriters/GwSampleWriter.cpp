#include "tools/audiowriters/GwSampleWriter.h"

#include "audio/FImaAdpcm.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The nibble whose difference lands nearest `target` from the state.
int encodeNibble(const FImaAdpcm::State& state, int target)
{
    int best = 0;
    int bestError = -1;
    for (int n = 0; n < 16; ++n) {
        const int value = std::clamp(state.predictor + FImaAdpcm::difference(state.index, n), -32768, 32767);
        const int error = std::abs(value - target);
        if (bestError < 0 || error < bestError) {
            best = n;
            bestError = error;
        }
    }
    return best;
}

void putWord(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// The samples the encoder codes: stereo mid/side stores ((l + r) / 2, (l - r) / 2).
std::vector<int16_t> coded(const GwSampleSpec& spec, const std::vector<int16_t>& samples)
{
    std::vector<int16_t> values = samples;
    if (spec.channels == 2 && spec.midSide) {
        for (size_t i = 0; i + 1 < values.size(); i += 2) {
            const int l = samples[i];
            const int r = samples[i + 1];
            values[i] = static_cast<int16_t>((l + r) / 2);
            values[i + 1] = static_cast<int16_t>((l - r) / 2);
        }
    }
    return values;
}

// Encodes `values` and answers the nibbles, one per sample, in order.
std::vector<int> encode(const GwSampleSpec& spec, const std::vector<int16_t>& values,
                        std::vector<int16_t>* decoded)
{
    FImaAdpcm::State states[2];
    std::vector<int> nibbles(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        FImaAdpcm::State& state = states[spec.channels == 2 ? i % 2 : 0];
        nibbles[i] = encodeNibble(state, values[i]);
        const int16_t value = FImaAdpcm::decode(state, nibbles[i]);
        if (decoded != nullptr) decoded->push_back(value);
    }
    return nibbles;
}

} // namespace

std::vector<uint8_t> writeGwSample(const GwSampleSpec& spec, const std::vector<int16_t>& samples)
{
    const std::vector<int> nibbles = encode(spec, coded(spec, samples), nullptr);
    std::vector<uint8_t> out;
    uint32_t flags = 0;
    if (spec.loops) flags |= 1;
    if (spec.secondFlag) flags |= 2;
    if (spec.channels == 2) flags |= 4;
    if (spec.channels == 2 && spec.midSide) flags |= 8;
    putWord(out, 4);
    putWord(out, static_cast<uint32_t>(samples.size() * 2));
    putWord(out, flags);
    putWord(out, static_cast<uint32_t>(spec.rate));
    putWord(out, spec.loopStart);
    putWord(out, spec.loopLength);
    // Mono packs two samples a byte and stereo one frame: high nibble first.
    for (size_t i = 0; i < nibbles.size(); i += 2) {
        const int low = i + 1 < nibbles.size() ? nibbles[i + 1] : 0;
        out.push_back(static_cast<uint8_t>(nibbles[i] << 4 | low));
    }
    return out;
}

std::vector<int16_t> gwSampleReconstruction(const GwSampleSpec& spec, const std::vector<int16_t>& samples)
{
    std::vector<int16_t> decoded;
    encode(spec, coded(spec, samples), &decoded);
    if (spec.channels == 2 && spec.midSide)
        FImaAdpcm::midSideToLeftRight(decoded.data(), static_cast<int>(decoded.size() / 2));
    return decoded;
}
