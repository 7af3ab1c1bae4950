#include "cipher/basConvert.h"

#include "errortrace/Proc.h"

using namespace Qt::StringLiterals;

namespace basConvert {

namespace {
const QString kModule = u"basConvert"_s;
} // namespace

QByteArray cv_BytesFromString(const QString& text)
{
    cw::Proc proc(kModule, u"Function cv_BytesFromString"_s);
    QByteArray result;
    proc.run([&] {
        QByteArray bytes(text.size(), '\0');
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t code = text.at(i).unicode();
            bytes[i] = code <= 0xFF ? char(code) : '?';
        }
        result = bytes;
    });
    return result;
}

} // namespace basConvert
