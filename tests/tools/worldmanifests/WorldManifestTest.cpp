#include "tools/worldmanifests/WorldManifest.h"

#include "game/worldcontent/WorldContent.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {
std::string checkedIn(const std::string& name)
{
    std::ifstream in(std::string(ZIBBO_CONTENT_DIR) + "/worlds/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every "id = N" of a manifest text.
std::vector<int> idsOf(const std::string& text)
{
    std::vector<int> ids;
    for (std::size_t at = text.find("id = "); at != std::string::npos; at = text.find("id = ", at + 1))
        ids.push_back(std::stoi(text.substr(at + 5)));
    return ids;
}
} // namespace

TEST(WorldManifestTest, CheckedInManifestsAreWhatTheContentTableGives)
{
    for (int32_t index = 0; index < k_worldCount; ++index) {
        const std::string name = worldManifestName(index);
        EXPECT_EQ(checkedIn(name), worldManifest(index))
            << "content/worlds/" << name << " is out of date: run `kittool worlds content/worlds`";
    }
}

TEST(WorldManifestTest, IdsNeverRepeatAcrossWorldsAndStayClearOfTheScreensFolders)
{
    std::set<int> seen;
    for (int32_t index = 0; index < k_worldCount; ++index) {
        for (int id : idsOf(worldManifest(index))) {
            EXPECT_TRUE(seen.insert(id).second) << "id " << id << " of world index " << index;
            EXPECT_GE(id, k_worldIdBase + index * k_worldIdStride);
            EXPECT_LT(id, k_worldIdBase + (index + 1) * k_worldIdStride);
            EXPECT_LE(id, 0xFFFF);
        }
    }
    EXPECT_EQ(worldManifestName(0), "036.lua");
    EXPECT_EQ(worldManifestName(9), "033.lua");
}
