#pragma once

#include "core/FAppListener.h"
#include "core/FThreadedModule.h"

#include <cstdint>

// An untimed threaded service that the game specialises. Its thread only
// waits for actions and the stop marker.
class FAppServiceModule : public FThreadedModule
{
public:
    static constexpr int k_priority = 3;

    class Service : public FAppListener4
    {
    public:
        using FAppListener4::FAppListener4;
        virtual void serviceValue(const int32_t* value) = 0;
        virtual void serviceCall() = 0;
    };

    FAppServiceModule();
    ~FAppServiceModule() override;

    int priority() const override { return k_priority; }

    // Left to the derived service; nothing in the engine calls them.
    virtual void serviceHookA() = 0;
    virtual void serviceHookB() = 0;
    virtual void onServiceValue(int32_t value);
    virtual void onServiceCall();

private:
    class Published final : public Service
    {
    public:
        explicit Published(FAppServiceModule& owner);
        void serviceValue(const int32_t* value) override { m_owner.onServiceValue(*value); }
        void serviceCall() override { m_owner.onServiceCall(); }

    private:
        FAppServiceModule& m_owner;
    };

    Published m_service;
};
