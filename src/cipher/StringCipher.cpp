#include "cipher/StringCipher.h"

#include "cipher/basBlowfish.h"
#include "cipher/basBlowfishFns.h"
#include "cipher/basConvert.h"
#include "errortrace/Proc.h"

using namespace Qt::StringLiterals;

namespace Module1 {

namespace {
const QString kCipherModule = u"Module1"_s;
} // namespace

void SetKey(const QString& key)
{
    cw::Proc proc(kCipherModule, u"Sub SetKey"_s);
    proc.run([&] {
        gKeyBytes = basConvert::cv_BytesFromString(key);
        // A refused key leaves the previous one in force; callers are not told.
        basBlowfish::blf_KeyInit(gKeyBytes);
    });
}

QString Encrypt(const QString& text)
{
    cw::Proc proc(kCipherModule, u"Function Encrypt"_s);
    QString result;
    proc.run([&] {
        if (!text.isEmpty()) {
            result = basBlowfishFns::blf_StringEnc(text);
        }
    });
    return result;
}

QString Decrypt(const QString& text)
{
    cw::Proc proc(kCipherModule, u"Function Decrypt"_s);
    QString result;
    proc.run([&] {
        if (!text.isEmpty()) {
            result = basBlowfishFns::blf_StringDec(text);
        }
    });
    return result;
}

} // namespace Module1
