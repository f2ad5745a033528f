#include "game/worlds/WorldSceneFactory.h"

#include "core/FErrorMessage.h"
#include "core/FLocalizedMessages.h"
#include "core/FMemory.h"
#include "game/worlds/WorldSceneOf.h"

#include "World01SceneLayout.h"
#include "World02SceneLayout.h"
#include "World03SceneLayout.h"
#include "World04SceneLayout.h"
#include "World05SceneLayout.h"
#include "World06SceneLayout.h"
#include "World07SceneLayout.h"
#include "World08SceneLayout.h"
#include "World09SceneLayout.h"
#include "World10SceneLayout.h"
#include "World11SceneLayout.h"
#include "World12SceneLayout.h"

namespace {
template <class Layout> WorldScene* build()
{
    return engineNew<WorldSceneOf<Layout>>(k_memObject);
}

using Builder = WorldScene* (*)();
const Builder k_builders[] = {
    build<World01SceneLayout>, build<World02SceneLayout>, build<World03SceneLayout>,
    build<World04SceneLayout>, build<World05SceneLayout>, build<World06SceneLayout>,
    build<World07SceneLayout>, build<World08SceneLayout>, build<World09SceneLayout>,
    build<World10SceneLayout>, build<World11SceneLayout>, build<World12SceneLayout>,
};
} // namespace

FRef makeWorldSceneHandle()
{
    return makeRef<WorldScene>(nullptr);
}

void createWorldScene(FRef& handle, int32_t index)
{
    if (index < 0 || index >= static_cast<int32_t>(std::size(k_builders)))
        ZIBBO_FAIL(msgIllegalOperation, "world index (" << index << ") >= 0 && < 12");
    WorldScene* scene = k_builders[index]();
    if (scene == nullptr) ZIBBO_FAIL(msgSystemError, "world scene " << index << " (NULL) != NULL");
    handle.setTarget(scene);
}
