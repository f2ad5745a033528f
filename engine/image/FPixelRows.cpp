#include "image/FPixelRows.h"

#include <cstring>
#include <utility>

#include "image/FPixelCodec.h"

namespace {

using namespace pixelcodec;

template <int Src, int Dst>
void convertRow(const uint8_t* src, int32_t si, uint8_t* dst, int32_t di, int32_t count)
{
    if constexpr (Src == Dst && KindOf<Src>::ownForm == k_formBgra8) {
        std::memcpy(dst + 4 * di, src + 4 * si, 4 * static_cast<size_t>(count));
    } else {
        for (int32_t j = 0; j < count; ++j) {
            uint8_t bgra[4];
            readIndex<Src, k_formBgra8>(bgra, src, si + j);
            writeIndex<k_formBgra8, Dst>(bgra, dst, di + j);
        }
    }
}

constexpr int k_kinds = k_pixelPvr4;

template <int Src, int... Dst>
constexpr void fillRow(FPixelRowConvertFn* row, std::integer_sequence<int, Dst...>)
{
    ((row[Dst] = &convertRow<Src + 1, Dst + 1>), ...);
}

template <int... Src> constexpr auto makeConverters(std::integer_sequence<int, Src...>)
{
    struct Table
    {
        FPixelRowConvertFn fn[k_kinds][k_kinds];
    } table{};
    (fillRow<Src>(table.fn[Src], std::make_integer_sequence<int, k_kinds>{}), ...);
    return table;
}

constexpr auto k_converters = makeConverters(std::make_integer_sequence<int, k_kinds>{});

template <int Kind> void clearRow(uint8_t* row, int32_t index, int32_t count)
{
    // Every kind stores a zero bgra8 value as all-zero bits.
    if constexpr (KindOf<Kind>::bits >= 8) {
        constexpr int bytes = KindOf<Kind>::bits / 8;
        std::memset(row + bytes * static_cast<size_t>(index), 0, bytes * static_cast<size_t>(count));
    } else {
        const uint8_t zero[4] = {0, 0, 0, 0};
        for (int32_t j = 0; j < count; ++j)
            writeIndex<k_formBgra8, Kind>(zero, row, index + j);
    }
}

template <int... Kind> constexpr auto makeClearers(std::integer_sequence<int, Kind...>)
{
    using Fn = void (*)(uint8_t*, int32_t, int32_t);
    struct Table
    {
        Fn fn[k_kinds];
    } table{{&clearRow<Kind + 1>...}};
    return table;
}

constexpr auto k_clearers = makeClearers(std::make_integer_sequence<int, k_kinds>{});

bool validKind(int32_t kind)
{
    return kind >= k_pixelMono1 && kind <= k_pixelPvr4;
}

} // namespace

FPixelRowConvertFn getPixelRowConverter(int32_t srcKind, int32_t dstKind)
{
    if (!validKind(srcKind) || !validKind(dstKind)) return nullptr;
    return k_converters.fn[srcKind - 1][dstKind - 1];
}

void clearPixels(int32_t kind, uint8_t* row, int32_t index, int32_t count)
{
    if (validKind(kind) && count > 0) k_clearers.fn[kind - 1](row, index, count);
}
