#include "platform/mail/Mail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace mail {

namespace {

std::function<bool(const Message&)>& senderOverride()
{
    static std::function<bool(const Message&)> f;
    return f;
}

// The copy handed to the mail program, in a folder of its own that only this user can enter.
struct Copy
{
    QString folder;
    QString path;
};

void removeCopy(const Copy& copy)
{
    if (!copy.path.isEmpty()) {
        QFile::remove(copy.path);
        QDir().rmdir(copy.folder);
    }
}

// The caller deletes its file as soon as send() returns, while the mail program may read it
// later; the copy is created 0600, as the report holds the user's data.
Copy keepCopy(const QString& path, const QString& name)
{
    QFile source(path);
    if (path.isEmpty() || !source.open(QIODevice::ReadOnly)) {
        return {};
    }
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("pinvara-mail-XXXXXX")));
    if (!dir.isValid()) {
        return {};
    }
    const Copy copy{dir.path(),
                    dir.filePath(name.isEmpty() ? QFileInfo(path).fileName() : name)};
    const int fd = ::open(QFile::encodeName(copy.path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    QFile target;
    if (fd < 0 || !target.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return {};
    }
    const bool written = target.write(source.readAll()) >= 0 && target.flush();
    target.close();
    if (!written) {
        return {};  // the folder removes itself with what was written
    }
    dir.setAutoRemove(false);
    return copy;
}

// xdg-email returns once the mail program has the message; a small shell around it then
// removes the copy, also when this program has ended by then.
bool launchComposer(const Message& m, const Copy& copy)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty()) {
        return false;
    }
    QStringList args{QStringLiteral("--subject"), m.subject, QStringLiteral("--body"), m.note};
    if (!copy.path.isEmpty()) {
        args << QStringLiteral("--attach") << copy.path;
    }
    args << m.recipient;
    // Every value reaches the shell as a positional argument, never as script text.
    const QString script = QStringLiteral(
        "file=$1; folder=$2; shift 2; \"$@\"; "
        "if [ -n \"$file\" ]; then rm -f -- \"$file\"; rmdir -- \"$folder\"; fi");
    return QProcess::startDetached(QStringLiteral("/bin/sh"),
                                   QStringList{QStringLiteral("-c"), script, QStringLiteral("sh"),
                                               copy.path, copy.folder, program}
                                       + args);
}

} // namespace

bool send(const Message& message)
{
    const Copy copy = keepCopy(message.attachmentPath, message.attachmentName);
    Message out = message;
    out.attachmentPath = copy.path;
    if (senderOverride()) {
        const bool sent = senderOverride()(out);
        removeCopy(copy);
        return sent;
    }
    if (!launchComposer(out, copy)) {
        removeCopy(copy);
        return false;
    }
    return true;
}

void setSender(std::function<bool(const Message&)> sender)
{
    senderOverride() = std::move(sender);
}

} // namespace mail
