#include "core/FModule.h"

#include "core/FLogStream.h"

FModule::FModule() : m_state(k_constructed) {}

FModule::~FModule() = default;

void FModule::launch()
{
    onLaunch();
}

void FModule::run()
{
    start();
    main();
}

void FModule::requestStop()
{
    stop();
}

bool FModule::waitStopped(int)
{
    return true;
}

int FModule::priority() const
{
    return k_defaultPriority;
}

void FModule::main() {}

void FModule::onLaunch() {}

void FModule::start()
{
    ZIBBO_LOG(k_logModule, false) << "Starting module "
                                  << ".";
    clearState(k_stopRequested);
}

void FModule::stop()
{
    ZIBBO_LOG(k_logModule, false) << "Stopping module "
                                  << ".";
    setState(k_stopRequested | k_stopped);
}
