#include "game/worldmap/WorldMapServices.h"

#include "game/core/GameSession.h"
#include "game/core/ProfileManager.h"

namespace {

WorldMapServices* s_worldMapServices = nullptr;

} // namespace

PlayerProfile* WorldMapServices::currentProfile()
{
    GameSession* session = gameSession();
    if (session == nullptr || session->profiles() == nullptr) return nullptr;
    return session->profiles()->getCurrentProfile();
}

void WorldMapServices::saveProfile()
{
    GameSession* session = gameSession();
    if (session == nullptr || session->profiles() == nullptr) return;
    if (const int32_t slot = session->profiles()->currentIndex(); slot >= 0)
        session->profiles()->saveProfile(slot);
}

WorldMapServices* WorldMapServices::instance()
{
    return s_worldMapServices;
}

void WorldMapServices::setInstance(WorldMapServices* services)
{
    s_worldMapServices = services;
}
