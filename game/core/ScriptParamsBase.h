#pragma once

#include <memory>

class FApplication;
class FScriptInstance;

// Owner of a script whose globals hold settings: the script runs once when
// the owner is made, and its state stays open for later reads.
class ScriptParamsBase
{
public:
    // Runs "Scripts/" + `scriptName` through the application's file systems.
    ScriptParamsBase(FApplication& application, const char* scriptName);
    virtual ~ScriptParamsBase();
    ScriptParamsBase(const ScriptParamsBase&) = delete;
    ScriptParamsBase& operator=(const ScriptParamsBase&) = delete;

    // Copies the values the owner keeps out of the script (waiting until it
    // has run).
    virtual void onLoaded() = 0;

protected:
    FScriptInstance& script() { return *m_script; }

private:
    std::unique_ptr<FScriptInstance> m_script;
};
