#include "cipher/basUnsignedWord.h"

#include "errortrace/Proc.h"
#include "platform/vb/Error.h"

using namespace Qt::StringLiterals;

namespace basUnsignedWord {

namespace {
const QString kModule = u"basUnsignedWord"_s;
} // namespace

uint32_t uwJoin(uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    cw::Proc proc(kModule, u"Function uwJoin"_s);
    uint32_t result = 0;
    proc.run([&] {
        result = (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | uint32_t(d);
    });
    return result;
}

void uwSplit(uint32_t w, uint8_t& a, uint8_t& b, uint8_t& c, uint8_t& d)
{
    cw::Proc proc(kModule, u"Sub uwSplit"_s);
    proc.run([&] {
        a = uint8_t(w >> 24);
        b = uint8_t(w >> 16);
        c = uint8_t(w >> 8);
        d = uint8_t(w);
    });
}

uint32_t uw_ShiftLeftBy8(uint32_t w)
{
    cw::Proc proc(kModule, u"Function uw_ShiftLeftBy8"_s);
    uint32_t result = 0;
    proc.run([&] { result = w << 8; });
    return result;
}

uint32_t uw_WordAdd(uint32_t wordA, uint32_t wordB)
{
    cw::Proc proc(kModule, u"Function uw_WordAdd"_s);
    uint32_t result = 0;
    proc.run([&] { result = wordA + wordB; }); // unsigned arithmetic wraps modulo 2^32
    return result;
}

int32_t UnsignedToLong(int64_t value)
{
    cw::Proc proc(kModule, u"Function UnsignedToLong"_s);
    int32_t result = 0;
    proc.run([&] {
        if (value < 0 || value > int64_t(UINT32_MAX)) {
            vb::raise(6);
        }
        result = static_cast<int32_t>(static_cast<uint32_t>(value));
    });
    return result;
}

int64_t LongToUnsigned(int32_t value)
{
    cw::Proc proc(kModule, u"Function LongToUnsigned"_s);
    int64_t result = 0;
    proc.run([&] { result = int64_t(static_cast<uint32_t>(value)); });
    return result;
}

} // namespace basUnsignedWord
