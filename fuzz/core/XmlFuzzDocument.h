#pragma once

// One document that touches every kind of value, arrays, range-tested
// integers and the catalogue records. The seed writer saves it; the fuzz
// harness loads it from arbitrary bytes, step by step, so that a failed step
// does not hide the ones after it.

#include "core/FItemRecord.h"
#include "core/FMemory.h"
#include "core/FSerializer.h"

#include <cstdint>
#include <functional>
#include <vector>

struct XmlFuzzEntry
{
    unsigned char level = 1;
    short delta = -2;
    FString label{u"entry \u00e9"};

    void serialize(FSerializer& s)
    {
        serializeValue(s, "level", level);
        serializeValue(s, "delta", delta);
        serializeValue(s, "label", label);
    }
};

struct XmlFuzzDocument
{
    bool flag = true;
    std::uint32_t count = 7;
    std::int32_t offset = -3;
    double ratio = 0.25;
    FString name{u"Zo\u00e9"};
    const char* label = "plain <text> & more";
    std::vector<XmlFuzzEntry> entries{XmlFuzzEntry{}, XmlFuzzEntry{200, 300, FString(u"second")}};
    FItemRecord item;
    std::uint32_t masks[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

    XmlFuzzDocument()
    {
        item.palettes.resize(2);
        item.resources.resize(1);
        item.resources[0].file_name = FString(u"kit.zip");
    }

    // The document as separate steps, each one balanced.
    std::vector<std::function<void(FSerializer&)>> steps()
    {
        return {
            [this](FSerializer& s) {
                s.isLoading() ? s.readBoolDefault("flag", flag, false)
                              : s.writeBoolDefault("flag", flag, false);
            },
            [this](FSerializer& s) {
                s.isLoading() ? s.readUInt("count", count) : s.writeUInt("count", count);
            },
            [this](FSerializer& s) {
                s.isLoading() ? s.readIntDefault("offset", offset, 0)
                              : s.writeIntDefault("offset", offset, 0);
            },
            [this](FSerializer& s) {
                s.isLoading() ? s.readDoubleDefault("ratio", ratio, 1.0)
                              : s.writeDoubleDefault("ratio", ratio, 1.0);
            },
            [this](FSerializer& s) { serializeValue(s, "title", name); },
            [this](FSerializer& s) {
                if (s.isLoading()) {
                    char* text = nullptr;
                    s.readCStringDefault("label", text, "none");
                    engineFree(text);
                } else {
                    s.writeCString("label", label);
                }
            },
            [this](FSerializer& s) { serializeContainer(s, "entries", entries); },
            [this](FSerializer& s) {
                s.setFieldMask(FItemRecord::k_maskKey, &masks[0]);
                s.setFieldMask(FPaletteRecord::k_maskKey, &masks[1]);
                s.setFieldMask(FResourceRecord::k_maskKey, &masks[2]);
                item.serialize(s);
            },
        };
    }
};
