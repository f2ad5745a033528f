#pragma once

// What the log commit needs of the service in slot 9 (the remote debug
// channel): every committed line, as ASCII, without its time stamp. The debug
// channel's interface derives from this one.

#include "core/FAppListener.h"

class FLogListener : public FAppListener
{
public:
    using FAppListener::FAppListener;

    virtual void logLine(const char* channel, const char* text) = 0;
};
