#pragma once

#include "core/FString.h"

#include <cstdint>

class FInStream;
struct FSystemLocale;

// The naming rules of asset kits and the target file: the language suffix,
// the name patterns of the main, update and language kits, and the priority
// an update kit's extension gives its files.
struct FAssetKits
{
    // The main kit's files win over the folders; update kits win over it.
    static constexpr int32_t k_mainPriority = 6;
    static constexpr int32_t k_updatePriority = 7;
    // A target text longer than this cannot be stored.
    static constexpr uint32_t k_maximumTarget = 511;

    // "_" and the language index, then "_" and the variant, each when not -1
    // (English: "_0_26", German: "_3").
    static FString languageSuffix(const FSystemLocale& locale);
    static FString mainPattern(const FString& suffix);
    static FString updatePattern(const FString& suffix);
    static FString languagePattern(const FString& suffix);

    // ".uXY" gives 7 + 36 x d1 + d2, where a digit counts its value and any
    // other character its distance from 'a'; other extensions give -1.
    static int32_t priorityOfExtension(const FString& extension);

    // Reads a "GWTarget" file and answers its text. A length above 511 is
    // refused with a failure report.
    static FString readTarget(FInStream& reader);
};
