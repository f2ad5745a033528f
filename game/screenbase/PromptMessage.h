#pragma once

#include "core/FRef.h"

#include <cstdint>

// One queued prompt. Copying it adds a reference to each text; a fresh one
// has empty texts.
struct PromptMessage
{
    // Button layouts of a notice.
    static constexpr int32_t k_noButtons = -1;
    static constexpr int32_t k_confirmOnly = 0;
    static constexpr int32_t k_confirmAndCancel = 1;
    // Types.
    static constexpr int32_t k_notice = 0;
    static constexpr int32_t k_question = 1;

    FRef text;
    FRef confirmLabel;
    FRef cancelLabel;
    int32_t option = k_noButtons;
    int32_t type = k_notice;
    // Chosen by the screen that pushes it; the answer handlers branch on it.
    int32_t kind = 0;
    // A question with this flag fades the backdrop in and out.
    bool fade = false;
    // A confirmed prompt leaves the queue before its handler runs.
    bool popOnConfirm = false;
};
