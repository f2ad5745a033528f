#pragma once

#include "ScreenLayout15.h"
#include "core/FRef.h"
#include "graphics/FGeometry.h"

#include <cstdint>
#include <vector>

class VideoSprite;

// The pause between two heavy screens (kind 9): one of 24 loading pictures,
// picked by the game's shuffle, plays with the loading music; after more
// than 750 ms the screen asks for the pending screen, or, with none, for the
// level when the play session is in the normal mode. With no pending screen
// and any other mode there is nowhere sound to go: it goes to the main menu
// rather than wait for ever.
class LoadingScreen : public ScreenLayout15
{
public:
    static constexpr int32_t k_waitMs = 750;
    static constexpr int32_t k_pictureCount = 24;
    static constexpr int32_t k_frameRate = 12;
    static constexpr int32_t k_frameTimeMs = 83;
    static constexpr double k_referenceWidth = 640.0;

    LoadingScreen();
    ~LoadingScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;

    // The picture's centre in the 640-unit frame for the shown video.
    FPointI pictureCentre() const;
    VideoSprite& picture() const { return *m_pictureSprite; }
    const std::vector<FRef>& pictures() const { return m_pictures; }
    bool isDone() const { return m_done; }

private:
    void goOn();

    VideoSprite* m_pictureSprite = nullptr;
    std::vector<FRef> m_pictures;
    bool m_done = false;
    int32_t m_elapsed = 0;
    float m_scale = 1.0f;
};
