#include "core/FSystemLocale.h"

#include "core/FOperatingSystem.h"

#include <string>

void localeFromName(const char* name, FSystemLocale& out)
{
    out = FSystemLocale();
    std::string language(name ? name : "");
    language = language.substr(0, language.find_first_of("_.@"));
    if (language == "fr") {
        out.language = 1;
    } else if (language == "it") {
        out.language = 2;
    } else if (language == "de") {
        out.language = 3;
    } else if (language == "es") {
        out.language = 4;
    } else {
        out.language = 0;
        // The neutral locales choose no language, so they read as English.
        if (language == "en" || language.empty() || language == "C" || language == "POSIX")
            out.variant = FSystemLocale::k_englishVariant;
    }
}

void getSystemLocale(FSystemLocale& out)
{
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        name = FOperatingSystem::current().environment(variable);
        if (!name.empty()) break;
    }
    localeFromName(name.empty() ? nullptr : name.c_str(), out);
}
