// A clean start for main-window tests: a logged-in user, an empty settings store, a scratch
// folder as the working folder, and a scripted host.
#pragma once

#include "ScriptedHost.h"
#include "cipher/StringCipher.h"
#include "errortrace/CatchwellState.h"
#include "errortrace/modCatchwell.h"
#include "mainwindow/frmMain.h"
#include "platform/settings/SettingsStore.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

struct MainWindowFixture
{
    inline static const QString kApp = QStringLiteral("Quorrel - Keyfold");
    inline static const QString kSection = QStringLiteral("Accounts\\JOHN\\Settings");

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedHost> host;
    QString previousDir;
    int traps = 0;

    void setUp(const QString& master = QStringLiteral("Secret#1"))
    {
        dir = std::make_unique<QTemporaryDir>();
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir->path());
        host = std::make_unique<ScriptedHost>();
        QFile::remove(settings::settingsFile(kApp));
        resetGlobals();
        modCatchwell::resetState();
        modCatchwell::setAppFolder(dir->path());
        traps = 0;
        modCatchwell::setReportHook([this] {
            ++traps;
            return int16_t(0);
        });
        login(QStringLiteral("JOHN"), master);
        frmMain::setCommandLineText(QString());
        frmMain::setToday({});
        frmMain::setBeforeReplaceHook({});
    }

    static void login(const QString& user, const QString& master)
    {
        gUserName = user;
        gMasterPassword = master;
        Module1::SetKey(master);
        gStoredPassword = Module1::Encrypt(master);
    }

    void tearDown()
    {
        frmMain::setCommandLineText(std::nullopt);
        frmMain::setToday({});
        frmMain::setBeforeReplaceHook({});
        modCatchwell::setReportHook({});
        modCatchwell::setAppFolder({});
        modCatchwell::resetState();
        QDir::setCurrent(previousDir);
        host.reset();
        dir.reset();
    }

    QString path(const QString& name) const { return dir->filePath(name); }

    static void save(const char* key, const QString& value)
    {
        settings::SaveSetting(kApp, kSection, QString::fromLatin1(key), value);
    }

    static QString stored(const char* key)
    {
        return settings::GetSetting(kApp, kSection, QString::fromLatin1(key), QStringLiteral("<none>"));
    }

    /// A data file made from the template, not yet keyed.
    QString templateFile(const QString& name) const
    {
        const QString file = path(name);
        if (Module1::SaveResItemToDisk(QStringLiteral("DATABASE"), QStringLiteral("CUSTOM"), file) != 0) {
            return QString();
        }
        return file;
    }

    static QByteArray header(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.read(16) : QByteArray();
    }
};
