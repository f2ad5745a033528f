#pragma once

// kittool's subcommands. Each lives in a source file of its own and is listed
// once in the table of main.cpp.
//
// A command gets the arguments that follow its name. It answers the exit code:
// 0 done, 2 wrong usage (after printing its usage line). Failure reports and
// other errors are thrown; main turns them into exit code 1 with their text
// on standard error.

#include <cstdint>
#include <string>
#include <vector>

using KitArgs = std::vector<std::string>;

struct KitCommand
{
    const char* name;
    const char* usage; // the arguments, e.g. "KIT MEMBER"
    const char* summary;
    int (*run)(const KitArgs& args);
};

int kitList(const KitArgs& args);
int kitCat(const KitArgs& args);
int kitPack(const KitArgs& args);
int kitDecode(const KitArgs& args);
// The sound half of decode: a ".vorbis" file when `vorbis`, else a ".gwsample".
int kitDecodeSound(const KitArgs& args, bool vorbis);
// Loads a sound file's bytes into `sample` through the engine's loader;
// throws when it does not decode.
class FAssetLoader;
class FSample;
void kitLoadSample(const std::vector<uint8_t>& bytes, FAssetLoader& loader, FSample& sample);
// Loads an image file's bytes through the engine's loader for the path's
// extension (".png", ".jpg", ".j32", ".pvr"); false for any other extension.
class FImage;
bool kitLoadImage(const std::string& path, const std::vector<uint8_t>& bytes, FImage& image);
int kitValidate(const KitArgs& args);
int kitScreen(const KitArgs& args);
int kitBuild(const KitArgs& args);
int kitRecipe(const KitArgs& args);
int kitWorlds(const KitArgs& args);
int kitWorldLayouts(const KitArgs& args);
int kitLayouts(const KitArgs& args);
int kitScreenFile(const KitArgs& args);
int kitManifests(const KitArgs& args);

// A new, empty asset of a screen-file kind code as kittool reads screen
// files: the engine's kinds, and sounds and music that decode nothing.
class FRef;
FRef kitScreenObject(int16_t kind);

// The whole file at PATH; throws "cannot open PATH" or "cannot read PATH".
std::vector<uint8_t> kitReadFile(const std::string& path);
// Writes the whole file at PATH (making its folder); throws "cannot write PATH".
void kitWriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Prints "usage: kittool <name> <usage>" for the named command; answers 2.
int kitUsage(const char* name);
