// The Blowfish initial values (the hexadecimal fraction of pi) and their loader.
#pragma once

#include <array>
#include <cstdint>

namespace basBlfArrays {

/// The 18 initial P words.
extern const std::array<uint32_t, 18> kInitialP;

/// The initial S-boxes 0 to 3, 256 words each.
extern const std::array<std::array<uint32_t, 256>, 4> kInitialS;

/// Restores blf_PArray and blf_SBoxes to the initial values, dropping any key.
void blf_LoadArrays();

} // namespace basBlfArrays
