#include "game/frontend/NameEntryScreen.h"

#include "core/FKeyCode.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSaveData.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ProfileNameBuffer.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/FrontEndMenus.h"
#include "game/frontend/FrontEndSounds.h"
#include "game/frontend/FrontEndWidgets.h"
#include "ui/FButton.h"
#include "ui/FContainer.h"
#include "ui/FEditBox.h"
#include "ui/FLabel.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const FString& nameEntryPlaceholder()
{
    static const FString placeholder("_______");
    return placeholder;
}

bool isNameCharacter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

const FString* nameEntryTextOf(const FRef& text)
{
    return text.as<FString>();
}

} // namespace

NameEntryScreen::NameEntryScreen() : m_name(nameEntryPlaceholder())
{
    FrontEndMenus::fillBackdropAssets(*this, m_backdropAssets);
}

NameEntryScreen::~NameEntryScreen()
{
    if (m_activated) FrontEndMenus::dropBackdrop(m_backdropView);
}

void NameEntryScreen::setField(const FString& text, int32_t caret)
{
    m_nameField->setText(text);
    m_nameField->setSelection(caret, caret);
}

void NameEntryScreen::onActivate()
{
    FrontEndMenus::takeControllers(this);
    FEditBox& field = *m_nameField;
    field.setText(m_name);
    m_nameTakenLabel->setColor(k_textColour);
    field.setColor(k_textColour);
    m_fieldLabel->setColor(k_textColour);
    field.setVerticalAlignment(3);
    field.setMaxLength(k_slots);
    field.setSelection(0, 0);
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    bool filled = false;
    FString taken;
    if (game != nullptr) {
        GameSaveData& save = game->saveData();
        if (save.returnToProfileScreen()) {
            ProfileManager* profiles = game->profileManager();
            if (const PlayerProfile* profile =
                    profiles != nullptr ? profiles->getProfile(save.editProfileSlot()) : nullptr) {
                taken = profile->name();
                filled = true;
            }
        } else if (const ProfileNameBuffer* pending = save.newProfile()) {
            taken = pending->name;
            filled = true;
        }
    }
    if (filled) {
        if (taken == FString("<>")) taken = FString();
        const int32_t length = static_cast<int32_t>(taken.length());
        std::u16string padded(taken.view());
        if (length < k_slots) padded.append(static_cast<size_t>(k_slots - length), k_freeSlot);
        setField(FString(padded), std::min(length, k_slots));
    }
    m_spareKey->setEnabled(false);
    m_shiftKey->setToggleMode(true);
    showLayer(m_lettersShown);
    applyLetterCase();
    m_backdropView = FrontEndMenus::setUpBackdrop(this, m_backdropPanel, m_topCap, m_bottomCap,
                                                  &m_backdropAssets, nullptr);
    FrontEndMenus::setBackdropBusyHandler(m_backdropView, this);
    if (field.text() == nameEntryPlaceholder()) m_okButton->setEnabled(false);
    FLabel& label = *m_fieldLabel;
    const FPointI measured = label.measureText();
    label.setWidgetSize(measured.x, label.height());
    field.setWidgetPosition(label.rect().right, field.rect().top);
    field.moveWidgetBy(0, static_cast<int32_t>(std::trunc(field.height() * 0.1)));
    m_activated = true;
}

void NameEntryScreen::update(int32_t elapsed)
{
    SystemMessageScreen::update(elapsed);
    if (FrontEndSounds::isGamePaused()) return;
    FWidget* order[] = {m_lettersPanel.get(), m_symbolsPanel.get(), m_nameField.get(), m_fieldLabel.get()};
    for (FWidget* widget : order)
        widget->bringToFront();
    m_nameField->blinkCaret(elapsed);
    for (FWidget* widget : order)
        widget->bringToFront();
}

bool NameEntryScreen::insideField(const FPointI& point)
{
    FEditBox& field = *m_nameField;
    const FPointI at = field.getAbsolutePosition();
    return point.x >= at.x && point.x < at.x + field.width() && point.y >= at.y &&
           point.y < at.y + field.height();
}

void NameEntryScreen::onPointerDown(int32_t pointer, int32_t button, const FPointI& point)
{
    if (insideField(point)) return;
    FScreen::onPointerDown(pointer, button, point);
}

void NameEntryScreen::onPointerMove(int32_t pointer, const FPointI& point)
{
    if (point.x == 400 && point.y == 300) return;
    FScreen::onPointerMove(pointer, point);
}

void NameEntryScreen::onPointerUp(int32_t pointer, int32_t button, const FPointI& point)
{
    if (insideField(point)) return;
    FScreen::onPointerUp(pointer, button, point);
}

void NameEntryScreen::onKeyDown(uint32_t key)
{
    if (key == FKeyCode::k_left || key == FKeyCode::k_right) m_nameField->handleKey(key);
}

void NameEntryScreen::pressKey(char16_t code)
{
    FrontEndMenus::playSound(m_keyClick);
    FEditBox& field = *m_nameField;
    std::u16string slots(field.text().view());
    const int32_t caret = field.caret();
    const int32_t length = static_cast<int32_t>(slots.size());
    if (code == FKeyCode::k_backspace) {
        if (caret > 0 && caret <= length) {
            slots[static_cast<size_t>(caret - 1)] = k_freeSlot;
            setField(FString(slots), caret - 1);
        }
    } else if (isNameCharacter(code) && caret >= 0 && caret < length) {
        const size_t at = static_cast<size_t>(caret);
        if (slots[at] == k_freeSlot) {
            slots[at] = code;
            setField(FString(slots), caret + 1);
        } else if (const size_t free = slots.find(k_freeSlot, at); free != std::u16string::npos) {
            // The characters from the caret up to the free slot move right.
            slots.erase(free, 1);
            slots.insert(at, 1, code);
            setField(FString(slots), caret + 1);
        }
    }
    m_name = field.text();
    setFocus(nullptr);
    m_okButton->setEnabled(field.text() != nameEntryPlaceholder());
    m_nameTakenLabel->setVisible(false);
}

void NameEntryScreen::onLetterBackspace(FLayoutButton&)
{
    pressKey(static_cast<char16_t>(FKeyCode::k_backspace));
}

void NameEntryScreen::onSymbolBackspace(FLayoutButton&)
{
    pressKey(static_cast<char16_t>(FKeyCode::k_backspace));
}

void NameEntryScreen::onShift(FLayoutButton&)
{
    m_upperCase = !m_upperCase;
    applyLetterCase();
}

void NameEntryScreen::showLayer(bool letters)
{
    m_symbolsPanel->setVisible(!letters);
    m_lettersPanel->setVisible(letters);
    if (const FString* caption = nameEntryTextOf(letters ? m_symbolsLayerText : m_lettersLayerText))
        m_layerKey->caption().setText(*caption);
    m_lettersShown = letters;
}

void NameEntryScreen::applyLetterCase()
{
    const FRefT<FButton>* keys[26] = {&m_keyA, &m_keyB, &m_keyC, &m_keyD, &m_keyE, &m_keyF, &m_keyG,
                                      &m_keyH, &m_keyI, &m_keyJ, &m_keyK, &m_keyL, &m_keyM, &m_keyN,
                                      &m_keyO, &m_keyP, &m_keyQ, &m_keyR, &m_keyS, &m_keyT, &m_keyU,
                                      &m_keyV, &m_keyW, &m_keyX, &m_keyY, &m_keyZ};
    const FRef* upper[26] = {&m_upperAText, &m_upperBText, &m_upperCText, &m_upperDText, &m_upperEText,
                             &m_upperFText, &m_upperGText, &m_upperHText, &m_upperIText, &m_upperJText,
                             &m_upperKText, &m_upperLText, &m_upperMText, &m_upperNText, &m_upperOText,
                             &m_upperPText, &m_upperQText, &m_upperRText, &m_upperSText, &m_upperTText,
                             &m_upperUText, &m_upperVText, &m_upperWText, &m_upperXText, &m_upperYText,
                             &m_upperZText};
    const FRef* lower[26] = {&m_lowerAText, &m_lowerBText, &m_lowerCText, &m_lowerDText, &m_lowerEText,
                             &m_lowerFText, &m_lowerGText, &m_lowerHText, &m_lowerIText, &m_lowerJText,
                             &m_lowerKText, &m_lowerLText, &m_lowerMText, &m_lowerNText, &m_lowerOText,
                             &m_lowerPText, &m_lowerQText, &m_lowerRText, &m_lowerSText, &m_lowerTText,
                             &m_lowerUText, &m_lowerVText, &m_lowerWText, &m_lowerXText, &m_lowerYText,
                             &m_lowerZText};
    for (int32_t i = 0; i < 26; ++i) {
        if (const FString* caption = nameEntryTextOf(*(m_upperCase ? upper[i] : lower[i])))
            (*keys[i])->caption().setText(*caption);
    }
}

FString NameEntryScreen::cleanName(const FString& slots)
{
    std::u16string name(slots.view());
    for (;;) {
        const size_t first = name.find(k_freeSlot);
        bool again = false;
        if (first == std::u16string::npos) {
            // Nothing free: the name is as typed.
        } else if (first == 0) {
            name.erase(0, 1);
            again = true;
        } else if (name.find_first_not_of(k_freeSlot, first) == std::u16string::npos) {
            name.erase(first);
        } else {
            name[first] = u' ';
            again = true;
        }
        if (!again) break;
    }
    return FString(name);
}

void NameEntryScreen::onOk(FLayoutButton&)
{
    m_name = cleanName(m_nameField->text());
    if (m_name.length() == 0) return;
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game != nullptr) {
        std::vector<PlayerProfile> profiles;
        game->copyProfiles(profiles);
        for (size_t slot = 0; slot < profiles.size(); ++slot) {
            if (profiles[slot].name() != m_name) continue;
            if (static_cast<int32_t>(slot) != game->saveData().editProfileSlot()) {
                pushMessage(m_nameTakenText, 0, k_nameTakenNotice, true, true);
                m_leaving = false;
                return;
            }
            break;
        }
    }
    if (m_leaving) return;
    m_leaving = true;
    FrontEndMenus::playSound(m_confirmSound);
    storeName();
    FrontEndMenus::leaveTo(k_avatarSelectScreen);
}

void NameEntryScreen::storeName()
{
    ZibboUserInterface* game = ZibboUserInterface::getInstance();
    if (game == nullptr) return;
    if (game->saveData().returnToProfileScreen()) {
        game->setNewProfileName(m_name);
        return;
    }
    // A record from an earlier visit is replaced, not leaked.
    game->beginNewProfile();
    if (ProfileNameBuffer* pending = game->saveData().newProfile()) pending->name = m_name;
}

void NameEntryScreen::onBack(FLayoutButton&)
{
    FrontEndMenus::playSound(m_cancelSound);
    if (m_leaving) return;
    m_leaving = true;
    if (ZibboUserInterface* game = ZibboUserInterface::getInstance()) {
        if (game->saveData().returnToProfileScreen())
            game->saveData().setEditProfileSlot(-1);
        else
            game->cancelNewProfile();
    }
    FrontEndMenus::leaveTo(k_profileScreen);
}

void NameEntryScreen::onBackdropBusy(bool busy)
{
    m_backButton->setVisible(!busy);
    m_okButton->setVisible(!busy);
}
