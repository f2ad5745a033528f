#include "game/core/PlayerProfile.h"

#include "core/FLogStream.h"
#include "core/FSerializer.h"
#include "core/FXmlSerializer.h"
#include "game/core/SaveFileCheck.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

const char* const k_flagKeys[PlayerProfile::k_flagCount] = {
    "hasSeenNomblersTutorial", "hasReopenedWorld", "hasReceivedGift",       "hasSeenSB1Zibbo",
    "hasSeenSB2Zibbo",         "hasSeenSB4Zibbo",  "hasSeenSB9Vessa",       "hasSeenSB11Tuff",
    "hasSeenSB12Zibbo",        "hasSeenEndGame",   "hasSeenPerfectEndGame", "hasSeenWorld2Tutorial",
};

// The story breaks that have a flag of their own.
struct StoryBreakFlag
{
    int32_t storyBreak;
    PlayerProfile::Flag flag;
};
const StoryBreakFlag k_storyBreakFlags[] = {
    {0, PlayerProfile::k_seenSB1Zibbo},  {1, PlayerProfile::k_seenSB2Zibbo},
    {3, PlayerProfile::k_seenSB4Zibbo},  {11, PlayerProfile::k_seenSB12Zibbo},
    {20, PlayerProfile::k_seenSB9Vessa}, {34, PlayerProfile::k_seenSB11Tuff},
};

const StoryBreakFlag* findStoryBreak(int32_t storyBreak)
{
    for (const StoryBreakFlag& entry : k_storyBreakFlags)
        if (entry.storyBreak == storyBreak) return &entry;
    return nullptr;
}

void serializeBool(FSerializer& serializer, const char* key, bool& value)
{
    if (!serializer.isLoading()) {
        serializer.writeBool(key, value);
        return;
    }
    SaveFileCheck::expectValue(serializer, key);
    serializer.readBool(key, value);
}

void serializeInt(FSerializer& serializer, const char* key, int32_t& value)
{
    if (!serializer.isLoading()) {
        serializer.writeInt(key, value);
        return;
    }
    SaveFileCheck::expectValue(serializer, key);
    serializer.readInt(key, value);
    SaveFileCheck::expectValid(serializer, key);
}

// Enters the list `key`; loading answers the stored count, which must be
// `expected` (the lists are positional: anything else is not our file).
int32_t beginList(FSerializer& serializer, const char* key, int32_t count, int32_t expected)
{
    if (serializer.isLoading()) SaveFileCheck::expectSection(serializer, key);
    serializer.beginArray(key, count);
    if (serializer.isLoading() && count != expected) {
        serializer.endArray(key);
        throw SaveFileCheck::Malformed(std::string("count of ") + key);
    }
    return count;
}

std::string itemKey(int32_t index)
{
    return "_" + std::to_string(index);
}

} // namespace

const char* PlayerProfile::flagKey(Flag flag)
{
    return k_flagKeys[flag];
}

PlayerProfile::PlayerProfile(const FString& name) : m_name(name)
{
    reset();
}

void PlayerProfile::reset()
{
    m_worlds.assign(k_worldCount, 0);
    m_worlds[0] = 1;
    m_newWorlds.push_back(0);
    m_changed = true;
    m_quests.clear();
    for (int32_t i = 0; i < k_questCount; ++i)
        m_quests.push_back(QuestProgress{i, -1, QuestProgress::k_locked});
    unlockQuest(0, 0);
    m_musicVolume = 24;
    m_effectVolume = 6;
    m_voiceVolume = 44;
    m_avatar = 0;
    std::fill(std::begin(m_flags), std::end(m_flags), false);
    ZIBBO_LOG(k_logDefault, false) << "Profile resetted: " << m_name;
}

template <class T> void PlayerProfile::setField(T& field, T value)
{
    if (field == value) return;
    field = value;
    m_changed = true;
}

void PlayerProfile::setName(const FString& name)
{
    setField(m_name, name);
}

void PlayerProfile::unlockWorld(int32_t world)
{
    m_worlds.at(static_cast<size_t>(world)) = 1;
    m_newWorlds.push_back(world);
    m_changed = true;
}

bool PlayerProfile::isWorldNew(int32_t world) const
{
    return std::find(m_newWorlds.begin(), m_newWorlds.end(), world) != m_newWorlds.end();
}

bool PlayerProfile::unlockQuest(int32_t questId, int32_t world)
{
    QuestProgress& entry = questAt(questId);
    if (entry.state != QuestProgress::k_locked) {
        ZIBBO_LOG(k_logDefault, false) << "\t... " << questId << " already unlocked.";
        return false;
    }
    entry.world = world;
    entry.state = QuestProgress::k_open;
    m_newQuests.push_back(questId);
    m_changed = true;
    return true;
}

bool PlayerProfile::isQuestNew(int32_t questId) const
{
    return std::find(m_newQuests.begin(), m_newQuests.end(), questId) != m_newQuests.end();
}

const QuestProgress* PlayerProfile::findQuest(int32_t questId) const
{
    for (const QuestProgress& entry : m_quests)
        if (entry.questId == questId) return &entry;
    throw std::out_of_range("no quest " + std::to_string(questId) + " in the profile");
}

bool PlayerProfile::isQuestCompleted(int32_t questId) const
{
    return findQuest(questId)->state > QuestProgress::k_open;
}

int32_t PlayerProfile::getQuestState(int32_t questId) const
{
    return findQuest(questId)->state;
}

std::vector<QuestProgress> PlayerProfile::copyOpenQuests() const
{
    std::vector<QuestProgress> open;
    const size_t examined = std::min<size_t>(m_quests.size(), k_questCount);
    for (size_t i = 0; i < examined; ++i)
        if (m_quests[i].state == QuestProgress::k_open) open.push_back(m_quests[i]);
    return open;
}

QuestProgress* PlayerProfile::setQuestResult(int32_t questId, int32_t stars)
{
    QuestProgress& entry = questAt(questId);
    // A result never lowers a recorded one; a locked quest does take one.
    if (entry.state != QuestProgress::k_open && entry.state >= stars + 1) return nullptr;
    if (stars < 0 || stars > QuestProgress::k_maxState - 1) return &entry;
    entry.state = stars + 1;
    m_changed = true;
    return &entry;
}

int32_t PlayerProfile::getTotalStars() const
{
    int32_t total = 0;
    for (const QuestProgress& entry : m_quests)
        if (entry.state >= 2 && entry.state <= QuestProgress::k_maxState) total += entry.state - 1;
    return total;
}

void PlayerProfile::setSeenFlag(int32_t storyBreak)
{
    if (const StoryBreakFlag* entry = findStoryBreak(storyBreak)) {
        m_flags[entry->flag] = true;
        m_changed = true;
    }
}

bool PlayerProfile::hasSeenFlag(int32_t storyBreak) const
{
    const StoryBreakFlag* entry = findStoryBreak(storyBreak);
    return entry == nullptr || m_flags[entry->flag];
}

void PlayerProfile::setFlag(Flag flag, bool value)
{
    setField(m_flags[flag], value);
}

void PlayerProfile::setDifficulty(bool difficulty)
{
    setField(m_difficulty, difficulty);
}

void PlayerProfile::setAvatar(int16_t avatar)
{
    setField(m_avatar, avatar);
}

void PlayerProfile::setMusicVolume(int16_t volume)
{
    setField(m_musicVolume, volume);
}

void PlayerProfile::setEffectVolume(int16_t volume)
{
    setField(m_effectVolume, volume);
}

void PlayerProfile::setVoiceVolume(int16_t volume)
{
    setField(m_voiceVolume, volume);
}

void PlayerProfile::setCreationLanguage(uint16_t language)
{
    setField(m_creationLanguage, language);
}

void PlayerProfile::serialize(FSerializer& serializer)
{
    const bool loading = serializer.isLoading();
    if (loading) SaveFileCheck::expectSection(serializer, "name");
    serializeValue(serializer, "name", m_name);
    serializeBool(serializer, "difficulty", m_difficulty);

    const int32_t worldCount =
        beginList(serializer, "worlds", static_cast<int32_t>(m_worlds.size()), k_worldCount);
    if (loading) m_worlds.clear();
    for (int32_t i = 0; i < worldCount; ++i) {
        int32_t value = loading ? 0 : m_worlds[static_cast<size_t>(i)];
        serializeInt(serializer, itemKey(i).c_str(), value);
        if (loading) m_worlds.push_back(value);
    }
    serializer.endArray("worlds");

    const int32_t questCount =
        beginList(serializer, "quests", static_cast<int32_t>(m_quests.size()), k_questCount);
    if (loading) m_quests.clear();
    for (int32_t i = 0; i < questCount; ++i) {
        QuestProgress entry = loading ? QuestProgress{} : m_quests[static_cast<size_t>(i)];
        if (loading) SaveFileCheck::expectSection(serializer, itemKey(i).c_str());
        serializer.beginItem(i);
        serializeInt(serializer, "questId", entry.questId);
        serializeInt(serializer, "world", entry.world);
        serializeInt(serializer, "state", entry.state);
        serializer.endItem(i);
        if (loading) m_quests.push_back(entry);
    }
    serializer.endArray("quests");

    if (loading) SaveFileCheck::expectValue(serializer, "avatar");
    // Saved as 32 bits; a value outside 16 bits is refused with a warning.
    serializeValue(serializer, "avatar", m_avatar);
    SaveFileCheck::expectValid(serializer, "avatar");
    for (int32_t i = 0; i < k_flagCount; ++i)
        serializeBool(serializer, k_flagKeys[i], m_flags[i]);
}

void PlayerProfile::checkLoaded() const
{
    SaveFileCheck::expect(m_name.length() <= k_maxNameLength, "name too long");
    for (int32_t world : m_worlds)
        SaveFileCheck::expect(world == 0 || world == 1, "world flag out of range");
    for (size_t i = 0; i < m_quests.size(); ++i) {
        const QuestProgress& entry = m_quests[i];
        SaveFileCheck::expect(entry.questId == static_cast<int32_t>(i), "quest out of order");
        SaveFileCheck::expect(entry.world >= -1 && entry.world < k_worldCount, "quest world out of range");
        SaveFileCheck::expect(entry.state >= QuestProgress::k_locked &&
                                  entry.state <= QuestProgress::k_maxState,
                              "quest state out of range");
    }
}

bool PlayerProfile::load(const FRefT<FInStream>& stream)
{
    const FRefT<FInStream> document = SaveFileCheck::readableDocument(stream);
    if (document.get() == nullptr) return false;
    // Read into a copy, so that a bad file leaves this profile as it was.
    PlayerProfile loaded(*this);
    try {
        FXmlSerializer serializer(document);
        loaded.serialize(serializer);
        loaded.checkLoaded();
    } catch (const SaveFileCheck::Malformed& failure) {
        ZIBBO_LOG(k_logRelease, false) << "Player's profile is malformed: " << failure.what();
        return false;
    }
    *this = std::move(loaded);
    m_changed = false;
    ZIBBO_LOG(k_logDefault, false) << "Player's profile loaded: " << m_name;
    return true;
}

void PlayerProfile::save(const FRefT<FOutStream>& stream)
{
    {
        FXmlSerializer serializer(stream, FXmlSerializer::ForWrite{});
        serialize(serializer);
        serializer.close();
    }
    m_changed = false;
    ZIBBO_LOG(k_logDefault, false) << "Player's profile saved: " << m_name;
}
