#include "UiModuleTestSupport.h"

#include "audio/FAudioModule.h"
#include "audio/FSound.h"
#include "audio/FSoundChannel.h"
#include "audio/FVolumeFader.h"
#include "engine/audio/AudioTestSupport.h"

namespace {
// The channels belong to the audio module, which outlives the UI module.
struct SoundRig
{
    SoundRig() { module.run(); }
    FApplication application;
    SharedLog log;
    FakeScreenFactory factory{log};
    FAudioModule audio;
    InlineUiModule module{&factory};
};
} // namespace

TEST(UiSounds, ScreensPlayUiSoundsRoundTheEightChannels)
{
    SoundRig rig;
    InlineUiModule& module = rig.module;
    module.setScreen(1, false);
    std::vector<FRefT<FAudioNode>> samples;
    for (int i = 0; i < 9; ++i) {
        samples.push_back(
            audiotest::makeSource(audiotest::makeBuffer(std::vector<std::int16_t>(64, 100), 1)));
        // A screen plays through the module.
        module.currentScreen()->playSound(samples.back());
    }
    for (int i = 0; i < FAppUserInterfaceModule::k_uiSoundChannels; ++i) {
        FSound* channel = module.uiSoundChannel(i);
        ASSERT_NE(channel, nullptr) << i;
        // The ninth sound took the first channel again.
        EXPECT_EQ(channel->channel()->source().get(), samples[i == 0 ? 8 : i].get()) << i;
        EXPECT_FALSE(channel->channel()->m_paused);
    }
    module.currentScreen()->stopSounds();
    for (int i = 0; i < FAppUserInterfaceModule::k_uiSoundChannels; ++i)
        EXPECT_TRUE(module.uiSoundChannel(i)->channel()->m_paused) << i;
    module.setUiSoundVolume(32);
    for (int i = 0; i < FAppUserInterfaceModule::k_uiSoundChannels; ++i)
        EXPECT_EQ(module.uiSoundChannel(i)->fader()->current, 32 * 256) << i;
}

TEST(UiSounds, VolumeMakesTheMissingChannels)
{
    SoundRig rig;
    InlineUiModule& module = rig.module;
    module.setUiSoundVolume(10);
    for (int i = 0; i < FAppUserInterfaceModule::k_uiSoundChannels; ++i)
        ASSERT_NE(module.uiSoundChannel(i), nullptr) << i;
}
