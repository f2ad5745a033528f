#include "game/gameplay/ShowerPowerUpView.h"

#include "core/FMemory.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/GameShuffle.h"
#include "game/core/LevelTimer.h"
#include "game/core/PowerUpKind.h"
#include "game/core/SearchListGenerator.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/gameplay/StoryAudio.h"
#include "game/widgets/MapView.h"
#include "game/widgets/VideoSprite.h"
#include "game/worlds/WorldScene.h"
#include "image/FImage.h"
#include "ui/FImageWidget.h"
#include "video/FVideo.h"

#include <algorithm>
#include <utility>

ShowerPowerUpView::ShowerPowerUpView(FContainer* parent) : PowerUpView(parent, k_powerUpShower)
{
    m_dropTimer.setSpeed(1.0f);
}

ShowerPowerUpView::~ShowerPowerUpView()
{
    m_dropTimer.setCompletion(nullptr);
    m_flights.clear();
    m_sprites.clear();
    m_darkness = {};
    m_darknessFade.target = nullptr;
    m_darknessFade.setCompletion(nullptr);
}

FPointI ShowerPowerUpView::screenSize() const
{
    const CommonUIScreen* host = hostScreen();
    if (host != nullptr && host->width() > 0 && host->height() > 0) return {host->width(), host->height()};
    return {ZibboUserInterface::k_windowWidth, ZibboUserInterface::k_windowHeight};
}

FPointI ShowerPowerUpView::catchPoint() const
{
    const FPointI size = screenSize();
    return {size.x / 2, static_cast<int32_t>(0.9f * static_cast<float>(size.y))};
}

void ShowerPowerUpView::setup()
{
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    setIcon(host->m_iconShower);
    setLaunchClip(host->m_launchShowerClip);
    const FRectI map = mapRect();
    m_darkness = makeRef(engineNew<FImageWidget>(k_memObject, host, true));
    // The shared prompt part's darkness picture where the screen binds that
    // part, else the map overlay of folder 6: the tint makes either black.
    FRefT<FImage> picture = host->hudImage(k_darknessAsset);
    if (picture.get() == nullptr) picture = FRefT<FImage>(host->m_mapOverlayImage);
    m_darkness->setImage(picture, false);
    m_darkness->setWidgetColour(0xFF000000u);
    m_darkness->setWidgetRect({0, 0, map.right - map.left, map.bottom - map.top});
    m_darkness->setWidgetAlpha(0);
    m_darkness->setVisible(false);
    m_darknessFade.target = m_darkness.get();

    for (int32_t i = 0; i < k_spriteCount; ++i) {
        FRefT<VideoSprite> sprite = makeRef(engineNew<VideoSprite>(k_memObject, host));
        sprite->setVisible(false);
        sprite->setVideo(FRefT<FVideo>(host->m_fallingStarClip), true);
        sprite->setLoops(-1);
        m_flights.emplace_back(sprite.get());
        m_sprites.push_back(std::move(sprite));
        m_dropOrder.push_back(i);
    }
    gameShuffle(m_dropOrder);
    FTween::Completion* next = makeMemberDelegate(this, &ShowerPowerUpView::dropNext);
    m_dropTimer.setCompletion(next);
    freeAndNull(next);
    bringToFront();
}

void ShowerPowerUpView::onLaunchFinished()
{
    if (!passLaunchCheck()) return;
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    StoryAudio::playMusic(host->m_showerMusic, false);
    if (FImageWidget* darkness = m_darkness.get()) darkness->setVisible(true);
    host->showPowerUpMessage(k_messageKind, 0);
    m_darknessFade.setCompletion(nullptr);
    m_darknessFade.start(k_darknessAlpha, k_darknessFadeMs);
    if (MapView* map = mapView()) map->setInputBlocked(true);
    m_launchedCount = 0;
    const int32_t step = screenSize().x / (k_spriteCount + 1);
    for (int32_t i = 0; i < static_cast<int32_t>(m_sprites.size()); ++i) {
        VideoSprite* sprite = m_sprites[static_cast<std::size_t>(i)].get();
        sprite->setVisible(true);
        sprite->setWidgetPosition(step * (i + 1), -sprite->height());
    }
    host->m_catchList = m_sprites;
    dropNext();
}

void ShowerPowerUpView::dropNext()
{
    if (m_sprites.size() < static_cast<std::size_t>(k_spriteCount)) return;
    if (m_launchedCount < k_spriteCount) {
        const int32_t fallMs = GameRandom::rand() % k_fallSpreadMs + k_minFallMs;
        const auto index = static_cast<std::size_t>(m_dropOrder[static_cast<std::size_t>(m_launchedCount)]);
        VideoSprite* sprite = m_sprites[index].get();
        const auto bottom = static_cast<int32_t>(1.5 * screenSize().y);
        m_flights[index].start({sprite->rect().left, bottom}, fallMs);
        if (!plays(sprite)) sprite->bringToFront();
        sprite->play(false);
        const bool last = m_launchedCount == k_spriteCount - 1;
        m_dropTimer.start(last ? fallMs : GameRandom::rand() % k_gapSpreadMs + k_minGapMs);
        ++m_launchedCount;
        return;
    }
    for (FRefT<VideoSprite>& sprite : m_sprites) {
        sprite->setPlaying(false);
        sprite->setVisible(false);
    }
    FTween::Completion* faded = makeMemberDelegate(this, &ShowerPowerUpView::onFadeOutEnd);
    m_darknessFade.setCompletion(faded);
    freeAndNull(faded);
    m_darknessFade.start(0, k_darknessFadeMs);
}

void ShowerPowerUpView::catchSprite(int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(m_sprites.size())) return;
    VideoSprite* sprite = m_sprites[static_cast<std::size_t>(index)].get();
    // A sprite already taken away (hidden at the catch point, maybe still
    // under the pointer) or not falling is not there to catch.
    if (!plays(sprite) || !sprite->isVisible()) return;
    const FPointI at{sprite->rect().left, sprite->rect().top};
    m_flights[static_cast<std::size_t>(index)].start(catchPoint(), k_catchFlightMs);
    if (CommonUIScreen* host = hostScreen()) host->startCaughtBurst(at.x, at.y);
}

void ShowerPowerUpView::onFadeOutEnd()
{
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    if (const auto* scene = host->worldScene().as<WorldScene>())
        StoryAudio::playMusic(scene->getMusic(), false);
    useSessionPowerUp(player());
}

void ShowerPowerUpView::onPowerUpStateChanged(ActivePowerUp& record)
{
    PowerUpView::onPowerUpStateChanged(record);
    if (state() != ActivePowerUp::k_stateEnded) return;
    setVisible(false);
    if (FImageWidget* darkness = m_darkness.get()) darkness->setVisible(false);
    m_darknessFade.setActive(false);
    m_launchedCount = 0;
    m_dropTimer.setActive(false);
    for (std::size_t i = 0; i < m_sprites.size(); ++i) {
        m_sprites[i]->setPlaying(false);
        m_sprites[i]->setVisible(false);
        m_flights[i].setActive(false);
    }
    CommonUIScreen* host = hostScreen();
    if (host == nullptr) return;
    host->m_catchList.clear();
    host->hidePowerUpMessage(0);
    if (MapView* map = mapView()) map->setInputBlocked(false);
}

void ShowerPowerUpView::update(int32_t elapsedMs)
{
    const FPointI destination = catchPoint();
    for (FRefT<VideoSprite>& held : m_sprites) {
        VideoSprite* sprite = held.get();
        if (!plays(sprite)) continue;
        sprite->update(elapsedMs);
        if (sprite->rect().left != destination.x || sprite->rect().top != destination.y) continue;
        sprite->setPlaying(false);
        sprite->setVisible(false);
        CommonUIScreen* host = hostScreen();
        GameSession* session = host != nullptr ? host->session() : nullptr;
        const FRefT<SearchListGenerator> generator =
            session != nullptr ? session->getSearchListGenerator() : FRefT<SearchListGenerator>();
        if (generator.get() != nullptr) {
            LevelTimer& timer = generator->levelTimer();
            timer.setElapsed(std::max(0, timer.elapsed() - k_catchRewardMs));
        }
    }
    for (FMoveTween& flight : m_flights) {
        if (flight.isActive()) flight.update(elapsedMs);
    }
    if (m_dropTimer.isActive()) m_dropTimer.update(elapsedMs);
    if (m_darknessFade.isActive()) m_darknessFade.update(elapsedMs);
    PowerUpView::update(elapsedMs);
}
