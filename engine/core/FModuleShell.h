#pragma once

#include "core/FModule.h"

// Holds a module's place in the start and stop order until the module itself
// exists: a plain module with the module's priority and nothing else.
class FModuleShell : public FModule
{
public:
    FModuleShell(const char* name, int priority) : m_name(name), m_priority(priority) {}

    int priority() const override { return m_priority; }
    const char* name() const { return m_name; }

private:
    const char* m_name;
    int m_priority;
};
