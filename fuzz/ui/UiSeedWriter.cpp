// Writes the seed corpus of the widget-tree harness with our record writer.
// Usage: ui_seed_writer DIR.
#include "tools/contentwriters/WidgetRecordWriter.h"

#include "fuzz/SeedFolder.h"

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> seeds()
{
    ContainerRecord inner;
    inner.widget = {1, 2, 30, 40, 1, 1};
    inner.scaleXThousandths = 2000;
    inner.depthThousandths = 500;
    inner.children.push_back({2, WidgetType::k_image, writeImageRecord({{0, 0, 8, 8, 0, 1}, 5})});
    inner.children.push_back({3, WidgetType::k_marker, writeWidgetPart({4, 4, 1, 1, 0, 0})});
    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 0, 1};
    root.children.push_back({1, WidgetType::k_container, writeContainerRecord(inner)});
    root.children.push_back({1, WidgetType::k_marker, writeWidgetPart({})});
    const Bytes tree = writeContainerRecord(root);

    std::vector<Bytes> out = {tree, writeContainerRecord({})};
    Bytes cut = tree;
    cut.resize(tree.size() / 2);
    out.push_back(cut);
    Bytes negative = writeContainerRecord({});
    negative[30] = 0x80;
    out.push_back(negative);
    Bytes huge = writeContainerRecord({});
    huge[30] = 0x7F;
    huge[31] = 0xFF;
    out.push_back(huge);
    ContainerRecord unknown;
    unknown.children.push_back({9, 0x12345678, writeWidgetPart({})});
    out.push_back(writeContainerRecord(unknown));
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    return writeSeedFolderMain(argc, argv, &seeds);
}
