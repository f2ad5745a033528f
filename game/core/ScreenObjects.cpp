#include "game/core/ScreenObjects.h"

#include "audio/FAudioLock.h"
#include "audio/FAudioService.h"
#include "audio/FMusic.h"
#include "audio/FSample.h"
#include "core/FApplication.h"
#include "core/FMemory.h"
#include "ui/FAssetKinds.h"

FRef createScreenObject(int16_t kind)
{
    switch (kind) {
    case 2: {
        auto* audio = findService<FAudioService>(k_slotAudio);
        if (audio == nullptr || audio->getAudioLock() == nullptr) return FRef();
        return FAsset::handleFor(engineNew<FMusic>(k_memObject, *audio->getAudioLock()));
    }
    case 4:
        return FAsset::handleFor(engineNew<FSample>(k_memObject));
    default:
        return FAssetKinds::create(kind);
    }
}
