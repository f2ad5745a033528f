// Writes the seed corpus of the saved-file harness into the folder given as
// the only argument: profiles and settings as the game saves them, and
// damaged variants. The first byte of a seed picks the file (see the harness).

#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "io/FMemoryOutStreambuf.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string savedProfile(PlayerProfile& profile)
{
    FMemoryOutStreambuf* buffer = engineNew<FMemoryOutStreambuf>(k_memObject, 1 << 20);
    const FRefT<FOutStream> stream = FOutStream::make(buffer);
    profile.save(stream);
    return buffer->bytes();
}

void writeSeed(const std::filesystem::path& folder, const std::string& name, char kind,
               const std::string& text)
{
    std::ofstream(folder / name, std::ios::binary) << kind << text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);

    PlayerProfile fresh(FString("<>"));
    const std::string freshText = savedProfile(fresh);
    PlayerProfile played(FString("Ann"));
    played.unlockWorld(1);
    played.unlockQuest(5, 1);
    played.setQuestResult(5, 4);
    played.setAvatar(3);
    played.setSeenFlag(0);
    const std::string playedText = savedProfile(played);

    const char profile = 0;
    const char settings = 1;
    writeSeed(folder, "profile-fresh", profile, freshText);
    writeSeed(folder, "profile-played", profile, playedText);
    writeSeed(folder, "profile-truncated", profile, playedText.substr(0, playedText.size() / 2));
    writeSeed(folder, "profile-no-avatar", profile,
              playedText.substr(0, playedText.find("<avatar>")) + "</root>");
    writeSeed(folder, "profile-wide-avatar", profile,
              playedText.substr(0, playedText.find("<avatar>")) + "<avatar>70000</avatar></root>");
    writeSeed(folder, "settings", settings,
              "<root><lastProfile>Ann</lastProfile><fullScreen>true</fullScreen></root>");
    writeSeed(folder, "settings-no-flag", settings, "<root><lastProfile>Ann</lastProfile></root>");
    writeSeed(folder, "settings-not-xml", settings, "lastProfile=Ann");
    return 0;
}
