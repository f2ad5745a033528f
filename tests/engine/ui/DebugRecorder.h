#pragma once

// The remote debug channel as the tests see it: what the widgets report and
// how often the viewer was told to forget its tree.

#include "net/FDebugChannelService.h"

#include <string>
#include <vector>

class DebugRecorder : public FDebugChannelService
{
public:
    using FDebugChannelService::FDebugChannelService;
    void logLine(const char*, const char*) override {}
    void logType(const char*) override {}
    void ramAllocation(const void*, uint32_t) override {}
    void ramDeallocation(const void*) override {}
    void framesPerSecond(int) override {}
    void vramAllocation(int, int, int) override {}
    void vramDeallocation(int) override {}
    void clearWidgets() override { ++clears; }
    void addWidget(const void* parent, const void* widget, const char* description) override
    {
        added.push_back({parent, widget, description});
    }
    void reparentWidget(const void*, const void*) override {}
    void assetNew(const void*) override {}
    void assetName(const void*) override {}
    void assetType(const void*) override {}
    void assetState(const void*, int) override {}
    void assetDelete(const void*) override {}

    struct Added
    {
        const void* parent;
        const void* widget;
        std::string description;
        bool operator==(const Added&) const = default;
    };
    std::vector<Added> added;
    int clears = 0;
};
