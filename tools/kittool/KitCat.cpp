// kittool cat KIT MEMBER: the member's bytes to standard output. MEMBER is
// looked up like the engine does (without regard to case, '\' or '/'), and
// must name exactly one member.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitSession.h"

#include "io/FFile.h"
#include "io/FNativePath.h"

#include <cstdio>
#include <stdexcept>

int kitCat(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("cat");
    KitSession session;
    const FRefT<FFileSystem> kit = session.openKit(args[0]);
    FString name;
    if (!FNativePath::toEngine(args[1], name))
        throw std::runtime_error("not a usable member name: " + args[1]);
    const FRefT<FInStream> member = FFile::open(name, *kit.get());
    char block[65536];
    std::streamsize got;
    while ((got = member->buffer()->sgetn(block, sizeof block)) > 0) {
        if (std::fwrite(block, 1, static_cast<size_t>(got), stdout) != static_cast<size_t>(got))
            throw std::runtime_error("cannot write to standard output");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
