#pragma once

#include "core/FAppListener.h"
#include "core/FModule.h"

#include <cstdint>
#include <map>

// A service with a keyed map and one stored value, the first module to start
// and the last to stop. Nothing in the engine fills or reads it yet.
class FKeyedMapModule : public FModule
{
public:
    static constexpr int k_priority = 0;

    class Service : public FAppListener
    {
    public:
        using FAppListener::FAppListener;
        virtual void setValue(int32_t value) = 0;
    };

    FKeyedMapModule();
    ~FKeyedMapModule() override;

    int priority() const override { return k_priority; }

    void setValue(int32_t value) { m_value = value; }
    int32_t value() const { return m_value; }

private:
    class Published final : public Service
    {
    public:
        explicit Published(FKeyedMapModule& owner);
        void setValue(int32_t value) override { m_owner.setValue(value); }

    private:
        FKeyedMapModule& m_owner;
    };

    Published m_service;
    std::map<int32_t, int32_t> m_entries;
    int32_t m_value = 0;
};
