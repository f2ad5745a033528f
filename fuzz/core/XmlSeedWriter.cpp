// Writes the seed corpus of the XML serializer harness into the folder given
// as the only argument: the full document saved by the serializer itself,
// and a few damaged variants of it.

#include "fuzz/core/XmlFuzzDocument.h"

#include "core/FXmlSerializer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string savedDocument()
{
    FRefT<std::ostringstream> file = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    {
        FXmlSerializer serializer(file, FXmlSerializer::ForWrite{});
        XmlFuzzDocument document;
        for (auto& step : document.steps()) {
            step(serializer);
        }
    }
    return file->str();
}

void writeSeed(const std::filesystem::path& folder, const std::string& name, const std::string& text)
{
    std::ofstream(folder / name, std::ios::binary) << text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    const std::string full = savedDocument();
    writeSeed(folder, "full.xml", full);
    writeSeed(folder, "truncated.xml", full.substr(0, full.size() / 2));
    writeSeed(folder, "empty-root.xml", "<root />");
    writeSeed(folder, "bad-count.xml", "<root><entries count=\"x\"><_0 /></entries></root>");
    writeSeed(folder, "short-list.xml",
              "<root><entries count=\"3\"><_0><level>300</level></_0></entries></root>");
    writeSeed(folder, "no-text.xml", "<root><count /><title /><flag><x /></flag></root>");
    writeSeed(folder, "bad-utf8.xml", "<root><title>\xC3(</title><label>\xE0\x80\x80</label></root>");
    std::string deep;
    for (int i = 0; i < 300; ++i) {
        deep += "<root>";
    }
    writeSeed(folder, "deep.xml", deep);
    return 0;
}
