#include "cipher/basBlowfish.h"

#include "cipher/basBlfArrays.h"
#include "cipher/basUnsignedWord.h"
#include "errortrace/Proc.h"
#include "platform/vb/Error.h"

#include <utility>

using namespace Qt::StringLiterals;
using namespace basUnsignedWord;

namespace basBlowfish {

namespace {

const QString kModule = u"basBlowfish"_s;
constexpr qsizetype kMaxKeyBytes = 56; // 448 bits
constexpr int kRounds = 16;

void checkBlock(const QByteArray& block)
{
    if (block.size() != 8) {
        vb::raise(9);
    }
}

uint8_t byteAt(const QByteArray& block, qsizetype i)
{
    return static_cast<uint8_t>(block.at(i));
}

// Reads both words of a block, runs the rounds and writes them back, all big-endian.
template <class Rounds>
void cipherBytes(QByteArray& block, Rounds rounds)
{
    checkBlock(block);
    uint32_t xl = uwJoin(byteAt(block, 0), byteAt(block, 1), byteAt(block, 2), byteAt(block, 3));
    uint32_t xr = uwJoin(byteAt(block, 4), byteAt(block, 5), byteAt(block, 6), byteAt(block, 7));
    rounds(xl, xr);
    uint8_t b[8];
    uwSplit(xl, b[0], b[1], b[2], b[3]);
    uwSplit(xr, b[4], b[5], b[6], b[7]);
    for (int i = 0; i < 8; ++i) {
        block[i] = char(b[i]);
    }
}

} // namespace

bool blf_KeyInit(const QByteArray& key)
{
    cw::Proc proc(kModule, u"Function blf_KeyInit"_s);
    bool result = false;
    proc.run([&] {
        const qsizetype n = key.size();
        // An empty key would leave the schedule nothing to cycle through.
        if (n < 1 || n > kMaxKeyBytes) {
            return;
        }
        blf_Initialise(key, static_cast<short>(n));
        result = true;
    });
    return result;
}

void blf_Initialise(const QByteArray& key, short keyLen)
{
    cw::Proc proc(kModule, u"Function blf_Initialise"_s);
    proc.run([&] {
        if (keyLen < 1 || keyLen > key.size()) {
            vb::raise(5);
        }
        basBlfArrays::blf_LoadArrays();

        qsizetype j = 0;
        for (uint32_t& p : blf_PArray) {
            uint32_t word = 0;
            for (int k = 0; k < 4; ++k) {
                word = uw_ShiftLeftBy8(word) | static_cast<uint8_t>(key.at(j));
                j = (j + 1) % keyLen;
            }
            p ^= word;
        }

        // Each encipherment feeds on the previous result: 9 pairs for P, 512 for the boxes.
        uint32_t xl = 0;
        uint32_t xr = 0;
        for (size_t i = 0; i < blf_PArray.size(); i += 2) {
            blf_EncipherBlock(xl, xr);
            blf_PArray[i] = xl;
            blf_PArray[i + 1] = xr;
        }
        for (auto& box : blf_SBoxes) {
            for (size_t i = 0; i < box.size(); i += 2) {
                blf_EncipherBlock(xl, xr);
                box[i] = xl;
                box[i + 1] = xr;
            }
        }
    });
}

void blf_EncryptBytes(QByteArray& block)
{
    cw::Proc proc(kModule, u"Function blf_EncryptBytes"_s);
    proc.run([&] { cipherBytes(block, blf_EncipherBlock); });
}

void blf_DecryptBytes(QByteArray& block)
{
    cw::Proc proc(kModule, u"Function blf_DecryptBytes"_s);
    proc.run([&] { cipherBytes(block, blf_DecipherBlock); });
}

void blf_EncipherBlock(uint32_t& xl, uint32_t& xr)
{
    cw::Proc proc(kModule, u"Function blf_EncipherBlock"_s);
    proc.run([&] {
        uint32_t l = xl;
        uint32_t r = xr;
        for (int i = 0; i < kRounds; ++i) {
            l ^= blf_PArray[i];
            r ^= blf_F(l);
            std::swap(l, r);
        }
        std::swap(l, r);
        r ^= blf_PArray[16];
        l ^= blf_PArray[17];
        xl = l;
        xr = r;
    });
}

void blf_DecipherBlock(uint32_t& xl, uint32_t& xr)
{
    cw::Proc proc(kModule, u"Function blf_DecipherBlock"_s);
    proc.run([&] {
        uint32_t l = xl;
        uint32_t r = xr;
        for (int i = kRounds + 1; i > 1; --i) {
            l ^= blf_PArray[i];
            r ^= blf_F(l);
            std::swap(l, r);
        }
        std::swap(l, r);
        r ^= blf_PArray[1];
        l ^= blf_PArray[0];
        xl = l;
        xr = r;
    });
}

uint32_t blf_F(uint32_t x)
{
    cw::Proc proc(kModule, u"Function blf_F"_s);
    uint32_t result = 0;
    proc.run([&] {
        uint8_t a = 0;
        uint8_t b = 0;
        uint8_t c = 0;
        uint8_t d = 0;
        uwSplit(x, a, b, c, d);
        result = uw_WordAdd(uw_WordAdd(blf_SBoxes[0][a], blf_SBoxes[1][b]) ^ blf_SBoxes[2][c],
                            blf_SBoxes[3][d]);
    });
    return result;
}

} // namespace basBlowfish
