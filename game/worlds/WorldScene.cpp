#include "game/worlds/WorldScene.h"

WorldScene::~WorldScene() = default;
