// Unsigned 32-bit word helpers: joining and splitting bytes, shifts and modular addition.
#pragma once

#include <cstdint>

namespace basUnsignedWord {

/// The word of four bytes, a the most significant.
uint32_t uwJoin(uint8_t a, uint8_t b, uint8_t c, uint8_t d);

/// The four bytes of w, a the most significant.
void uwSplit(uint32_t w, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d);

/// w shifted left by 8 bits within 32 bits.
uint32_t uw_ShiftLeftBy8(uint32_t w);

/// wordA + wordB modulo 2^32.
uint32_t uw_WordAdd(uint32_t wordA, uint32_t wordB);

/// The signed 32-bit word with the same bits as an unsigned value 0 to 2^32 - 1; a value
/// out of that range raises 6 (Overflow).
int32_t UnsignedToLong(int64_t value);

/// The unsigned value (0 to 2^32 - 1) with the same bits as a signed 32-bit word.
int64_t LongToUnsigned(int32_t value);

} // namespace basUnsignedWord
