#include "platform/rtf/RtfWriter.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace rtf {

namespace {

// The character formatting RTF is told about; a change of any part emits control words.
struct Style
{
    int font = 0;
    int halfPoints = 20;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

class Writer
{
public:
    explicit Writer(const QTextDocument& doc)
        : m_doc(doc)
    {
    }

    QByteArray write()
    {
        m_fonts << m_doc.defaultFont().family();
        QByteArray body;
        bool first = true;
        for (QTextBlock block = m_doc.begin(); block.isValid(); block = block.next()) {
            if (!first) {
                body += "\\par\r\n";
            }
            first = false;
            body += "\\pard ";
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.isValid()) {
                    body += switchTo(styleOf(fragment.charFormat()));
                    body += escaped(fragment.text());
                }
            }
        }
        // The default tab stop matches the document's, in twips.
        const int tabTwips = static_cast<int>(
            std::lround(m_doc.defaultTextOption().tabStopDistance() * 15.0));
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab"
            + QByteArray::number(tabTwips > 0 ? tabTwips : 720) + "\\uc1\r\n{\\fonttbl";
        for (int i = 0; i < m_fonts.size(); ++i) {
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + escaped(m_fonts[i])
                + ";}";
        }
        const double points = m_doc.defaultFont().pointSizeF();
        const int halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 20;
        out += "}\r\n\\plain\\f0\\fs" + QByteArray::number(halfPoints) + ' ' + body
            + "\r\n}\r\n";
        return out;
    }

private:
    Style styleOf(const QTextCharFormat& format)
    {
        Style s;
        QString family = format.fontFamilies().toStringList().value(0);
        if (family.isEmpty()) {
            family = m_doc.defaultFont().family();
        }
        qsizetype index = m_fonts.indexOf(family);
        if (index < 0) {
            index = m_fonts.size();
            m_fonts << family;
        }
        s.font = static_cast<int>(index);
        double points = format.fontPointSize();
        if (points <= 0) {
            points = m_doc.defaultFont().pointSizeF();
        }
        s.halfPoints = points > 0 ? static_cast<int>(std::lround(points * 2)) : 20;
        s.bold = format.fontWeight() >= QFont::Bold;
        s.italic = format.fontItalic();
        s.underline = format.fontUnderline();
        return s;
    }

    QByteArray switchTo(const Style& s)
    {
        QByteArray words;
        if (!m_started || s.font != m_current.font) {
            words += "\\f" + QByteArray::number(s.font);
        }
        if (!m_started || s.halfPoints != m_current.halfPoints) {
            words += "\\fs" + QByteArray::number(s.halfPoints);
        }
        if (!m_started || s.bold != m_current.bold) {
            words += s.bold ? "\\b" : "\\b0";
        }
        if (!m_started || s.italic != m_current.italic) {
            words += s.italic ? "\\i" : "\\i0";
        }
        if (!m_started || s.underline != m_current.underline) {
            words += s.underline ? "\\ul" : "\\ulnone";
        }
        m_started = true;
        m_current = s;
        // A blank ends the last control word; it is not part of the text.
        return words.isEmpty() ? words : words + ' ';
    }

    static QByteArray escaped(const QString& text)
    {
        QByteArray out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c == u'\\' || c == u'{' || c == u'}') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c == u'\t') {
                out += "\\tab ";
            } else if (c == 0x2028 || c == u'\n') {
                out += "\\line ";
            } else if (c == 0x00A0) {
                out += "\\~";
            } else if (c >= 0x20 && c < 0x7F) {
                out += static_cast<char>(c);
            } else if (c >= 0xA0 && c <= 0xFF) {
                // Latin-1 letters are the same bytes in code page 1252.
                out += "\\'" + QByteArray::number(c, 16).rightJustified(2, '0');
            } else if (c >= 0x20) {
                // Everything else as a signed 16-bit code unit, with "?" for readers that
                // cannot show it; a character outside the BMP goes as its two surrogates.
                out += "\\u" + QByteArray::number(static_cast<int16_t>(c)) + '?';
            }
        }
        return out;
    }

    const QTextDocument& m_doc;
    QStringList m_fonts;
    Style m_current;
    bool m_started = false;
};

} // namespace

QByteArray toRtf(const QTextDocument& document)
{
    return Writer(document).write();
}

bool saveRtf(const QTextDocument& document, const QString& fileName, QString* error)
{
    // The listing holds every password in clear: a new file is for its owner's eyes only; a
    // file replaced keeps the permissions its owner gave it.
    const bool replacing = QFileInfo::exists(fileName);
    QSaveFile file(fileName);
    const QByteArray data = toRtf(document);
    const bool opened = file.open(QIODevice::WriteOnly)
        && (replacing || file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    if (!opened || file.write(data) != data.size() || !file.commit()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace rtf
