#pragma once

#include "core/FString.h"
#include "game/core/QuestProgress.h"
#include "io/FInStream.h"
#include "io/FOutStream.h"

#include <cstdint>
#include <deque>
#include <vector>

class FSerializer;

// One player's saved progress: name, difficulty, unlocked worlds and quests,
// quest results in stars, avatar and the already-seen flags. Besides the
// saved fields it keeps, for the run, the worlds and quests unlocked but not
// yet shown, the three sound volumes and the language it was created in.
//
// Every change sets the changed flag; loading and saving clear it, and the
// profile manager writes a profile only while it is set.
class PlayerProfile
{
public:
    static constexpr int32_t k_worldCount = 12;
    static constexpr int32_t k_questCount = 48;
    // Longest name in UTF-16 units; the profile file's size limit is worked
    // out for it.
    static constexpr size_t k_maxNameLength = 12;

    // The twelve already-seen flags, in file order.
    enum Flag : int32_t {
        k_seenNomblersTutorial,
        k_reopenedWorld,
        k_receivedGift,
        k_seenSB1Zibbo,
        k_seenSB2Zibbo,
        k_seenSB4Zibbo,
        k_seenSB9Vessa,
        k_seenSB11Tuff,
        k_seenSB12Zibbo,
        k_seenEndGame,
        k_seenPerfectEndGame,
        k_seenWorld2Tutorial,
        k_flagCount
    };

    // The file key of each flag.
    static const char* flagKey(Flag flag);

    explicit PlayerProfile(const FString& name);
    virtual ~PlayerProfile() = default;
    PlayerProfile(const PlayerProfile&) = default;
    PlayerProfile& operator=(const PlayerProfile&) = default;

    // World 0 and quest 0 open, everything else locked, default volumes, no
    // avatar, no flags. The name and the difficulty stay; the lists of new
    // worlds and quests are appended to, not emptied.
    void reset();

    const FString& name() const { return m_name; }
    void setName(const FString& name);

    // Worlds are indices 0 to 11; an index outside the list is
    // std::out_of_range.
    void unlockWorld(int32_t world);
    bool isWorldNew(int32_t world) const;
    bool isWorldUnlocked(int32_t world) const { return m_worlds.at(static_cast<size_t>(world)) == 1; }
    const std::deque<int32_t>& worlds() const { return m_worlds; }

    // Quest ids are list positions 0 to 47; an id outside the list is
    // std::out_of_range. True when the quest was locked and is now open.
    bool unlockQuest(int32_t questId, int32_t world);
    bool isQuestNew(int32_t questId) const;
    // Looked up by the entries' quest id; an id no entry holds is
    // std::out_of_range.
    bool isQuestCompleted(int32_t questId) const;
    int32_t getQuestState(int32_t questId) const;
    std::vector<QuestProgress> copyQuests() const { return m_quests; }
    std::vector<QuestProgress> copyOpenQuests() const;
    // Records `stars` (0 to 5) unless a result at least as good is recorded.
    // The changed entry, or null when nothing changed; a star count outside
    // 0 to 5 answers the entry unchanged.
    QuestProgress* setQuestResult(int32_t questId, int32_t stars);
    int32_t getTotalStars() const;

    // Story breaks by number; numbers without a flag of their own count as
    // seen and cannot be set.
    void setSeenFlag(int32_t storyBreak);
    bool hasSeenFlag(int32_t storyBreak) const;
    // The flags by name, for the screens that show those moments.
    bool flag(Flag flag) const { return m_flags[flag]; }
    void setFlag(Flag flag, bool value);

    bool difficulty() const { return m_difficulty; }
    void setDifficulty(bool difficulty);
    int16_t avatar() const { return m_avatar; }
    void setAvatar(int16_t avatar);
    int16_t musicVolume() const { return m_musicVolume; }
    void setMusicVolume(int16_t volume);
    int16_t effectVolume() const { return m_effectVolume; }
    void setEffectVolume(int16_t volume);
    int16_t voiceVolume() const { return m_voiceVolume; }
    void setVoiceVolume(int16_t volume);
    uint16_t creationLanguage() const { return m_creationLanguage; }
    void setCreationLanguage(uint16_t language);

    // Unlocked and not yet shown, in unlock order; the play session empties
    // them.
    std::vector<int32_t>& newWorlds() { return m_newWorlds; }
    std::vector<int32_t>& newQuests() { return m_newQuests; }

    bool isChanged() const { return m_changed; }
    void setChanged() { m_changed = true; }

    // Writes or reads the saved fields. Reading through an XML serializer
    // throws SaveFileCheck::Malformed at the first key that is missing or not
    // a value of its kind.
    virtual void serialize(FSerializer& serializer);

    // Replaces the saved fields with the file's. A document that is not a
    // well-formed profile (missing keys, counts other than 12 worlds and 48
    // quests, values out of range, an avatar outside 16 bits) changes
    // nothing and answers false.
    bool load(const FRefT<FInStream>& stream);
    // Writes the profile as a compact XML document into the stream.
    void save(const FRefT<FOutStream>& stream);

private:
    QuestProgress& questAt(int32_t questId) { return m_quests.at(static_cast<size_t>(questId)); }
    const QuestProgress* findQuest(int32_t questId) const;
    // Throws SaveFileCheck::Malformed unless the loaded lists and values are
    // ones this program writes.
    void checkLoaded() const;
    template <class T> void setField(T& field, T value);

    FString m_name;
    bool m_difficulty = true;
    std::deque<int32_t> m_worlds;
    std::vector<int32_t> m_newWorlds;
    std::vector<QuestProgress> m_quests;
    std::vector<int32_t> m_newQuests;
    int16_t m_musicVolume = 24;
    int16_t m_effectVolume = 6;
    int16_t m_voiceVolume = 44;
    uint16_t m_creationLanguage = 0;
    int16_t m_avatar = 0;
    bool m_flags[k_flagCount] = {};
    bool m_changed = false;
};
