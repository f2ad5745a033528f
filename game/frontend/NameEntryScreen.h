#pragma once

#include "ScreenLayout20.h"
#include "core/FString.h"
#include "game/widgets/ParticleViewAssets.h"

#include <cstdint>

class ParticleEmitterView;

// The name of a profile on an on-screen keyboard (kind 12), for a new
// profile or for the one being edited. The field always holds seven slots, a
// free slot shown as "_"; only letters and digits are typed, and of the
// physical keys only the arrows reach the field. OK cleans the slots into
// the name (free slots at the ends go, each inner one becomes a space),
// refuses a name another profile has and goes on to the avatar choice; back
// returns to the profile list. Both leave through the backdrop. UI thread
// only.
class NameEntryScreen : public ScreenLayout20
{
public:
    static constexpr int32_t k_slots = 7;
    static constexpr int32_t k_nameTakenNotice = 17;
    static constexpr uint32_t k_textColour = 0xFFC08000u;
    static constexpr char16_t k_freeSlot = u'_';

    NameEntryScreen();
    ~NameEntryScreen() override;

    void update(int32_t elapsed) override;
    void onActivate() override;
    void onPointerDown(int32_t pointer, int32_t button, const FPointI& point) override;
    void onPointerMove(int32_t pointer, const FPointI& point) override;
    void onPointerUp(int32_t pointer, int32_t button, const FPointI& point) override;
    void onKeyDown(uint32_t key) override;

    // The key step: letters and digits fill a free slot at or after the
    // caret, backspace frees the slot before it, anything else types
    // nothing; every key clicks.
    void pressKey(char16_t code);
    void showLayer(bool letters);
    void applyLetterCase();
    // The stored name of a field's slots.
    static FString cleanName(const FString& slots);

    // The handlers of the keyboard.
    void onKeyA(FLayoutButton&) override { pressLetter(u'A'); }
    void onKeyB(FLayoutButton&) override { pressLetter(u'B'); }
    void onKeyC(FLayoutButton&) override { pressLetter(u'C'); }
    void onKeyD(FLayoutButton&) override { pressLetter(u'D'); }
    void onKeyE(FLayoutButton&) override { pressLetter(u'E'); }
    void onKeyF(FLayoutButton&) override { pressLetter(u'F'); }
    void onKeyG(FLayoutButton&) override { pressLetter(u'G'); }
    void onKeyH(FLayoutButton&) override { pressLetter(u'H'); }
    void onKeyI(FLayoutButton&) override { pressLetter(u'I'); }
    void onKeyQ(FLayoutButton&) override { pressLetter(u'Q'); }
    void onKeyY(FLayoutButton&) override { pressLetter(u'Y'); }
    void onKeyJ(FLayoutButton&) override { pressLetter(u'J'); }
    void onKeyK(FLayoutButton&) override { pressLetter(u'K'); }
    void onKeyL(FLayoutButton&) override { pressLetter(u'L'); }
    void onKeyM(FLayoutButton&) override { pressLetter(u'M'); }
    void onKeyN(FLayoutButton&) override { pressLetter(u'N'); }
    void onKeyO(FLayoutButton&) override { pressLetter(u'O'); }
    void onKeyP(FLayoutButton&) override { pressLetter(u'P'); }
    void onKeyR(FLayoutButton&) override { pressLetter(u'R'); }
    void onKeyS(FLayoutButton&) override { pressLetter(u'S'); }
    void onKeyT(FLayoutButton&) override { pressLetter(u'T'); }
    void onKeyU(FLayoutButton&) override { pressLetter(u'U'); }
    void onKeyV(FLayoutButton&) override { pressLetter(u'V'); }
    void onKeyW(FLayoutButton&) override { pressLetter(u'W'); }
    void onKeyX(FLayoutButton&) override { pressLetter(u'X'); }
    void onKeyZ(FLayoutButton&) override { pressLetter(u'Z'); }
    void onLetterSpace(FLayoutButton&) override { pressKey(u' '); }
    void onLetterBackspace(FLayoutButton&) override;
    void onShift(FLayoutButton&) override;
    void onSwitchLayer(FLayoutButton&) override { showLayer(!m_lettersShown); }
    void onKey1(FLayoutButton&) override { pressKey(u'1'); }
    void onKey2(FLayoutButton&) override { pressKey(u'2'); }
    void onKey3(FLayoutButton&) override { pressKey(u'3'); }
    void onKey4(FLayoutButton&) override { pressKey(u'4'); }
    void onKey5(FLayoutButton&) override { pressKey(u'5'); }
    void onKey6(FLayoutButton&) override { pressKey(u'6'); }
    void onKey7(FLayoutButton&) override { pressKey(u'7'); }
    void onKey8(FLayoutButton&) override { pressKey(u'8'); }
    void onKey9(FLayoutButton&) override { pressKey(u'9'); }
    void onKey0(FLayoutButton&) override { pressKey(u'0'); }
    void onSymbolSpace(FLayoutButton&) override { pressKey(u' '); }
    void onSymbolBackspace(FLayoutButton&) override;
    void onKeyPeriod(FLayoutButton&) override { pressKey(u'.'); }
    void onKeyComma(FLayoutButton&) override { pressKey(u','); }
    void onKeyExclamation(FLayoutButton&) override { pressKey(u'!'); }
    void onKeyQuestion(FLayoutButton&) override { pressKey(u'?'); }
    void onKeyOpenParen(FLayoutButton&) override { pressKey(u'('); }
    void onKeyCloseParen(FLayoutButton&) override { pressKey(u')'); }
    void onKeyColon(FLayoutButton&) override { pressKey(u':'); }
    void onKeySemicolon(FLayoutButton&) override { pressKey(u';'); }
    void onKeyAt(FLayoutButton&) override { pressKey(u'@'); }
    void onKeyApostrophe(FLayoutButton&) override { pressKey(u'\''); }
    void onKeySlash(FLayoutButton&) override { pressKey(u'/'); }
    void onKeyAsterisk(FLayoutButton&) override { pressKey(u'*'); }
    void onKeyAmpersand(FLayoutButton&) override { pressKey(u'&'); }
    void onKeyHash(FLayoutButton&) override { pressKey(u'#'); }
    void onKeyHyphen(FLayoutButton&) override { pressKey(u'-'); }
    void onBack(FLayoutButton&) override;
    void onOk(FLayoutButton&) override;
    void onBackdropBusy(bool busy);

    const FString& name() const { return m_name; }
    bool isUpperCase() const { return m_upperCase; }
    bool areLettersShown() const { return m_lettersShown; }
    bool isLeaving() const { return m_leaving; }

private:
    void pressLetter(char16_t upper)
    {
        pressKey(m_upperCase ? upper : static_cast<char16_t>(upper - u'A' + u'a'));
    }
    bool insideField(const FPointI& point);
    void storeName();
    // The field's text with its caret at `caret`.
    void setField(const FString& text, int32_t caret);

    FString m_name;
    ParticleViewAssets m_backdropAssets;
    ParticleEmitterView* m_backdropView = nullptr;
    bool m_activated = false;
    bool m_upperCase = true;
    bool m_lettersShown = true;
    bool m_leaving = false;
};
