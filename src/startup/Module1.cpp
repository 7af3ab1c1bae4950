#include "startup/Module1.h"

#include "errortrace/Proc.h"
#include "platform/ado/SafeFile.h"
#include "platform/host/DesktopEntry.h"
#include "platform/host/Host.h"
#include "platform/singleinstance/SingleInstance.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "resources/Resources.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QWidget>

#include <unistd.h>

namespace Module1 {

namespace {

ProcessStarter& processStarter()
{
    static ProcessStarter starter;
    return starter;
}

// Result codes of the browser look-up: 32 and above mean found, as the platform counts.
constexpr long kFound = 42;
constexpr long kFileNotFound = 2;
constexpr long kNoAssociation = 31;

// The desktop entry that opens ".html" files (text/html) and the full path of its program.
// The look-up goes through a probe file, which it removes again. The probe lies in this user's
// own folder: in the shared temporary folder a file of that name may be anyone's, or a link to
// one of the user's files. The look-up does not read the probe, so it goes on without one where
// that folder cannot be had.
QString findBrowser(long& code, std::optional<host::DesktopEntry>& entry)
{
    QString probe;
    cw::ResumeNext next;
    next([&] {
        const QString folder = GetPrivateTempDir();
        ado::requirePrivateFolder(folder);
        QFile file(folder + QStringLiteral("dummy.html"));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            probe = file.fileName();
        }
    });
    const QString desktopFile = host::defaultApplication(QStringLiteral("text/html"));
    entry = desktopFile.isEmpty() ? std::nullopt : host::readDesktopEntry(desktopFile);
    QString program;
    if (entry) {
        const QStringList command = host::launchCommand(*entry, QString());
        program = command.isEmpty() ? QString() : QStandardPaths::findExecutable(command.first());
    }
    code = !entry ? kNoAssociation : program.isEmpty() ? kFileNotFound : kFound;
    if (!probe.isEmpty()) {
        QFile::remove(probe);
    }
    return program;
}

// Texts filled in by the platform end at their first NUL.
QString beforeNul(const QString& s)
{
    const qsizetype nul = s.indexOf(QChar(0));
    return nul >= 0 ? s.left(nul) : s;
}

} // namespace

int16_t MultiInst()
{
    cw::Proc proc(kModule, QStringLiteral("Function MultiInst"));
    int16_t result = 0;
    proc.run([&] {
        if (singleinstance::activateRunning(LoadResString(1073))) {
            result = 1;
        }
    });
    return result;
}

bool CapsLockOn()
{
    cw::Proc proc(kModule, QStringLiteral("Function CapsLockOn"));
    bool result = false;
    proc.run([&] {
        const short state = host::host().keyState(vb::vbKeyCapital);
        result = state == 1 || state == -127;
    });
    return result;
}

void MakeNormal(QWidget* hWnd)
{
    cw::Proc proc(kModule, QStringLiteral("Sub MakeNormal"));
    proc.run([&] {
        if (hWnd == nullptr || !hWnd->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            return;
        }
        // Changing a window flag hides the window and may move it: put both back.
        const bool visible = hWnd->isVisible();
        const QRect place = hWnd->geometry();
        hWnd->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        hWnd->setGeometry(place);
        if (visible) {
            hWnd->show();
        }
    });
}

QString GetBrowserName(long& code)
{
    cw::Proc proc(kModule, QStringLiteral("Function GetBrowserName"));
    QString result;
    proc.run([&] {
        std::optional<host::DesktopEntry> entry;
        result = TrimNull(findBrowser(code, entry));
    });
    return result;
}

bool StartNewBrowser(const QString& url)
{
    cw::Proc proc(kModule, QStringLiteral("Function StartNewBrowser"));
    bool result = false;
    proc.run([&] {
        // An address read from a data file must not reach the browser as an option (some run
        // programs); browsers trim blanks before they look for the "-".
        if (url.trimmed().startsWith(u'-')) {
            return;
        }
        long code = 0;
        std::optional<host::DesktopEntry> entry;
        const QString path = findBrowser(code, entry);
        if (code < 32) {
            return;
        }
        // The whole command line of the entry, as the desktop starts it: a wrapper such as
        // "flatpak run ..." or "env ..." keeps its own arguments. The address is one argument.
        QStringList arguments = host::launchCommand(*entry, url);
        arguments.removeFirst();
        result = processStarter() ? processStarter()(path, arguments)
                                  : host::startProgram(path, arguments);
    });
    return result;
}

void setProcessStarter(ProcessStarter starter)
{
    processStarter() = std::move(starter);
}

QString GetTempDir()
{
    cw::Proc proc(kModule, QStringLiteral("Function GetTempDir"));
    QString result;
    proc.run([&] {
        result = TrimNull(QDir::tempPath());
        // Qt answers an empty path when TMPDIR names no folder. The folder stays the one the
        // user named, so creating a file there fails, rather than "" + "/" naming the root.
        if (result.isEmpty()) {
            result = QDir::cleanPath(qEnvironmentVariable("TMPDIR"));
        }
        if (!result.endsWith(u'/')) {
            result += u'/';
        }
    });
    return result;
}

QString GetPrivateTempDir()
{
    cw::Proc proc(kModule, QStringLiteral("Function GetPrivateTempDir"));
    return GetTempDir() + QStringLiteral("pinvara-%1/").arg(::geteuid());
}

QString TrimNull(const QString& s)
{
    cw::Proc proc(kModule, QStringLiteral("Function TrimNull"));
    return beforeNul(s);
}

QString StripTerminator(const QString& s)
{
    cw::Proc proc(kModule, QStringLiteral("Function StripTerminator"));
    return beforeNul(s);
}

long SaveResItemToDisk(const QString& name, const QString& type, const QString& dest)
{
    cw::Proc proc(kModule, QStringLiteral("Function SaveResItemToDisk"));
    resources::initResources();
    // Every item the program writes out (the data file template, the skin pictures) is of the
    // custom type; there is no item of any other type to find.
    QFile item(QStringLiteral(":/") + name);
    if (type.compare(u"CUSTOM", Qt::CaseInsensitive) != 0 || !item.open(QIODevice::ReadOnly)) {
        return 326;  // no such resource item
    }
    const QByteArray bytes = item.readAll();
    const QFileInfo info(dest);
    if (info.isFile() && !info.isSymLink() && info.size() == 0) {
        // A file made empty for this write (the skin pictures' temporary files) has nothing
        // to lose: it is written in place, without the rename and the wait for the disk that
        // protect a file's earlier content. Appending spares it a truncation, after which the
        // file system would write it out at once when it is closed.
        QFile out(dest);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Append) || out.write(bytes) != bytes.size()
            || !out.flush()) {
            return 75;
        }
        return 0;
    }
    // Written whole and then renamed into place, so a failure never leaves a partial file.
    QSaveFile out(dest);
    const bool fresh = !QFileInfo::exists(dest);
    if (!out.open(QIODevice::WriteOnly)) {
        return QFileInfo(dest).dir().exists() ? 75 : 76;  // path/file access error, path not found
    }
    if (fresh) {
        // A new data file starts private to its owner (an existing file keeps its mode).
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    out.write(bytes);
    if (!out.commit()) {
        return 75;
    }
    return 0;
}

bool GetTempFile(QString folder, const QString& prefix, int16_t unique, QString& name)
{
    cw::Proc proc(kModule, QStringLiteral("Function GetTempFile"));
    bool result = false;
    proc.run([&] {
        if (folder.isEmpty()) {
            folder = GetTempDir();
        }
        QDir dir(folder);
        name.clear();
        if (!dir.exists()) {
            return;
        }
        const QString stem = prefix.left(3);
        auto fileFor = [&](unsigned number) {
            const QString hex = QString::number(number & 0xFFFF, 16).toUpper();
            return dir.filePath(stem + hex + QStringLiteral(".TMP"));
        };
        if (unique != 0) {
            name = StripTerminator(fileFor(static_cast<uint16_t>(unique)));
            result = true;
            return;
        }
        // Like the platform, start from the clock and take the first name not yet used; the
        // file is created at once so that nobody else can take it.
        const auto start = static_cast<unsigned>(QDateTime::currentMSecsSinceEpoch());
        for (unsigned i = 0; i < 0xFFFF; ++i) {
            const unsigned number = ((start + i) % 0xFFFF) + 1;
            QFile file(fileFor(number));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                name = StripTerminator(file.fileName());
                result = true;
                return;
            }
            if (QFileInfo::exists(file.fileName())) {
                continue;
            }
            return;  // the folder cannot be written
        }
    });
    return result;
}

} // namespace Module1
