#include "game/factories/ScreenFactory.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/AnimationScreen.h"
#include "game/frontend/AvatarSelectScreen.h"
#include "game/frontend/ClickToContinueScreen.h"
#include "game/frontend/GameModeScreen.h"
#include "game/frontend/IntroAnimationScreen.h"
#include "game/frontend/IntroScreen.h"
#include "game/frontend/IntroSlidesScreen.h"
#include "game/frontend/LegalScreen.h"
#include "game/frontend/LoadingScreen.h"
#include "game/frontend/MainMenuScreen.h"
#include "game/frontend/NameEntryScreen.h"
#include "game/frontend/ProfileMenuScreen.h"
#include "game/frontend/ProfileScreen.h"
#include "game/frontend/TextSequenceScreen.h"
#include "game/frontend/ZibboSplashScreen.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/worldmap/WorldMapScreen.h"
#include "ui/FScreen.h"

namespace {

template <class Screen> FRefT<FScreen> buildScreenOf()
{
    return FRefT<FScreen>(makeRef<FScreen>(engineNew<Screen>(k_memObject)));
}

} // namespace

FRefT<FScreen> createScreen(std::int32_t kind)
{
    const char* name = screenClassName(kind);
    if (name == nullptr) ZIBBO_FAIL(msgIllegalOperation, "screen kind " << kind << " is unknown");
    switch (kind) {
    case k_introScreen:
        return buildScreenOf<IntroScreen>();
    case k_introSlidesScreen:
        return buildScreenOf<IntroSlidesScreen>();
    case k_clickToContinueScreen:
        return buildScreenOf<ClickToContinueScreen>();
    case k_introAnimationScreen:
        return buildScreenOf<IntroAnimationScreen>();
    case k_loadingScreen:
        return buildScreenOf<LoadingScreen>();
    case k_splashScreen:
        return buildScreenOf<ZibboSplashScreen>();
    case k_mainMenuScreen:
        return buildScreenOf<MainMenuScreen>();
    case k_profileScreen:
        return buildScreenOf<ProfileScreen>();
    case k_nameEntryScreen:
        return buildScreenOf<NameEntryScreen>();
    case k_avatarSelectScreen:
        return buildScreenOf<AvatarSelectScreen>();
    case k_profileMenuScreen:
        return buildScreenOf<ProfileMenuScreen>();
    case k_gameModeScreen:
        return buildScreenOf<GameModeScreen>();
    case k_legalScreen:
        return buildScreenOf<LegalScreen>();
    case k_textSequenceScreen:
        return buildScreenOf<TextSequenceScreen>();
    case k_animationScreen:
        return buildScreenOf<AnimationScreen>();
    case k_worldMapScreen:
        return buildScreenOf<WorldMapScreen>();
    case k_storyModeScreen:
        return buildScreenOf<StoryModeScreen>();
    default:
        break;
    }
    // Each further kind's case constructs its screen class once that class exists.
    ZIBBO_FAIL(msgIllegalOperation, "screen kind " << kind << " (" << name << ") is not built yet");
}
