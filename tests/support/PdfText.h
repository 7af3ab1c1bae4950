// The text of a printed PDF document, read back with poppler's pdftotext in its layout mode.
#pragma once

#include <QProcess>
#include <QString>

/// Form feeds separate the pages; empty when the file cannot be read.
inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}
