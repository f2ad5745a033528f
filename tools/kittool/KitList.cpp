// kittool list KIT: one line per member with its method, sizes, priority
// and name, as the engine reads them.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitSession.h"

#include "io/FZipFileEntry.h"

#include <cstdio>

namespace {

const char* methodName(const FZipFileEntry& member)
{
    static const char* const k_names[] = {"stored", "deflated", "deflate64", "bzip2"};
    const int32_t kind = member.methodKind();
    return kind >= 0 && kind < 4 ? k_names[kind] : "?";
}

} // namespace

int kitList(const KitArgs& args)
{
    if (args.size() != 1) return kitUsage("list");
    KitSession session;
    const FRefT<FFileSystem> kit = session.openKit(args[0]);
    std::printf("%-9s %-9s %10s %10s %8s  %s\n", "method", "sealed", "packed", "size", "priority", "name");
    for (const auto& [key, entry] : kit->entries()) {
        const auto& member = static_cast<const FZipFileEntry&>(*entry.get());
        std::printf("%-9s %-9s %10u %10lld %8d  %s\n", methodName(member),
                    member.encrypted() ? "encrypted" : "-", member.compressedSize(),
                    static_cast<long long>(member.size()), member.priority(), key.toUtf8().c_str());
    }
    std::printf("%zu members\n", kit->entries().size());
    return 0;
}
