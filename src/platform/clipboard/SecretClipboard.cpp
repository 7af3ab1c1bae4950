#include "platform/clipboard/SecretClipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace clipboard {

QMimeData* secretMimeData(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kPasswordManagerHint, kSecret);
    return data;
}

bool isMarkedSecret(const QMimeData* data)
{
    return data != nullptr && data->data(kPasswordManagerHint) == kSecret;
}

void setSecretText(const QString& text)
{
    QApplication::clipboard()->setMimeData(secretMimeData(text));
}

void clear()
{
    QApplication::clipboard()->clear();
}

QString text()
{
    return QApplication::clipboard()->text();
}

} // namespace clipboard
