#pragma once

#include "core/FModule.h"
#include "core/FMutex.h"
#include "core/FRandomService.h"

#include <cstdint>

class FIsaac;

// The engine's random numbers: one ISAAC generator behind a lock, seeded from
// the wall clock. It also seeds the C library's generator, which the game's
// own random choices use.
class FRandomModule : public FModule
{
public:
    static constexpr int k_priority = 2;

    FRandomModule();
    ~FRandomModule() override;

    int priority() const override { return k_priority; }

    void seed(uint32_t t);
    uint32_t range(uint32_t lo, uint32_t hi);
    uint32_t next();

    // The three seed words the generator starts from at wall time `t`.
    static void seedWords(uint32_t t, uint32_t& a, uint32_t& b, uint32_t& c);
    // The standard CRC-32 table (reflected polynomial 0xEDB88320).
    static const uint32_t* crcTable();

private:
    class Service final : public FRandomService
    {
    public:
        explicit Service(FRandomModule& owner);
        void seed(uint32_t t) override { m_owner.seed(t); }
        uint32_t range(uint32_t lo, uint32_t hi) override { return m_owner.range(lo, hi); }
        uint32_t next() override { return m_owner.next(); }

    private:
        FRandomModule& m_owner;
    };

    Service m_service;
    FMutex m_unused;
    FMutex m_lock;
    FIsaac* m_generator;
};
