#pragma once

// A cursor device that records what the game's cursors ask of it, naming each
// cursor after the asset id of its picture and the order it was made in.

#include "core/FMemory.h"
#include "game/core/CursorDevice.h"
#include "graphics/FCursorImage.h"
#include "image/FImage.h"

#include <map>
#include <string>
#include <vector>

class FakeCursorDevice : public CursorDevice
{
public:
    FRefT<FCursorImage> makeCursor(const FRefT<FImage>& image, FPointI hotSpot) override
    {
        FRefT<FCursorImage> cursor = makeRef(engineNew<FCursorImage>(k_memObject, image, hotSpot));
        const auto id = imageIds.find(image.get());
        const std::string name = (id != imageIds.end() ? std::to_string(id->second) : std::string("none")) +
                                 "#" + std::to_string(names.size());
        names[cursor.get()] = name;
        calls.push_back("make " + name);
        return cursor;
    }
    void setDefaultCursor(std::int32_t pointer, const FRefT<FCursorImage>& cursor) override
    {
        calls.push_back("default " + std::to_string(pointer) + " " + nameOf(cursor));
    }
    void setGraphCursor(const FRefT<FCursorImage>& cursor, std::int32_t pointer) override
    {
        calls.push_back("graph " + std::to_string(pointer) + " " + nameOf(cursor));
    }
    void showSystemCursor(bool show) override { calls.push_back(show ? "show" : "hide"); }

    std::string nameOf(const FRefT<FCursorImage>& cursor) const
    {
        const auto found = names.find(cursor.get());
        return found != names.end() ? found->second : "?";
    }
    // The calls since the last take.
    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(calls);
        return out;
    }

    std::map<const FImage*, int> imageIds;
    std::map<const FCursorImage*, std::string> names;
    std::vector<std::string> calls;
};
