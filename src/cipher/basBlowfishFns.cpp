#include "cipher/basBlowfishFns.h"

#include "cipher/basBlowfish.h"
#include "cipher/basConvert.h"
#include "errortrace/Proc.h"

using namespace Qt::StringLiterals;

namespace basBlowfishFns {

namespace {

const QString kModule = u"basBlowfishFns"_s;
constexpr qsizetype kBlock = 8;

// Runs one 8-character block of text through op and puts the result into out at the same
// place. QString::fromLatin1 with an explicit size keeps NULs in the cipher bytes.
template <class Op>
void cipherBlock(const QString& text, QString& out, qsizetype from, Op op)
{
    QByteArray bytes = basConvert::cv_BytesFromString(text.mid(from, kBlock));
    op(bytes);
    out.replace(from, kBlock, QString::fromLatin1(bytes.constData(), kBlock));
}

} // namespace

QString blf_StringEnc(const QString& text)
{
    cw::Proc proc(kModule, u"Function blf_StringEnc"_s);
    QString result;
    proc.run([&] {
        // Never 0: a text of whole blocks gets a whole block of padding, so the last
        // character always tells how much to strip.
        const qsizetype n = kBlock - text.size() % kBlock;
        const QString padded = text + QString(n, QChar(char16_t(n)));
        QString out(padded.size(), u' ');
        for (qsizetype from = 0; from < padded.size(); from += kBlock) {
            cipherBlock(padded, out, from, basBlowfish::blf_EncryptBytes);
        }
        result = out;
    });
    return result;
}

QString blf_StringDec(const QString& text)
{
    cw::Proc proc(kModule, u"Function blf_StringDec"_s);
    QString result;
    proc.run([&] {
        const qsizetype length = text.size();
        QString out(length, u' ');
        for (qsizetype from = 0; from + kBlock <= length; from += kBlock) {
            cipherBlock(text, out, from, basBlowfish::blf_DecryptBytes);
        }
        qsizetype n = out.isEmpty() ? 0 : out.back().unicode();
        if (n > kBlock) {
            n = 0;
        }
        result = out.left(length - n);
    });
    return result;
}

} // namespace basBlowfishFns
