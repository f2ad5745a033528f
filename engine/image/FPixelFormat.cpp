#include "image/FPixelFormat.h"

#include <utility>

#include "image/FPixelCodec.h"

namespace {

using namespace pixelcodec;

template <int Kind> int32_t bitsPerPixel()
{
    return KindOf<Kind>::bits;
}

template <int Kind> int32_t rowBytes(int32_t pixelCount)
{
    return static_cast<int32_t>((static_cast<int64_t>(pixelCount) * KindOf<Kind>::bits + 7) >> 3);
}

template <int Kind, int... Forms> constexpr FPixelFormatOps makeOps(std::integer_sequence<int, Forms...>)
{
    return FPixelFormatOps{{&readAt<Kind, Forms>...},
                           {&readIndex<Kind, Forms>...},
                           {&writeIndex<Forms, Kind>...},
                           &bitsPerPixel<Kind>,
                           &rowBytes<Kind>};
}

template <int Kind> constexpr FPixelFormatOps makeOps()
{
    return makeOps<Kind>(std::make_integer_sequence<int, k_formCount>{});
}

// Constant tables: built by the compiler, so every thread sees them complete.
constexpr FPixelFormatOps k_tables[] = {
    makeOps<k_pixelMono1>(), makeOps<k_pixelGrey4>(),  makeOps<k_pixelGrey8>(),  makeOps<k_pixelRgb8>(),
    makeOps<k_pixelRgba8>(), makeOps<k_pixelRgb5a3>(), makeOps<k_pixelRgba16>(), makeOps<k_pixelRgbaFloat>(),
    makeOps<k_pixelBgra8>(), makeOps<k_pixelGrey8b>(), makeOps<k_pixelRaw8>(),   makeOps<k_pixelPvr2>(),
    makeOps<k_pixelPvr4>(),
};

} // namespace

const FPixelFormatOps* getPixelFormatOps(int32_t kind)
{
    if (kind < k_pixelMono1 || kind > k_pixelPvr4) return nullptr;
    return &k_tables[kind - 1];
}
