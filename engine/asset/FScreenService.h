#pragma once

#include "core/FAppListener.h"

#include <cstdint>

class FScreenOwner;
class FScreenRegistry;

// The screen module's interface in its application service slot.
class FScreenService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    virtual FScreenRegistry& registry() = 0;
    // Binds folder's screen file: the first binding creates its assets and
    // texts, later ones only count and refresh the texts. owner: the screen
    // whose widget tree the file holds, or null. hint: expected number of
    // ids. language: the string to keep, -1 for each in turn. reload: only
    // refresh the texts (a language change).
    virtual void readScreenFile(FScreenOwner* owner, int32_t folder, int32_t hint, int32_t language,
                                bool reload) = 0;
    // Drops one use of the folder; the last one removes its ids.
    virtual void unbind(int32_t folder) = 0;
};
