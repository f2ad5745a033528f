#pragma once

#include <cstdlib>
#include <string>

// Sets (or with null unsets) an environment variable for one scope.
struct EnvGuard
{
    std::string name;
    std::string saved;
    bool had;
    EnvGuard(const char* n, const char* value) : name(n)
    {
        const char* old = std::getenv(n);
        had = old != nullptr;
        saved = had ? old : "";
        if (value)
            setenv(n, value, 1);
        else
            unsetenv(n);
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard()
    {
        if (had)
            setenv(name.c_str(), saved.c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};
