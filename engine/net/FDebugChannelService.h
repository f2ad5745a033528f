#pragma once

// The debug channel's interface in service slot 9. Every operation sends one
// short message to the remote viewer (or nothing while unconnected), so
// callers may call it unconditionally. Objects are identified by address.

#include "core/FLogListener.h"

#include <cstdint>

class FDebugChannelService : public FLogListener
{
public:
    using FLogListener::FLogListener;

    // logLine (from FLogListener) sends "MSG_LOG".
    virtual void logType(const char* channel) = 0;
    virtual void ramAllocation(const void* block, uint32_t size) = 0;
    virtual void ramDeallocation(const void* block) = 0;
    virtual void framesPerSecond(int fps) = 0;
    virtual void vramAllocation(int a, int b, int c) = 0;
    virtual void vramDeallocation(int a) = 0;
    // A screen became current: the viewer forgets the widget tree it shows.
    virtual void clearWidgets() = 0;
    // A widget reports itself with the narrow text its description gives.
    virtual void addWidget(const void* parent, const void* widget, const char* description) = 0;
    virtual void reparentWidget(const void* widget, const void* parent) = 0;
    virtual void assetNew(const void* asset) = 0;
    virtual void assetName(const void* asset) = 0;
    virtual void assetType(const void* asset) = 0;
    virtual void assetState(const void* asset, int state) = 0;
    virtual void assetDelete(const void* asset) = 0;
};
