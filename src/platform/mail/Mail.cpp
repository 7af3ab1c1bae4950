#include "platform/mail/Mail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace mail {

namespace {

std::function<bool(const Message&)>& senderOverride()
{
    static std::function<bool(const Message&)> f;
    return f;
}

bool launchComposer(const Message& m)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        return false;
    }
    QStringList args{QStringLiteral("--subject"), m.subject, QStringLiteral("--body"), m.note};
    if (!m.attachmentPath.isEmpty()) {
        args << QStringLiteral("--attach") << m.attachmentPath;
    }
    args << m.recipient;
    return QProcess::startDetached(program, args);
}

// The caller deletes its file as soon as send() returns, while the composer reads it later.
QString keepCopy(const QString& path, const QString& name)
{
    if (path.isEmpty() || !QFile::exists(path)) {
        return {};
    }
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("pinvara-mail-XXXXXX")));
    if (!dir.isValid()) {
        return {};
    }
    dir.setAutoRemove(false);
    const QString copy = dir.filePath(name.isEmpty() ? QFileInfo(path).fileName() : name);
    return QFile::copy(path, copy) ? copy : QString();
}

} // namespace

bool send(const Message& message)
{
    Message out = message;
    out.attachmentPath = keepCopy(message.attachmentPath, message.attachmentName);
    if (senderOverride()) {
        return senderOverride()(out);
    }
    return launchComposer(out);
}

void setSender(std::function<bool(const Message&)> sender)
{
    senderOverride() = std::move(sender);
}

} // namespace mail
