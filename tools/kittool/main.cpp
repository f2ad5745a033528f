// kittool: looks into and makes the engine's content kits.
// Exit codes: 0 done, 1 a failure (its text on standard error), 2 wrong usage.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitDecodeVideo.h"

#include "core/FDebug.h"
#include "platform/FOperatingSystemLinux.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

// One line per subcommand.
const KitCommand k_commands[] = {
    {"list", "KIT", "members with method, sizes and priority", kitList},
    {"cat", "KIT MEMBER", "member bytes to standard output", kitCat},
    {"pack", "OUT.zip DIR", "pack a folder into a kit", kitPack},
    {"decode", "IN OUT | VIDEO OUT.png [--frame N] | VIDEO --info",
     "decode a .png, .jpg, .j32 or .pvr image, or frame N of a .gwvideo or .theora video, to a plain PNG; a "
     ".gwsample or .vorbis sound to a 16-bit WAV",
     kitDecodeMedia},
    {"screen", "KIT FOLDER [--json]", "a screen file's texts, assets and owner tail", kitScreen},
    {"build", "CONTENT_DIR OUT_DIR [GAME_DATA_DIR] [--preview] [--cache DIR]",
     "make the main kit (Zibbo.zip) from a content folder and the generated game data; --preview also writes "
     "preview pictures of every folder into OUT_DIR/preview; made media are kept in DIR (default "
     "OUT_DIR/recipe-cache)",
     kitBuild},
    {"layouts", "MANIFEST_DIR OUT_DIR", "write the layout classes of the screen manifests", kitLayouts},
    {"screenfile", "MANIFEST OUT_DIR", "write a manifest's screen file and placeholder asset files",
     kitScreenFile},
    {"manifests", "MANIFEST_DIR", "check every screen manifest against the screen file it gives",
     kitManifests},
    {"worlds", "OUT_DIR", "write the twelve world scenes' manifests from the worlds' content table",
     kitWorlds},
    {"worldlayouts", "OUT_DIR",
     "write the twelve world scenes' layout classes from the worlds' content table", kitWorldLayouts},
    {"validate", "KIT CONTENT_DIR",
     "check a built kit against its manifests: screen files, every asset's media, BG grids, bound ids",
     kitValidate},
    {"recipe", "RECIPE.lua OUT_FILE [--cache DIR]", "make one asset's demo media from its recipe", kitRecipe},
};

void printCommands()
{
    std::fprintf(stderr, "usage: kittool COMMAND ARGS...\n");
    for (const KitCommand& c : k_commands)
        std::fprintf(stderr, "  kittool %s %s\n      %s\n", c.name, c.usage, c.summary);
}

} // namespace

int kitUsage(const char* name)
{
    for (const KitCommand& c : k_commands)
        if (std::strcmp(c.name, name) == 0) std::fprintf(stderr, "usage: kittool %s %s\n", c.name, c.usage);
    return 2;
}

int main(int argc, char** argv)
{
    FOperatingSystemLinux::install();
    if (argc < 2) {
        printCommands();
        return 2;
    }
    for (const KitCommand& c : k_commands) {
        if (std::strcmp(c.name, argv[1]) != 0) continue;
        const KitArgs args(argv + 2, argv + argc);
        try {
            const int code = c.run(args);
            // Standard output may be a full disk: say so, as cat does.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                std::fprintf(stderr, "kittool %s: write error: %s\n", c.name, std::strerror(errno));
                return 1;
            }
            return code;
        } catch (const FDebug::VellumcoreException&) {
            return 1; // its text is on standard error already
        } catch (const FDebug::TreatedException&) {
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kittool %s: %s\n", c.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "kittool: unknown command '%s'\n", argv[1]);
    printCommands();
    return 2;
}
