// Writes the seed corpus of one asset harness with our content writers.
// Usage: asset_seed_writer KIND DIR, KIND one of screen, font.
#include "tools/contentwriters/FontFileWriter.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "tools/fontwriter/FontRenderer.h"
#include "tools/imagewriters/PngWriter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void spill(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

ScreenAsset asset(int16_t kind, int16_t id, Bytes kindData)
{
    ScreenAsset a;
    a.kind = kind;
    a.id = id;
    a.name = "asset";
    a.loads = {{0, 1, 0}};
    a.kindData = std::move(kindData);
    return a;
}

std::vector<Bytes> screenSeeds()
{
    ScreenFile file;
    ScreenText text;
    text.key = 3;
    text.name = "title";
    text.properties = {{0, 1, 2, 3}};
    text.strings = {"One", "Un", "Eins"};
    file.records.push_back(text);
    file.records.push_back(asset(0, 1, {}));
    file.records.push_back(asset(1, 2, fontKindData(true)));
    file.records.push_back(asset(3, 4, imageKindData(true)));
    SkinData skin;
    skin.states[0].imageId = 4;
    skin.states[2].fontId = 2;
    skin.insets[0] = 3;
    file.records.push_back(asset(6, 5, skinKindData(skin)));
    std::vector<Bytes> seeds{writeScreenFile(file)};

    ContainerRecord tree;
    tree.children.push_back({10, WidgetType::k_image, writeImageRecord({{0, 0, 8, 8, 0, 1}, 4})});
    tree.children.push_back({11, WidgetType::k_button, writeButtonRecord({})});
    tree.children.push_back({12, WidgetType::k_editBox, writeEditBoxRecord({})});
    ScreenOwnerTail tail;
    tail.cameraKeys = {{0, 1, 2}};
    tail.widgetTree = writeContainerRecord(tree);
    file.owner = tail;
    seeds.push_back(writeScreenFile(file));

    // A skin that names itself among its parts, and an owner tail cut short:
    // the skin held its own handle, so the failed read leaked every asset.
    ScreenFile selfLinked;
    selfLinked.records.push_back(asset(3, 4, imageKindData(true)));
    SkinData loop;
    loop.states[0].imageId = 5;
    loop.states[1].imageId = 4;
    selfLinked.records.push_back(asset(6, 5, skinKindData(loop)));
    Bytes cut = writeScreenFile(selfLinked);
    cut.insert(cut.end(), {0x00, 0x05, 0x00});
    seeds.push_back(cut);
    return seeds;
}

std::vector<Bytes> fontSeeds()
{
    FontFileData font;
    font.sheetWidth = 8;
    font.sheetHeight = 8;
    font.sheetPng = writePng(PngPicture::rgba(8, 8, Bytes(8 * 8 * 4, 255)));
    font.glyphs.push_back({u'a', 1, 1, 3, 4, 4, 0, -4});
    font.kerning = {{0x00610061u, -1}};
    std::vector<Bytes> seeds{writeFontFile(font)};
    seeds.push_back(
        writeFontFile(renderFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 10, u" AVa")));
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: asset_seed_writer screen|font DIR\n");
        return 2;
    }
    std::vector<Bytes> seeds;
    if (std::strcmp(argv[1], "screen") == 0)
        seeds = screenSeeds();
    else if (std::strcmp(argv[1], "font") == 0)
        seeds = fontSeeds();
    else
        return 2;
    std::filesystem::create_directories(argv[2]);
    for (std::size_t i = 0; i < seeds.size(); ++i)
        spill(std::filesystem::path(argv[2]) / ("seed" + std::to_string(i)), seeds[i]);
    return 0;
}
