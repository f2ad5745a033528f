#include "core/FLoggingModule.h"

#include "core/FLogStream.h"

FLoggingModule::FLoggingModule()
{
    ZIBBO_LOG(k_logSystem, true) << "Logging initialized. This should be the first message in the log!";
}

FLoggingModule::~FLoggingModule()
{
    ZIBBO_LOG(k_logSystem, true) << "Logging stopped. This should be the last message in the log!";
}
