// The GW video player over arbitrary bytes: the header is read with all
// frames decoded, then again keeping the source, followed by seeks forward,
// backward and to key frames. Failure reports are the expected answer to bad
// input; anything else (a crash, a hang, a sanitizer report, a huge
// allocation) is a fault.
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "core/FMemory.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "support/QuietErrorHandler.h"
#include "video/FGWVideo.h"
#include "video/FVideoStreamHost.h"
#include "video/FVideoTarget.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t k_maximumInput = 1 << 20;

void play(std::vector<uint8_t>& bytes, bool keepSource)
{
    FVideoStreamHost host(FInStream::make(engineNew<FMemoryStreambuf>(k_memStream, bytes.data(),
                                                                      static_cast<int64_t>(bytes.size()))),
                          keepSource);
    FGWVideo player(host);
    try {
        player.readHeader();
        const int32_t frames = player.frameCount();
        if (frames == 0) return;
        FVideoTarget target;
        for (int32_t n : {frames - 1, 0, frames / 2, frames / 2 + 1, 1 % frames, frames - 1}) {
            target.setCurrentFrame(player.seekFrame(target, n));
            if (n == frames / 2) player.dropFrames(0, frames / 2);
        }
        for (int32_t k = 0; k < player.keyFrameCount(); ++k)
            target.setCurrentFrame(player.showKeyFrame(target, k));
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietErrorHandler::installForProcess();
    if (size > k_maximumInput) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    play(bytes, false);
    play(bytes, true);
    return 0;
}
