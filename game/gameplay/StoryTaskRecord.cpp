#include "game/gameplay/StoryTaskRecord.h"

#include "game/app/ZibboUserInterface.h"

void StoryTaskRecord::preloadVoice() const
{
    if (m_voice.get() == nullptr) return;
    if (ZibboUserInterface* module = ZibboUserInterface::getInstance()) module->queueAssetLoad(m_voice);
}
