#pragma once

// The sentences that open a failure report, in the user's language, chosen by
// the process-wide language index (0 English, 1 French, 2 Spanish, 3 German,
// 4 Italian; the start-up only ever sets 0 or 1).

enum FMessageKey : int {
    msgIllegalOperation,
    msgSystemError,
    msgFileCorrupted,
    msgFileMissing,
    msgInvalidString,
    msgSoundInit,
    msgGraphicsFrame,
    msgGraphicsInit,
    msgSystemTooOld,
    msgWindowsVersion,
    k_messageKeyCount
};

class FLocalizedMessages
{
public:
    static constexpr int k_languageCount = 5;

    // The text of `key` in `language`; a language out of range reads English.
    static const char16_t* text(FMessageKey key, int language) noexcept;
    // The text in the process-wide language.
    static const char16_t* text(FMessageKey key) noexcept { return text(key, language()); }

    static int language() noexcept;
    static void setLanguage(int language) noexcept;
};
