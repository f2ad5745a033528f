#pragma once

#include "core/FDelegate.h"
#include "core/FMemory.h"
#include "core/FRef.h"
#include "game/widgets/ParticleEmitterView.h"

#include <cstdint>

class BackdropButtons;
class FScreen;
class FWidget;
class LayoutPart19;
struct ParticleViewAssets;

// What the menu screens over the shared backdrop (main menu, profile, name
// entry, avatar and difficulty screens) ask of the game module. Each does
// nothing without a running game module or its sound channels (a headless
// run without audio).
namespace FrontEndMenus {

// The base volume of the menus' clicks (of 255).
inline constexpr int32_t k_clickVolume = 63;

// Makes the screen the controller manager's current screen and sets the
// flags of the menus' controllers.
void takeControllers(FScreen* screen);
// Clears the flag of controller 1 again: the menus keep it off.
void clearControllerOne();
void playSound(const FRef& sound);
bool isMusicPlaying();
// The screen's use of the shared backdrop: a new view over the screen, sent
// to the back of the screen's children. Null without a game module.
ParticleEmitterView* addBackdrop(FScreen* screen);
void releaseBackdrop();
ParticleEmitterView* backdrop();
// The backdrop's pictures, sparkles and opening sound from the shared
// front-end part.
void fillBackdropAssets(const LayoutPart19& part, ParticleViewAssets& out);
// The screen's backdrop set up over it with its panel and caps (the three
// widgets of its layout), its pictures and its menu buttons (may be null);
// null without a game module.
ParticleEmitterView* setUpBackdrop(FScreen* screen, const FRef& panel, const FRef& topCap,
                                   const FRef& bottomCap, const ParticleViewAssets* assets,
                                   BackdropButtons* buttons);
// The screen's busy handler becomes the backdrop's animating delegate.
template <class Screen> void setBackdropBusyHandler(ParticleEmitterView* view, Screen* screen)
{
    if (view == nullptr) return;
    ParticleEmitterView::AnimatingCallback* busy = makeMemberDelegate(screen, &Screen::onBackdropBusy);
    view->setOnAnimating(busy);
    engineFree(busy);
}
// Hands the kind to the backdrop and lets it leave: its exit animation ends
// in the screen change. False without a backdrop.
bool leaveTo(int32_t kind);
// Gives up a leaving screen's use of the backdrop. When the backdrop is
// still the one the screen set up (`mine`), it must not call into the
// screen any more; a later screen's backdrop keeps its delegates.
void dropBackdrop(const ParticleEmitterView* mine);

} // namespace FrontEndMenus
