// Writes the seed corpus of the game-widget record harness with our record
// writer. Usage: game_widget_seed_writer DIR.
#include "tools/contentwriters/WidgetRecordWriter.h"

#include "fuzz/SeedFolder.h"

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> seeds()
{
    // A menu button as the screens lay it out: a frame holding the clip
    // sprite and the caption.
    ContainerRecord frame;
    frame.widget = {0, 0, 200, 100, 0, 1};
    frame.children.push_back({11, WidgetType::k_videoSprite, writeImageRecord({{0, 0, 120, 80, 0, 1}, 0})});
    frame.children.push_back({12, WidgetType::k_label, writeLabelRecord({{0, 0, 200, 30, 0, 1}})});
    ContainerRecord button;
    button.widget = {100, 100, 200, 100, 0, 1};
    button.children.push_back({10, WidgetType::k_container, writeContainerRecord(frame)});

    ContainerRecord slider;
    slider.widget = {100, 300, 200, 20, 0, 1};
    ContainerRecord box;
    box.widget = {0, 0, 400, 300, 0, 0};
    ContainerRecord boxFrame;
    boxFrame.widget = {100, 100, 90, 20, 0, 1};
    boxFrame.children.push_back({31, WidgetType::k_image, writeImageRecord({{0, 0, 90, 140, 0, 1}, 0})});
    box.children.push_back({30, WidgetType::k_container, writeContainerRecord(boxFrame)});

    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 0, 1};
    root.children.push_back({1, WidgetType::k_animatedMenuButton, writeContainerRecord(button)});
    root.children.push_back({2, WidgetType::k_stepSlider, writeContainerRecord(slider)});
    root.children.push_back({3, WidgetType::k_autoGrowTextBox, writeContainerRecord(box)});
    root.children.push_back({4, WidgetType::k_videoSprite, writeImageRecord({{5, 5, 64, 64, 0, 1}, 7})});
    root.children.push_back(
        {5, WidgetType::k_characterVideoSprite, writeImageRecord({{9, 9, 90, 200, 0, 1}, 0})});
    root.children.push_back({6, WidgetType::k_invisibleButton, writeButtonRecord({{1, 1, 50, 20, 0, 1}})});
    const Bytes tree = writeContainerRecord(root);

    std::vector<Bytes> out = {tree};
    for (std::size_t cut : {tree.size() / 3, tree.size() / 2, tree.size() - 3}) {
        Bytes shorter = tree;
        shorter.resize(cut);
        out.push_back(shorter);
    }
    // A text box without its frame child, under an id that repeats, so the
    // harness updates and presses the one box three times: it faulted on its
    // first growing update.
    ContainerRecord bare;
    bare.widget = {0, 0, 400, 300, 0, 1};
    ContainerRecord repeated;
    repeated.widget = root.widget;
    for (int i = 0; i < 3; ++i)
        repeated.children.push_back({3, WidgetType::k_autoGrowTextBox, writeContainerRecord(bare)});
    out.push_back(writeContainerRecord(repeated));
    // Each kind alone, so that mutations of one record start small.
    for (const ContainerChild& child : root.children) {
        ContainerRecord single;
        single.widget = root.widget;
        single.children.push_back(child);
        out.push_back(writeContainerRecord(single));
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    return writeSeedFolderMain(argc, argv, &seeds);
}
