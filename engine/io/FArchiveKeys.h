#pragma once

#include <cstdint>

// Initial key state of the traditional zip cipher for encrypted members of
// our archives. Archives never carry a password: every encrypted member is
// sealed with this one state, which the file-system module hands to every
// archive it mounts and our zip writer uses to seal members.
//
// The three words are what the traditional key set-up yields for the
// passphrase "Nuvant/Zibbo kits", so an ordinary zip tool given that
// passphrase makes and opens the same members.
inline constexpr uint32_t k_archiveKeys[3] = {0x5373CD20u, 0xC436F763u, 0x1FEFF342u};

// The passphrase the state above comes from; only tools and tests that talk to
// an ordinary zip tool need it.
inline constexpr const char* k_archivePassphrase = "Nuvant/Zibbo kits";
