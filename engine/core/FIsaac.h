#pragma once

#include <cstdint>

// The ISAAC generator (32-bit words, 256-word state). Results are handed out
// from the end of each generation towards its start.
class FIsaac
{
public:
    static constexpr unsigned k_size = 256;

    // Seeds the generator with three words and an all-zero result block, the
    // way the random module starts it.
    FIsaac(uint32_t a, uint32_t b, uint32_t c);

    // Restarts the sequence: the result block is filled from seedWords (k_size
    // words) or with zeros when it is null; then the state is initialised.
    void reseed(uint32_t a, uint32_t b, uint32_t c, const uint32_t* seedWords);

    // The next result; the 257th draw after seeding runs a new generation.
    uint32_t next();

    // One generation of k_size results into the result block.
    void isaac();

    const uint32_t* results() const { return m_randrsl; }

private:
    void randinit(bool flag);

    uint32_t m_randcnt = 0;
    uint32_t m_randrsl[k_size];
    uint32_t m_randmem[k_size];
    uint32_t m_aa = 0;
    uint32_t m_bb = 0;
    uint32_t m_cc = 0;
};
