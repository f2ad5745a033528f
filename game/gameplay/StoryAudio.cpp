#include "game/gameplay/StoryAudio.h"

#include "audio/FAudioNode.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/GameSoundChannels.h"

namespace {

GameSoundChannels* storyAudioChannels()
{
    ZibboUserInterface* module = ZibboUserInterface::getInstance();
    return module != nullptr ? module->sounds() : nullptr;
}

} // namespace

void StoryAudio::playMusic(const FRef& track, bool loop)
{
    GameSoundChannels* channels = storyAudioChannels();
    if (channels != nullptr && track.get() != nullptr) channels->playMusic(FRefT<FAudioNode>(track), loop);
}

bool StoryAudio::isMusicPlaying()
{
    GameSoundChannels* channels = storyAudioChannels();
    return channels != nullptr && channels->isMusicPlaying();
}

void StoryAudio::playAmbientSound(const FRef& sound)
{
    GameSoundChannels* channels = storyAudioChannels();
    if (channels != nullptr && sound.get() != nullptr) channels->playAmbientSound(FRefT<FAudioNode>(sound));
}

bool StoryAudio::playVoice(const FRef& sample)
{
    GameSoundChannels* channels = storyAudioChannels();
    if (channels == nullptr || sample.get() == nullptr) return false;
    channels->playVoice(FRefT<FAudioNode>(sample), true);
    return true;
}

void StoryAudio::stopVoice()
{
    if (GameSoundChannels* channels = storyAudioChannels()) channels->stopVoice();
}

void StoryAudio::setVoiceFinishedCallback(const Callback* callback)
{
    if (GameSoundChannels* channels = storyAudioChannels()) channels->setVoiceFinishedCallback(callback);
}
