#include "game/core/ScriptParamsBase.h"

#include "script/FScriptInstance.h"

ScriptParamsBase::ScriptParamsBase(FApplication& application, const char* scriptName)
    : m_script(std::make_unique<FScriptInstance>(application, scriptName))
{
}

ScriptParamsBase::~ScriptParamsBase() = default;
