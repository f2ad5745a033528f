#pragma once

#include <cstdint>

// The number every screen change uses; -1 means no screen.
enum ScreenKind : std::int32_t {
    k_noScreen = -1,
    k_avatarSelectScreen = 0,
    k_introScreen = 1,
    k_legalScreen = 2,
    k_profileMenuScreen = 3,
    k_animationScreen = 4,
    k_introSlidesScreen = 5,
    k_clickToContinueScreen = 6,
    k_gameModeScreen = 7,
    k_worldMapScreen = 8,
    k_loadingScreen = 9,
    k_introAnimationScreen = 10,
    k_mainMenuScreen = 11,
    k_nameEntryScreen = 12,
    k_textSequenceScreen = 13,
    k_profileScreen = 14,
    k_storyModeScreen = 15,
    k_splashScreen = 16,
};

inline constexpr std::int32_t k_screenKindCount = 17;

// The screen class a kind builds, or null for a number that is no kind.
inline const char* screenClassName(std::int32_t kind)
{
    static constexpr const char* k_names[k_screenKindCount] = {
        "AvatarSelectScreen", "IntroScreen",        "LegalScreen",           "ProfileMenuScreen",
        "AnimationScreen",    "IntroSlidesScreen",  "ClickToContinueScreen", "GameModeScreen",
        "WorldMapScreen",     "LoadingScreen",      "IntroAnimationScreen",  "MainMenuScreen",
        "NameEntryScreen",    "TextSequenceScreen", "ProfileScreen",         "StoryModeScreen",
        "ZibboSplashScreen",
    };
    return kind >= 0 && kind < k_screenKindCount ? k_names[kind] : nullptr;
}
