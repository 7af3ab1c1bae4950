// Puts the error component into a known state for a test: temporary program folder, working
// folder and state folder, fixed clocks, a scripted host, recorded mail and a scripted report
// answer.
#pragma once

#include "ScriptedHost.h"
#include "errortrace/CatchwellState.h"
#include "errortrace/modCatchwell.h"
#include "platform/clock/Clock.h"
#include "platform/mail/Mail.h"
#include "platform/userdirs/UserDirs.h"
#include "platform/vb/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

struct CatchwellFixture
{
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedHost> host;
    QString previousDir;
    QByteArray previousState;
    qint64 ticks = 1000;
    bool inIde = false;
    int reports = 0;
    int16_t answer = 0;
    QList<mail::Message> mails;
    QStringList attachments;

    void setUp()
    {
        dir = std::make_unique<QTemporaryDir>();
        host = std::make_unique<ScriptedHost>();
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir->path());
        previousState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", dir->filePath(QStringLiteral("state")).toLocal8Bit());
        modCatchwell::resetState();
        vb::Err().clear();
        modCatchwell::setAppFolder(dir->path());
        ticks = 1000;
        inIde = false;
        reports = 0;
        answer = 0;
        mails.clear();
        attachments.clear();
        sysclock::setTicks([this] { return ticks; });
        sysclock::setNow([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); });
        modCatchwell::setInIdeRule([this] { return inIde; });
        modCatchwell::setReportHook([this] {
            ++reports;
            return answer;
        });
        mail::setSender([this](const mail::Message& m) {
            mails << m;
            QFile f(m.attachmentPath);
            attachments << (f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString());
            return true;
        });
    }

    void tearDown()
    {
        modCatchwell::resetState();
        modCatchwell::setReportHook({});
        modCatchwell::setInIdeRule({});
        modCatchwell::setAppFolder({});
        mail::setSender({});
        sysclock::setTicks({});
        sysclock::setNow({});
        QDir::setCurrent(previousDir);
        qputenv("XDG_STATE_HOME", previousState);
        host.reset();
        dir.reset();
    }

    QString path(const QString& name) const { return dir->filePath(name); }

    /// Where a log file name given to the component ends up.
    static QString logPath(const QString& name) { return userdirs::stateFilePath(name); }

    void writeIni(const QByteArray& text) const
    {
        QFile f(path(QStringLiteral("CWCLIENT.INI")));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }

    static QByteArray read(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
