// The desktop clipboard for handed-out account fields, marked so clipboard managers skip them.
#pragma once

#include <QByteArray>
#include <QString>

class QMimeData;

namespace clipboard {

/// The format that clipboard managers (KDE's Klipper and others that follow it) read to leave
/// an entry out of their history, and the value that asks them to.
inline const QString kPasswordManagerHint = QStringLiteral("x-kde-passwordManagerHint");
inline const QByteArray kSecret = QByteArrayLiteral("secret");

/// Plain text together with the password manager's hint.
QMimeData* secretMimeData(const QString& text);

/// True when the data carries the hint with the value "secret".
bool isMarkedSecret(const QMimeData* data);

/// Puts the text on the system clipboard as a secret (the clipboard takes the data over).
void setSecretText(const QString& text);

/// Empties the system clipboard.
void clear();

/// The system clipboard's text.
QString text();

} // namespace clipboard
