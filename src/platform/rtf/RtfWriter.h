// Writes rich text as an RTF document that word processors open with its fonts, bold, italic,
// underline, tabs and paragraphs.
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace rtf {

/// The document as RTF (7-bit text; other characters as escapes).
QByteArray toRtf(const QTextDocument& document);

/// Writes the document's RTF to the file whole (replaced only once it is complete); false
/// with the reason in error when the file cannot be written.
bool saveRtf(const QTextDocument& document, const QString& fileName, QString* error = nullptr);

} // namespace rtf
