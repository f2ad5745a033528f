#include "game/widgets/PlayFieldServices.h"

namespace {

PlayFieldServices* s_instance = nullptr;

} // namespace

PlayFieldServices* PlayFieldServices::instance()
{
    return s_instance;
}

void PlayFieldServices::setInstance(PlayFieldServices* services)
{
    s_instance = services;
}
