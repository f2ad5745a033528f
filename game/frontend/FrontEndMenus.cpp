#include "game/frontend/FrontEndMenus.h"

#include "LayoutPart19.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ControllerManager.h"
#include "game/core/GameSoundChannels.h"
#include "game/widgets/ParticleViewAssets.h"
#include "game/widgets/WidgetGeometry.h"
#include "image/FImage.h"
#include "ui/FScreen.h"

namespace FrontEndMenus {

void takeControllers(FScreen* screen)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    ControllerManager& controllers = game->controllerManager();
    controllers.setCurrentScreen(screen);
    // The menus name controllers 0, 1, 3 and 4; the manager keeps four
    // records, so the fourth is left out rather than written past the end.
    for (int32_t pointer : {0, 1, 3, 4})
        if (pointer < ControllerManager::k_pointerCount) controllers.setCursorFlag(pointer, 1);
}

void clearControllerOne()
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance())
        game->controllerManager().setCursorFlag(1, 0);
}

void playSound(const FRef& sound)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr && sound.get() != nullptr) game->playSound(sound, k_clickVolume);
}

bool isMusicPlaying()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr && game->sounds() != nullptr && game->sounds()->isMusicPlaying();
}

ParticleEmitterView* addBackdrop(FScreen* screen)
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return nullptr;
    game->addParticleView(screen);
    ParticleEmitterView* view = game->particleView();
    if (view != nullptr) sendToBack(*view);
    return view;
}

void releaseBackdrop()
{
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) game->releaseParticleView();
}

ParticleEmitterView* backdrop()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    return game != nullptr ? game->particleView() : nullptr;
}

ParticleEmitterView* setUpBackdrop(FScreen* screen, const FRef& panel, const FRef& topCap,
                                   const FRef& bottomCap, const ParticleViewAssets* assets,
                                   BackdropButtons* buttons)
{
    ParticleEmitterView* view = addBackdrop(screen);
    if (view != nullptr)
        view->setup(screen, FRefT<FWidget>(panel), FRefT<FWidget>(topCap), FRefT<FWidget>(bottomCap), assets,
                    buttons);
    return view;
}

bool leaveTo(int32_t kind)
{
    ParticleEmitterView* view = backdrop();
    if (view == nullptr) return false;
    view->nextScreen = kind;
    view->closing = true;
    return true;
}

void dropBackdrop(const ParticleEmitterView* mine)
{
    if (ParticleEmitterView* view = backdrop(); view != nullptr && view == mine) {
        view->setOnAnimating(nullptr);
        view->setOnClosed(nullptr);
    }
    releaseBackdrop();
}

void fillBackdropAssets(const LayoutPart19& part, ParticleViewAssets& out)
{
    out.pictures[0] = FRefT<FImage>(part.m_backdropPicture0);
    out.pictures[1] = FRefT<FImage>(part.m_backdropPicture1);
    out.pictures[2] = FRefT<FImage>(part.m_backdropPicture2);
    out.pictures[3] = FRefT<FImage>(part.m_backdropPicture3);
    out.backdrop = FRefT<FImage>(part.m_backdropImage);
    out.waveSparkle = FRefT<FImage>(part.m_waveSparkle);
    out.burstSparkle = FRefT<FImage>(part.m_burstSparkle);
    out.sweepSparkle = FRefT<FImage>(part.m_sweepSparkle);
    out.openSound = part.m_hoverSound;
}

} // namespace FrontEndMenus
