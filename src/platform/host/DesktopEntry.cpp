#include "platform/host/DesktopEntry.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

namespace host {

namespace {

// How long a started program is watched for an immediate failure. A browser that is already
// running hands the address over and ends well within this; one starting afresh keeps running.
constexpr int kStartMs = 5000;
constexpr int kFailFastMs = 400;

// The general escapes of a desktop entry's text values; other backslash sequences are kept
// for the Exec line's own quoting rules.
QString unescapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[i + 1];
        const QChar plain = next == u's' ? QChar(u' ')
            : next == u'n'               ? QChar(u'\n')
            : next == u't'               ? QChar(u'\t')
            : next == u'r'               ? QChar(u'\r')
            : next == u'\\'              ? QChar(u'\\')
                                         : QChar();
        if (plain.isNull()) {
            out += value[i];
        } else {
            out += plain;
            ++i;
        }
    }
    return out;
}

// Splits an Exec line into its arguments: blanks separate them, double quotes group them, and
// inside quotes a backslash protects ", `, $ and itself.
QStringList splitExec(const QString& line)
{
    QStringList args;
    QString current;
    bool inQuotes = false;
    bool started = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c == u'\\' && i + 1 < line.size()
                && QStringView(u"\"`$\\").contains(line[i + 1])) {
                current += line[++i];
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            if (started) {
                args << current;
                current.clear();
                started = false;
            }
        } else {
            if (c == u'"') {
                inQuotes = true;
            } else {
                current += c;
            }
            started = true;
        }
    }
    if (started) {
        args << current;
    }
    return args;
}

bool isAddressCode(QChar c)
{
    return c == u'u' || c == u'U' || c == u'f' || c == u'F';
}

} // namespace

std::optional<DesktopEntry> readDesktopEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    DesktopEntry entry;
    entry.path = path;
    bool inGroup = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inGroup || line.startsWith(u'#') || eq < 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == u"Exec") {
            entry.exec = value;
        } else if (key == u"Name") {
            entry.name = unescapeValue(value);
        } else if (key == u"Icon") {
            entry.icon = unescapeValue(value);
        }
    }
    if (entry.exec.isEmpty()) {
        return std::nullopt;
    }
    return entry;
}

QString defaultApplication(const QString& mimeType)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             mimeType});
    if (!query.waitForFinished(kStartMs) || query.exitStatus() != QProcess::NormalExit
        || query.exitCode() != 0) {
        return {};
    }
    // The answer may list several entries; the first is the one the desktop uses.
    const QString id
        = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().section(u';', 0, 0);
    if (id.isEmpty()) {
        return {};
    }
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
}

QStringList launchCommand(const DesktopEntry& entry, const QString& address)
{
    // The address is one argument whatever it holds: split at its blanks, a text such as
    // "http://x --option" would hand the browser an option of its own.
    const QStringList addressArgument = address.isEmpty() ? QStringList() : QStringList{address};
    QStringList command;
    bool addressPlaced = false;
    for (const QString& arg : splitExec(unescapeValue(entry.exec))) {
        if (arg.size() == 2 && arg[0] == u'%' && isAddressCode(arg[1])) {
            command << addressArgument;
            addressPlaced = true;
            continue;
        }
        if (arg == u"%i") {
            if (!entry.icon.isEmpty()) {
                command << QStringLiteral("--icon") << entry.icon;
            }
            continue;
        }
        QString expanded;
        bool hadCode = false;
        for (qsizetype i = 0; i < arg.size(); ++i) {
            if (arg[i] != u'%' || i + 1 == arg.size()) {
                expanded += arg[i];
                continue;
            }
            const QChar code = arg[++i];
            hadCode = hadCode || code != u'%';
            if (code == u'%') {
                expanded += u'%';
            } else if (isAddressCode(code)) {
                expanded += address;
                addressPlaced = true;
            } else if (code == u'c') {
                expanded += entry.name;
            } else if (code == u'k') {
                expanded += entry.path;
            }
            // Other codes (%i inside a word, and the deprecated ones) stand for nothing.
        }
        // An argument that was only codes standing for nothing is left out altogether.
        if (!(hadCode && expanded.isEmpty())) {
            command << expanded;
        }
    }
    if (!addressPlaced) {
        command << addressArgument;
    }
    return command;
}

bool startProgram(const QString& program, const QStringList& arguments)
{
    // Not deleted while it runs: destroying a QProcess kills its program, and the browser must
    // outlive both this call and this program. It reaps the program if that ends first.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(kStartMs)) {
        delete process;
        return false;
    }
    if (process->waitForFinished(kFailFastMs)) {
        const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return ok;
    }
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

} // namespace host
