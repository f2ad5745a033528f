#pragma once

#include "core/FFatalMessageBox.h"

// The fatal message as an SDL message box when a display is there. The text
// always goes to standard error as well; with ZIBBO_HEADLESS=1 (tests, CI) no
// dialog is ever opened.
class FFatalMessageSdl : public FFatalMessageBox
{
public:
    void show(const FString& caption, const FString& text) override;

    // True when a dialog may be shown: not headless and a display is named.
    static bool dialogAllowed();
};
