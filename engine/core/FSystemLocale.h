#pragma once

#include <cstdint>

// The user's interface language as the system reports it: six values, all -1
// except the interface-language index (0 English, 1 French, 2 Italian,
// 3 German, 4 Spanish) and the language variant (26 for English, else -1).
struct FSystemLocale
{
    static constexpr int16_t k_englishVariant = 26;

    int16_t value0 = -1;
    int16_t language = -1;
    int16_t variant = -1;
    int16_t value3 = -1;
    int16_t value4 = -1;
    int16_t value5 = -1;
};

// Fills `out` from the POSIX locale environment (LC_ALL, LC_MESSAGES, LANG,
// the first that is set and not empty).
void getSystemLocale(FSystemLocale& out);

// The same from one locale name such as "fr_CA.UTF-8".
void localeFromName(const char* name, FSystemLocale& out);
