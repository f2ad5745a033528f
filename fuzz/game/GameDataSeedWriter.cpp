// Writes the seed corpus of the game data harness into the folder given as
// the second argument: the game data, the first world's search data and the
// gameplay animation table that our gamedata tool generated (first argument:
// its output folder), a search data file of that world carried over into
// world 1's section, and damaged variants.

#include "game/core/GameDataAssets.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeSeed(const std::filesystem::path& folder, const std::string& name, const std::string& text)
{
    std::ofstream(folder / name, std::ios::binary) << text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GAME_DATA_FOLDER CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path data(argv[1]);
    const std::filesystem::path folder(argv[2]);
    std::filesystem::create_directories(folder);
    const std::string game = readFile(data / GameDataAssets::k_gameDataFile);
    std::string world = readFile(data / GameDataAssets::searchDataFile(0));
    const std::string anims = readFile(data / GameDataAssets::k_animationTableFile);
    if (game.empty() || world.empty() || anims.empty()) {
        std::fprintf(stderr, "no generated game data in %s\n", argv[1]);
        return 1;
    }
    writeSeed(folder, "gamedata.xml", game);
    writeSeed(folder, "gamedata-truncated.xml", game.substr(0, game.size() / 3));
    writeSeed(folder, "gamedata-type22.xml", replaced(game, "<TaskType_1>0<", "<TaskType_1>22<"));
    writeSeed(folder, "world01.xml", world);
    writeSeed(folder, "world01-truncated.xml", world.substr(0, world.size() / 2));
    // Every list emptied but the first pictures: short picks everywhere.
    writeSeed(
        folder, "world01-sparse.xml",
        "<root><World01><PICTURES count=\"1\"><_0><fileName>World01Picture01</fileName>"
        "<difficultyRating>9</difficultyRating><type>0</type><forKids>1</forKids><forIngame>1</forIngame>"
        "<forParty>1</forParty><panelText/></_0></PICTURES></World01></root>");
    writeSeed(folder, "world01-ratings.xml",
              replaced(world, "<difficultyRating>1<", "<difficultyRating>-7<"));
    // The animation table whole and damaged: cut short, a world missing, a
    // count past the records present, a value beyond the int range, a record
    // without a field.
    writeSeed(folder, "anims.xml", anims);
    writeSeed(folder, "anims-truncated.xml", anims.substr(0, anims.size() / 2));
    writeSeed(folder, "anims-no-world1.xml",
              replaced(replaced(anims, "<World1>", "<Moved1>"), "</World1>", "</Moved1>"));
    writeSeed(folder, "anims-count-beyond.xml", replaced(anims, "<Anims count=\"", "<Anims count=\"9"));
    writeSeed(folder, "anims-count-negative.xml", replaced(anims, "<Anims count=\"", "<Anims count=\"-"));
    writeSeed(folder, "anims-top-beyond-int.xml", replaced(anims, "<Top>", "<Top>4294967296"));
    writeSeed(folder, "anims-no-left.xml",
              replaced(replaced(anims, "<Left>", "<Right>"), "</Left>", "</Right>"));
    return 0;
}
