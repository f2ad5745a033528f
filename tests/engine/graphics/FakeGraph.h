#pragma once

#include "RecordingDevice.h"
#include "core/FString.h"
#include "graphics/FGraphCommon.h"
#include "graphics/FTextureRegistry.h"

#include <string>
#include <vector>

// The graphics module over a recording device and a pretend window.
class FakeGraph : public FGraphCommon
{
public:
    // The device goes before the module's own parts: textures are given
    // back while it still exists.
    ~FakeGraph() override { textures().detachDevice(); }

    void describeFeatures(FString& out) override { out = FString("Recording features"); }
    int32_t getColourBits() override { return 32; }
    int32_t getMaxTextureSize() override { return 4096; }
    bool hasHardwareRasterization() override { return false; }

    RecordingDevice device;
    FPointI display{1024, 768};
    bool failOpen = false;
    int presents = 0;
    std::vector<int32_t> openedModes;
    std::vector<std::string> platformCalls;

protected:
    FRenderDevice* openWindow(FPointI, int32_t mode) override
    {
        openedModes.push_back(mode);
        return failOpen ? nullptr : &device;
    }
    void closeWindow() override { platformCalls.push_back("close"); }
    void applyWindowMode(int32_t mode, FPointI) override
    {
        platformCalls.push_back("mode " + std::to_string(mode));
    }
    void applyWindowSize(FPointI size) override { platformCalls.push_back("size " + std::to_string(size.x)); }
    void raiseWindow(bool minimize) override { platformCalls.push_back(minimize ? "minimize" : "show"); }
    void presentFrame() override { ++presents; }
    FPointI displaySize() override { return display; }
    void applyCursorClip(const FRectI* rect) override { platformCalls.push_back(rect ? "clip" : "unclip"); }
    void applyCursor(FCursorImage* cursor) override { platformCalls.push_back(cursor ? "cursor" : "arrow"); }
    void applySystemCursor(bool show) override
    {
        platformCalls.push_back(show ? "showCursor" : "hideCursor");
    }
};
