#pragma once

#include <string>

// The per-user runtime folder that XDG_RUNTIME_DIR names (sockets, locks).
// Without a usable one, the libraries under SDL complain on standard error in
// words of their own; the platform layer sets a private fallback folder
// instead and says so once, in the engine's words.
class FRuntimeFolder
{
public:
    // Keeps a usable XDG_RUNTIME_DIR (a folder of this user that only this
    // user may enter); otherwise makes or reuses "zibbo-runtime-<uid>" below
    // the temporary folder with those rights and points the variable at it.
    // Returns what to report: empty when the variable was fine or no
    // fallback could be made safely (then the variable is left as it was).
    static std::string prepare();

    // prepare, once per process.
    static void prepareOnce();
    // What prepareOnce had to report, handed out once.
    static std::string takeReport();

    // Whether `path` is a folder (not a link) owned by this user that no one
    // else may enter.
    static bool isUsable(const std::string& path);
};
