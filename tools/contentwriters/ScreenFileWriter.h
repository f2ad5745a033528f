#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Screen files ("NNN/GWScreen") as the engine reads them, and the names of
// the files around them.

// A text record: one string per language, in language order.
struct ScreenText
{
    int16_t key = 0;
    std::string name;
    std::vector<std::array<uint8_t, 4>> properties; // read and ignored by the engine
    std::vector<std::string> strings;
};

// How an asset is loaded and kept (the engine takes the last entry).
struct ScreenLoadEntry
{
    int16_t value = 0;
    uint8_t flags = 0; // 1 load on use, 2 unload when unused, 4 keep source, 8 preload
    uint8_t mode = 0;  // 0 default, 1 never unload, 2 always unload
};

// An asset record: the kind code, the common entry and the kind's own data.
struct ScreenAsset
{
    int16_t kind = 0; // 0 raw data, 1 font, 2 music, 3 image, 4 sample, 6 skin, 7 video
    int16_t id = 0;
    std::string name;
    std::vector<ScreenLoadEntry> loads;
    std::vector<uint8_t> kindData;
};

// What follows the records for an owner screen.
struct ScreenOwnerTail
{
    std::vector<std::array<int32_t, 3>> cameraKeys;
    int32_t valueA = 0;
    int32_t valueB = 0;
    uint32_t ignored1 = 0;
    uint32_t ignored2 = 0;
    std::vector<uint8_t> widgetTree; // a container record (WidgetRecordWriter)
};

struct ScreenFile
{
    uint32_t tag = 0x47575363;
    uint8_t version = 19;
    std::vector<std::variant<ScreenText, ScreenAsset>> records;
    std::optional<ScreenOwnerTail> owner;
};

std::vector<uint8_t> writeScreenFile(const ScreenFile& file);

// "007/GWScreen".
std::string screenFilePath(int folder);
// "007/000042_0.png" for folder 7, id 42 and extension ".png".
std::string assetFileName(int folder, int id, const std::string& extension);

// The "GWTarget" file; `lengthField` replaces the true length when given.
std::vector<uint8_t> writeTarget(const std::string& text, std::optional<uint32_t> lengthField = {});

// Kind data of the kinds that carry some.
std::vector<uint8_t> imageKindData(bool alphaHitTest, bool flagB = false);
std::vector<uint8_t> fontKindData(bool flag);
std::vector<uint8_t> videoKindData(bool loop);

// One button state of a skin: image, font and sound parts by asset id.
struct SkinState
{
    int16_t imageId = 0;
    std::array<uint8_t, 4> imageTintRgba{255, 255, 255, 255};
    int32_t imageValues[2] = {0, 0};
    int16_t fontId = 0;
    std::array<uint8_t, 4> textRgba{0, 0, 0, 255};
    int32_t fontValues[2] = {0, 0};
    int16_t soundId = 0;
    int32_t soundValues[2] = {0, 0};
};

// States normal, hover, pressed, disabled; insets left, top, right, bottom.
struct SkinData
{
    SkinState states[4];
    int16_t insets[4] = {0, 0, 0, 0};
};

std::vector<uint8_t> skinKindData(const SkinData& skin);
