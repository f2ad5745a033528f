#pragma once

#include "core/FDelegate.h"
#include "core/FRef.h"
#include "core/FString.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>

class FAudioNode;
class FButton;
class FFont;
class FImage;
class FImageWidget;
class FLabel;
class FVideo;
class FWidget;
class GameSession;
class VideoSprite;

// What the awards viewport needs of the story mode screen that closes a
// level with it: the widgets, texts and media of its layout, the play
// session, the game's sound players, the current profile's quest record,
// player 0's HUD panel and the end of the task. The story mode screen
// implements it.
class AwardsHost
{
public:
    using Callback = FDelegate<void()>;

    // The host items the ceremony uses, each by its role.
    struct Items
    {
        FRefT<FImageWidget> darkening;
        FRefT<FLabel> title;
        FRefT<VideoSprite> presenter;
        FRefT<FWidget> banner;
        // Hidden while the ceremony shows.
        FRefT<FLabel> hiddenLabel;
        FRefT<FButton> failureButton;
        // The presenter's clip for quest type 1 and for the other types.
        FRefT<FVideo> presenterVideoQuestType1;
        FRefT<FVideo> presenterVideo;
        FRefT<FImage> failurePicture;
        FRefT<FVideo> awardClip;
        FRefT<FImage> particleImage;
        FRefT<FAudioNode> jingle;
        FRefT<FAudioNode> loopMusic;
        FRefT<FAudioNode> failureSound;
        FRefT<FFont> titleFont;
        FRefT<FFont> failureTitleFont;
        // The titles for 0 to 5 stars.
        std::array<FString, 6> titles;
        FString failureTitle;
        FString failureCaption;
        // The voices of quest type 1 by name, and of the other types by key.
        std::map<std::string, FRefT<FAudioNode>> namedVoices;
        std::map<int32_t, FRefT<FAudioNode>> generalVoices;
    };

    virtual ~AwardsHost() = default;

    virtual const Items& getAwardsItems() = 0;
    // The play session: its level timer and current quest.
    virtual GameSession* getGameSession() = 0;
    // Whether the current profile has completed the quest before.
    virtual bool isQuestCompleted(int32_t questId) = 0;

    // Plays music through the game module; `onEnded` (cloned; null for none)
    // becomes the end callback of the channel it plays on.
    virtual void playMusic(const FRefT<FAudioNode>& music, bool loop, const Callback* onEnded) = 0;
    // Removes the end callback of the channel the last playMusic used.
    virtual void clearMusicEndCallback() = 0;
    virtual void playVoice(const FRefT<FAudioNode>& voice) = 0;
    // The game module's voice-finished callback (cloned; null clears it).
    virtual void setVoiceFinishedCallback(const Callback* callback) = 0;
    // Plays a sound through the game module at a base volume (0-127).
    virtual void playSound(const FRef& sound, int32_t volume) = 0;
    virtual void stopAllSounds() = 0;
    virtual void stopAmbientSound() = 0;

    // Marks player `player`'s HUD panel shown and moves it back to its rest
    // position.
    virtual void returnToRestPosition(int32_t player) = 0;
    // Ends the current story task and continues the level's script.
    virtual void endTask() = 0;
};
