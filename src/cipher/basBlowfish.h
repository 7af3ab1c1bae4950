// The Blowfish block cipher: key schedule and 64-bit block encipherment, process-wide key.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

namespace basBlowfish {

/// The P-array of the key in force (indices 0 to 17).
inline std::array<uint32_t, 18> blf_PArray{};

/// The four S-boxes of the key in force, addressed [box][entry].
inline std::array<std::array<uint32_t, 256>, 4> blf_SBoxes{};

/// Keys the cipher with all bytes of key. A key of 1 to 56 bytes replaces the key in force
/// and gives True; an empty key or one of 57 bytes or more gives False and changes nothing.
bool blf_KeyInit(const QByteArray& key);

/// The key schedule over the first keyLen bytes of key (1 to key's size): reloads the
/// initial values, then mixes the key in.
void blf_Initialise(const QByteArray& key, short keyLen);

/// Enciphers one 8-byte block in place (bytes 0-3 the left word, 4-7 the right, big-endian).
/// A block of any other size raises 9 and stays as it was.
void blf_EncryptBytes(QByteArray& block);

/// Deciphers one 8-byte block in place.
void blf_DecryptBytes(QByteArray& block);

/// The 16 rounds forward over the word pair.
void blf_EncipherBlock(uint32_t& xl, uint32_t& xr);

/// The 16 rounds backward over the word pair.
void blf_DecipherBlock(uint32_t& xl, uint32_t& xr);

/// The round function.
uint32_t blf_F(uint32_t x);

} // namespace basBlowfish
