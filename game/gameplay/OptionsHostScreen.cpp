#include "game/gameplay/OptionsHostScreen.h"

#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FString.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameVersion.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ScreenKind.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/StepSlider.h"
#include "game/widgets/WidgetGeometry.h"
#include "graphics/FGraph.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FLabel.h"

namespace {

// Trace lines of the overlays are written only at trace level 1.
constexpr int32_t k_optionsTraceLevel = 0;

FGraph* optionsGraph()
{
    return findService<FGraph>(k_slotGraphics);
}

FRefT<FImage> imageOf(const FRef& asset)
{
    return FRefT<FImage>(asset);
}

void disableButton(FButton* button)
{
    if (button != nullptr && button->isEnabled()) button->setEnabled(false);
}

bool inMainMenu(ZibboUserInterface* module)
{
    return module != nullptr && module->currentKind() == k_mainMenuScreen;
}

} // namespace

OptionsHostScreen::OptionsHostScreen()
{
    m_topTween.setSpeed(1.0f);
    m_bottomTween.setSpeed(1.0f);
    m_coverFade.setSpeed(1.0f);
}

OptionsHostScreen::~OptionsHostScreen()
{
    freeAndNull(m_panelClosed);
    m_topTween.setCompletion(nullptr);
    m_bottomTween.setCompletion(nullptr);
    m_coverFade.setCompletion(nullptr);
    m_bottomEmitter.release();
    m_topEmitter.release();
    m_particlePool.release();
    m_particleGroup.release();
}

ZibboUserInterface* OptionsHostScreen::gameModule()
{
    return ZibboUserInterface::getInstance();
}

void OptionsHostScreen::playScreenSound(const FRef& sound)
{
    if (ZibboUserInterface* module = gameModule()) module->playSound(sound, k_soundLevel);
}

int32_t OptionsHostScreen::screenHeight() const
{
    return height() > 0 ? height() : ZibboUserInterface::k_windowHeight;
}

StepSlider* OptionsHostScreen::musicSlider() const
{
    return dynamic_cast<StepSlider*>(m_musicSlider.get());
}

StepSlider* OptionsHostScreen::effectsSlider() const
{
    return dynamic_cast<StepSlider*>(m_effectsSlider.get());
}

StepSlider* OptionsHostScreen::voiceSlider() const
{
    return dynamic_cast<StepSlider*>(m_voiceSlider.get());
}

void OptionsHostScreen::setVisible(bool visible)
{
    FWidget::setVisible(visible);
    FWidget::requestRedraw();
    if (FContainer* panel = m_optionsPanel.get(); panel != nullptr && panel->parent() != nullptr) {
        if (visible)
            panel->bringToFront();
        else
            sendToBack(*panel);
    }
}

void OptionsHostScreen::onActivate()
{
    ScreenLayout21::onActivate();
    StepSlider* sliders[3] = {musicSlider(), effectsSlider(), voiceSlider()};
    const int32_t counts[3] = {k_volumeSteps, k_effectSteps, k_volumeSteps};
    const FRef* faces[3] = {&m_musicSliderImage, &m_effectsSliderImage, &m_voiceSliderImage};
    for (int i = 0; i < 3; ++i)
        if (sliders[i] != nullptr) sliders[i]->setStepCount(counts[i]);
    for (StepSlider* slider : sliders)
        if (slider != nullptr) slider->buildTrack(imageOf(m_trackImage));
    for (int i = 0; i < 3; ++i) {
        if (sliders[i] == nullptr) continue;
        sliders[i]->buildKnob(imageOf(m_knobImage), imageOf(*faces[i]));
        sliders[i]->setKnobHoverImage(imageOf(m_knobHoverImage));
    }
    if (FLabel* version = m_versionLabel.get()) {
        version->setText(getVersionString());
        version->setColor(0xFF000000u);
    }
    FGraph* graph = optionsGraph();
    setDisplayModeCaption(graph != nullptr && graph->getWindowMode() == FGraph::k_modeFixedWindow);

    if (m_optionsPanel.get() != nullptr) m_optionsPanel->setVisible(false);
    hideButton(m_okButton);
    hideButton(m_cancelButton);
    if (m_topPiece.get() != nullptr) m_topPiece->setVisible(false);
    if (m_bottomPiece.get() != nullptr) m_bottomPiece->setVisible(false);
    hideButton(m_legalButton);
    hideButton(m_resetButton);
    hideButton(m_displayModeButton);
    disableButton(m_legalButton.get());
    disableButton(m_resetButton.get());
    disableButton(m_displayModeButton.get());

    if (m_topPiece.get() != nullptr) m_topRest = {m_topPiece->rect().left, m_topPiece->rect().top};
    if (m_bottomPiece.get() != nullptr)
        m_bottomRest = {m_bottomPiece->rect().left, m_bottomPiece->rect().top};

    m_topTween.setTarget(m_topPiece.get());
    m_bottomTween.setTarget(m_bottomPiece.get());
    m_coverFade.target = m_cover.get();
    FTween::Completion* slide = makeMemberDelegate(this, &OptionsHostScreen::onSlideFinished);
    m_topTween.setCompletion(slide);
    m_bottomTween.setCompletion(slide);
    freeAndNull(slide);
    FTween::Completion* fade = makeMemberDelegate(this, &OptionsHostScreen::onCoverFadeFinished);
    m_coverFade.setCompletion(fade);
    freeAndNull(fade);

    m_topEmitter.release();
    m_bottomEmitter.release();
    m_particleGroup = makeRef(engineNew<ParticleGroup>(k_memObject, k_particleCount, this));
    m_particlePool = makeRef(engineNew<ParticlePool>(k_memObject, k_particleCount));
}

void OptionsHostScreen::hideButton(const FRefT<FButton>& button)
{
    if (button.get() != nullptr) button->setVisible(false);
}

void OptionsHostScreen::setDisplayModeCaption(bool windowed)
{
    FButton* button = m_displayModeButton.get();
    if (button == nullptr) return;
    const FString* text = (windowed ? m_fullScreenText : m_windowText).as<FString>();
    if (text != nullptr) button->caption().setText(*text);
    button->onTargetChange();
}

void OptionsHostScreen::openMenuPanel()
{
    if (!inMainMenu(gameModule())) {
        hideButton(m_legalButton);
        hideButton(m_resetButton);
        hideButton(m_displayModeButton);
    }
    startOpeningSlide();
    if (m_cover.get() != nullptr) m_cover->setWidgetAlpha(255);
    if (FWidget* bottom = m_bottomPiece.get()) {
        bottom->setVisible(true);
        bottom->bringToFront();
    }
    if (FWidget* top = m_topPiece.get()) {
        top->setVisible(true);
        top->bringToFront();
    }
    ZibboUserInterface* module = gameModule();
    ProfileManager* profiles = module != nullptr ? module->profileManager() : nullptr;
    if (PlayerProfile* profile = profiles != nullptr ? profiles->getCurrentProfile() : nullptr) {
        m_cancelMusic = profile->musicVolume();
        m_cancelEffects = profile->effectVolume();
        m_cancelVoice = profile->voiceVolume();
    } else if (module != nullptr) {
        m_cancelMusic = module->musicVolume();
        m_cancelEffects = module->sfxVolumeScale();
        m_cancelVoice = module->voiceVolume();
    }
    syncSliders();
}

void OptionsHostScreen::syncSliders()
{
    ZibboUserInterface* module = gameModule();
    if (module == nullptr) return;
    // volume x 0.015625 x 16, truncated: a quarter of the volume.
    if (StepSlider* music = musicSlider()) music->setStep(module->musicVolume() / k_unitsPerStep);
    if (StepSlider* voice = voiceSlider()) voice->setStep(module->voiceVolume() / k_unitsPerStep);
    if (StepSlider* effects = effectsSlider()) effects->setStep(module->sfxVolumeScale());
}

void OptionsHostScreen::startOpeningSlide()
{
    if (k_optionsTraceLevel == 1) FLogStream("Default", false) << "--> opening options screen";
    m_slideHalfDone = false;
    FWidget* top = m_topPiece.get();
    FWidget* bottom = m_bottomPiece.get();
    if (top == nullptr || bottom == nullptr) return;
    const int32_t h = screenHeight();
    top->setWidgetPosition(0, h / 2 - top->height() / 2);
    bottom->setWidgetPosition(0, h / 2 + bottom->height() / 2);
    top->onMoved();
    bottom->onMoved();
    placeStretchStrip();
    m_topTween.setEasing(0);
    m_bottomTween.setEasing(0);
    m_topTween.start(m_topRest, k_slideMs);
    m_bottomTween.start(m_bottomRest, k_slideMs);
    m_openingSlide = true;
}

void OptionsHostScreen::startClosingSlide()
{
    if (k_optionsTraceLevel == 1) FLogStream("Default", false) << "--> closing options screen";
    m_slideHalfDone = false;
    FWidget* top = m_topPiece.get();
    FWidget* bottom = m_bottomPiece.get();
    const int32_t h = screenHeight();
    if (top != nullptr) m_topTween.start({0, h / 2 - top->height() / 2}, k_slideMs);
    if (bottom != nullptr) m_bottomTween.start({0, h / 2 - bottom->height() / 2}, k_slideMs);
    m_panelOpen = false;
    m_closingSlide = true;
    if (m_topEmitter.get() != nullptr) m_topEmitter->stop();
    if (m_bottomEmitter.get() != nullptr) m_bottomEmitter->stop();
    // Cuts a voice preview that still plays.
    if (ZibboUserInterface* module = gameModule()) module->stopDialogue();
}

void OptionsHostScreen::onSlideFinished()
{
    if (!m_slideHalfDone) {
        m_slideHalfDone = true;
        return;
    }
    m_slideHalfDone = false;
    if (m_openingSlide) {
        m_openingSlide = false;
        restartTopEmitter();
        restartBottomEmitter();
        showOptionsPanel();
    } else if (m_closingSlide) {
        m_closingSlide = false;
        if (m_topPiece.get() != nullptr) m_topPiece->setVisible(false);
        if (m_bottomPiece.get() != nullptr) m_bottomPiece->setVisible(false);
        if (m_stretchStrip.get() != nullptr) m_stretchStrip->setVisible(false);
        if (m_panelClosed != nullptr) m_panelClosed->invoke();
    }
}

void OptionsHostScreen::showOptionsPanel()
{
    m_panelFadeIn = true;
    if (FContainer* panel = m_optionsPanel.get()) {
        panel->setVisible(true);
        if (m_bottomPiece.get() != nullptr && panel->parent() == m_bottomPiece->parent())
            panel->placeBelow(*m_bottomPiece);
    }
    if (FWidget* cover = m_cover.get()) {
        cover->setWidgetAlpha(255);
        cover->bringToFront();
        m_coverFade.easing = 0;
        startAlphaFade(m_coverFade, 0, k_coverFadeMs);
    }
    if (inMainMenu(gameModule())) {
        for (const FRefT<FButton>* button : {&m_legalButton, &m_resetButton, &m_displayModeButton}) {
            if (button->get() == nullptr) continue;
            (*button)->setVisible(true);
            (*button)->bringToFront();
        }
    }
    for (const FRefT<FButton>* button : {&m_cancelButton, &m_okButton}) {
        if (button->get() == nullptr) continue;
        (*button)->setVisible(true);
        (*button)->bringToFront();
    }
}

void OptionsHostScreen::onCoverFadeFinished()
{
    if (m_panelFadeIn) {
        m_panelFadeIn = false;
        m_panelOpen = true;
        if (FWidget* cover = m_cover.get()) {
            cover->setVisible(false);
            cover->setWidgetAlpha(255);
        }
        if (StepSlider* voice = voiceSlider()) m_voiceStepAtPress = voice->step();
    }
    if (m_panelFadeOut) {
        m_panelFadeOut = false;
        if (m_optionsPanel.get() != nullptr) m_optionsPanel->setVisible(false);
        if (m_topEmitter.get() != nullptr) m_topEmitter->stop();
        if (m_bottomEmitter.get() != nullptr) m_bottomEmitter->stop();
        startClosingSlide();
    }
}

void OptionsHostScreen::hideOptionsPanel()
{
    m_panelFadeOut = true;
    for (const FRefT<FButton>* button :
         {&m_legalButton, &m_okButton, &m_cancelButton, &m_resetButton, &m_displayModeButton})
        hideButton(*button);
    if (FWidget* cover = m_cover.get()) {
        cover->setWidgetAlpha(0);
        cover->bringToFront();
    }
    m_coverFade.easing = 0;
    startAlphaFade(m_coverFade, 255, k_coverFadeMs);
    if (m_coverFade.target == nullptr) onCoverFadeFinished();
}

void OptionsHostScreen::placeStretchStrip()
{
    FWidget* top = m_topPiece.get();
    FWidget* bottom = m_bottomPiece.get();
    FWidget* strip = m_stretchStrip.get();
    if (top == nullptr || bottom == nullptr || strip == nullptr) return;
    const int32_t gap = bottom->rect().top - top->rect().top;
    strip->setWidgetSize(top->width(), gap > 0 ? gap : 0);
    strip->setWidgetPosition(top->rect().left, top->rect().top + top->height() / 2);
    if (strip->parent() == bottom->parent()) strip->placeBelow(*bottom);
    if (FContainer* panel = m_optionsPanel.get(); panel != nullptr && panel->parent() == bottom->parent())
        panel->placeBelow(*bottom);
    strip->setVisible(true);
}

void OptionsHostScreen::restartPieceEmitter(FRefT<ParticleEmitter>& holder, const FWidget* piece,
                                            const PieceEmitterLayer& layer, int32_t accelerationY,
                                            bool additiveBlend, ParticleEmitter::Finished* done)
{
    if (piece != nullptr && layer.pool != nullptr) {
        // The old emitter goes before its replacement takes particles from the pool.
        holder.release();
        const FPointI centre = piece->getWidgetCenter();
        FRefT<ParticleEmitter> emitter = makeRef(engineNew<ParticleEmitter>(
            k_memObject, k_emitterRunMs, layer.pool, layer.group, imageOf(m_emitterImage), centre.x, centre.y,
            ParticleEmitter::k_point, false, 0));
        emitter->lifetimeRange = 900;
        emitter->lifetimeMin = 700;
        emitter->spreadWidth = piece->width();
        emitter->spreadHeight = piece->height();
        emitter->accelerationX = 0;
        emitter->accelerationY = accelerationY;
        emitter->spin = 2;
        emitter->sizeBase = 4;
        emitter->sizeGrowth = 16;
        emitter->additiveBlend = additiveBlend;
        emitter->setOnFinished(done);
        emitter->restart();
        holder = emitter;
    }
    freeAndNull(done);
}

void OptionsHostScreen::restartTopEmitter()
{
    restartPieceEmitter(m_topEmitter, m_topPiece.get(), {m_particlePool.get(), m_particleGroup.get()}, -10000,
                        true, makeMemberDelegate(this, &OptionsHostScreen::onTopEmitterFinished));
}

void OptionsHostScreen::restartBottomEmitter()
{
    restartPieceEmitter(m_bottomEmitter, m_bottomPiece.get(), {m_particlePool.get(), m_particleGroup.get()},
                        10000, true, makeMemberDelegate(this, &OptionsHostScreen::onBottomEmitterFinished));
}

void OptionsHostScreen::update(int32_t ms)
{
    ScreenLayout21::update(ms);
    if (m_openingSlide || m_closingSlide) {
        m_topTween.update(ms);
        m_bottomTween.update(ms);
        placeStretchStrip();
    } else if (m_panelFadeIn || m_panelFadeOut) {
        m_coverFade.update(ms);
    } else if (!m_panelOpen && m_stretchStrip.get() != nullptr) {
        m_stretchStrip->setVisible(false);
    }
    if (ParticlePool* pool = m_particlePool.get(); pool != nullptr && m_particleGroup.get() != nullptr) {
        pool->update(ms, *m_particleGroup);
        m_particleGroup->update(ms);
        m_particleGroup->applyRecords();
        if (FContainer* layer = m_particleGroup->layer()) layer->bringToFront();
    }
    if (m_topEmitter.get() != nullptr) m_topEmitter->update(ms);
    if (m_bottomEmitter.get() != nullptr) m_bottomEmitter->update(ms);
    if (m_restartTopEmitter) {
        m_restartTopEmitter = false;
        restartTopEmitter();
    }
    if (m_restartBottomEmitter) {
        m_restartBottomEmitter = false;
        restartBottomEmitter();
    }
}

FPointI OptionsHostScreen::sliderPoint(const StepSlider& slider, const FPointI& point) const
{
    const FRectI& panel = m_optionsPanel->rect();
    return {point.x - panel.left - slider.rect().left, point.y - panel.top - slider.rect().top};
}

bool OptionsHostScreen::hitSlider(const StepSlider* slider, const FPointI& point) const
{
    if (slider == nullptr || m_optionsPanel.get() == nullptr) return false;
    return slider->isOnTrack(sliderPoint(*slider, point));
}

bool OptionsHostScreen::hitMusicSlider(const FPointI& point) const
{
    return hitSlider(musicSlider(), point);
}

bool OptionsHostScreen::hitEffectsSlider(const FPointI& point) const
{
    return hitSlider(effectsSlider(), point);
}

bool OptionsHostScreen::hitVoiceSlider(const FPointI& point) const
{
    return hitSlider(voiceSlider(), point);
}

void OptionsHostScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if ((pointer != 0 && m_panelOpen) ||
        (button != ZibboUserInterface::k_buttonLeft && button != ZibboUserInterface::k_buttonConfirm))
        return;
    FScreen::onPointerDown(pointer, button, point);
    if (m_optionsPanel.get() == nullptr || !m_optionsPanel->isVisible()) return;
    StepSlider* music = musicSlider();
    StepSlider* effects = effectsSlider();
    StepSlider* voice = voiceSlider();
    if (music == nullptr || effects == nullptr || voice == nullptr) return;
    ZibboUserInterface* module = gameModule();
    m_voiceStepAtPress = voice->step();
    if (hitMusicSlider(point) && !hitEffectsSlider(point)) {
        music->onPointerDown(pointer, button, sliderPoint(*music, point));
        if (music->isDragging()) m_sliderGrabbed = true;
        if (module != nullptr) module->setMusicVolume(static_cast<uint8_t>(music->step() * k_unitsPerStep));
    }
    if (!m_sliderGrabbed && hitEffectsSlider(point) && !hitVoiceSlider(point)) {
        effects->onPointerDown(pointer, button, sliderPoint(*effects, point));
        if (effects->isDragging()) {
            m_sliderGrabbed = true;
            if (module != nullptr) module->setSfxVolumeScale(effects->step());
        }
    }
    const int32_t old = voice->step() * k_unitsPerStep;
    if (!m_sliderGrabbed && hitVoiceSlider(point)) {
        voice->onPointerDown(pointer, button, sliderPoint(*voice, point));
        if (voice->isDragging()) m_sliderGrabbed = true;
    }
    if (voice->step() * k_unitsPerStep != old && module != nullptr)
        module->setVoiceVolume(static_cast<uint8_t>(voice->step() * k_unitsPerStep));
}

void OptionsHostScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (pointer != 0 && m_panelOpen) return;
    if (!m_appActive) return;
    FScreen::onPointerMove(pointer, point);
    if (m_optionsPanel.get() == nullptr || !m_optionsPanel->isVisible()) return;
    StepSlider* music = musicSlider();
    StepSlider* effects = effectsSlider();
    StepSlider* voice = voiceSlider();
    if (music == nullptr || effects == nullptr || voice == nullptr) return;
    ZibboUserInterface* module = gameModule();
    int32_t before = music->step();
    music->onPointerMove(pointer, sliderPoint(*music, point));
    if (music->step() != before && module != nullptr)
        module->setMusicVolume(static_cast<uint8_t>(music->step() * k_unitsPerStep));
    before = effects->step();
    effects->onPointerMove(pointer, sliderPoint(*effects, point));
    if (effects->step() != before && module != nullptr) {
        module->setSfxVolumeScale(effects->step());
        module->setUiSoundVolume(static_cast<uint8_t>(effects->step()));
    }
    before = voice->step();
    voice->onPointerMove(pointer, sliderPoint(*voice, point));
    if (voice->step() != before) {
        if (module != nullptr) module->setVoiceVolume(static_cast<uint8_t>(voice->step() * k_unitsPerStep));
        m_voiceChanged = true;
    }
}

void OptionsHostScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if ((pointer != 0 && m_panelOpen) ||
        (button != ZibboUserInterface::k_buttonLeft && button != ZibboUserInterface::k_buttonConfirm))
        return;
    m_sliderGrabbed = false;
    FScreen::onPointerUp(pointer, button, point);
    if (m_blocked) return;
    StepSlider* music = musicSlider();
    StepSlider* effects = effectsSlider();
    StepSlider* voice = voiceSlider();
    if (music != nullptr && effects != nullptr && voice != nullptr) {
        for (StepSlider* slider : {music, effects, voice})
            if (slider->isDragging()) slider->onPointerUp(pointer, button, sliderPoint(*slider, point));
        if (m_voiceChanged || (voice->step() != m_voiceStepAtPress && m_panelOpen)) {
            m_voiceChanged = false;
            if (ZibboUserInterface* module = gameModule()) module->playDialogue(m_voicePreview);
        }
    }
    m_sliderGrabbed = false;
}

void OptionsHostScreen::playClickSound()
{
    playScreenSound(m_tickSound);
}

void OptionsHostScreen::onOptionsAccepted()
{
    // A second click while the cover fades would hide and save twice.
    if (m_panelFadeIn || m_panelFadeOut) return;
    playScreenSound(m_confirmSound);
    ZibboUserInterface* module = gameModule();
    ProfileManager* profiles = module != nullptr ? module->profileManager() : nullptr;
    if (PlayerProfile* profile = profiles != nullptr ? profiles->getCurrentProfile() : nullptr) {
        const auto voice =
            static_cast<int16_t>(voiceSlider() != nullptr ? voiceSlider()->step() * k_unitsPerStep : 0);
        const auto music =
            static_cast<int16_t>(musicSlider() != nullptr ? musicSlider()->step() * k_unitsPerStep : 0);
        const auto effects = static_cast<int16_t>(effectsSlider() != nullptr ? effectsSlider()->step() : 0);
        if (profile->voiceVolume() != voice) profile->setVoiceVolume(voice);
        if (profile->musicVolume() != music) profile->setMusicVolume(music);
        if (profile->effectVolume() != effects) profile->setEffectVolume(effects);
        profiles->saveProfile(profiles->currentIndex());
    }
    hideOptionsPanel();
    setFocus(nullptr);
}

void OptionsHostScreen::onOptionsCancelled()
{
    if (m_panelFadeIn || m_panelFadeOut) return;
    playScreenSound(m_cancelSound);
    if (ZibboUserInterface* module = gameModule()) {
        module->setMusicVolume(static_cast<uint8_t>(m_cancelMusic));
        module->setVoiceVolume(static_cast<uint8_t>(m_cancelVoice));
        module->setSfxVolumeScale(m_cancelEffects);
    }
    hideOptionsPanel();
    setFocus(nullptr);
}

void OptionsHostScreen::onResetVolumes()
{
    playScreenSound(m_confirmSound);
    ZibboUserInterface* module = gameModule();
    if (module == nullptr) return;
    if (ProfileManager* profiles = module->profileManager()) {
        for (int32_t i = 0; i < ProfileManager::k_slotCount; ++i) {
            PlayerProfile* profile = profiles->getProfile(i);
            if (profile == nullptr) continue;
            profile->setMusicVolume(k_resetMusic);
            profile->setEffectVolume(k_resetEffects);
            profile->setVoiceVolume(k_resetVoice);
            profile->setChanged();
        }
    }
    module->setMusicVolume(k_resetMusic);
    module->setVoiceVolume(k_resetVoice);
    module->setSfxVolumeScale(k_resetEffects);
    syncSliders();
}

void OptionsHostScreen::onToggleDisplayMode()
{
    playScreenSound(m_confirmSound);
    FGraph* graph = optionsGraph();
    if (graph == nullptr) return;
    const int32_t mode = graph->getWindowMode();
    if (mode == FGraph::k_modeFixedWindow) {
        graph->setWindowMode(FGraph::k_modeFullScreen);
        setDisplayModeCaption(false);
    } else if (mode == FGraph::k_modeFullScreen) {
        graph->setWindowMode(FGraph::k_modeFixedWindow);
        setDisplayModeCaption(true);
    }
}

void OptionsHostScreen::goToLegalScreen()
{
    playScreenSound(m_confirmSound);
    m_blocked = true;
    if (ZibboUserInterface* module = gameModule()) {
        module->setPendingScreen(k_legalScreen);
        module->setScreen(k_loadingScreen, false);
    }
}

void OptionsHostScreen::setPanelDelegate(const PanelDelegate* delegate)
{
    PanelDelegate::assign(m_panelClosed, delegate);
}
