#include "core/FRandomModule.h"

#include "core/FApplication.h"
#include "core/FClockService.h"
#include "core/FIsaac.h"
#include "core/FMemory.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::array<uint32_t, 256> makeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> k_crcTable = makeCrcTable();

} // namespace

FRandomModule::Service::Service(FRandomModule& owner)
    : FRandomService(findServiceSlot(k_slotRandom)), m_owner(owner)
{
}

const uint32_t* FRandomModule::crcTable()
{
    return k_crcTable.data();
}

void FRandomModule::seedWords(uint32_t t, uint32_t& a, uint32_t& b, uint32_t& c)
{
    a = t;
    b = t ^ k_crcTable[t & 0xFF];
    c = t ^ k_crcTable[(t >> 8) & 0xFF];
}

FRandomModule::FRandomModule() : m_service(*this)
{
    auto* clock = findService<FClockService>(k_slotClock);
    const uint32_t t = clock ? static_cast<uint32_t>(clock->wallTime()) : 0;
    uint32_t a, b, c;
    seedWords(t, a, b, c);
    m_generator = engineNew<FIsaac>(k_memObject, a, b, c);
    std::srand(next());
}

FRandomModule::~FRandomModule()
{
    FMutexLock lock(m_lock);
    engineDelete(m_generator);
    m_generator = nullptr;
}

void FRandomModule::seed(uint32_t t)
{
    FMutexLock lock(m_lock);
    if (!m_generator) return;
    uint32_t a, b, c;
    seedWords(t, a, b, c);
    m_generator->reseed(a, b, c, nullptr);
}

uint32_t FRandomModule::next()
{
    FMutexLock lock(m_lock);
    return m_generator ? m_generator->next() : 0;
}

uint32_t FRandomModule::range(uint32_t lo, uint32_t hi)
{
    const uint32_t span = hi - lo;
    uint32_t mask = span;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    uint32_t r;
    do {
        r = next() & mask;
    } while (r > span);
    return lo + r;
}
