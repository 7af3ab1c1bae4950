// The settings store: byte-exact values (also in a new process), names without case, and
// "\" as the section separator.
#include "TestMain.h"
#include "platform/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

const QString kApp = u"Quorrel - Keyfold"_s;
const QString kChildSwitch = u"--print-setting"_s;

QString allCodes()
{
    QString text;
    for (int code = 0; code < 256; ++code) {
        text += QChar(code);
    }
    return text;
}

// Run as "tst_settings --print-setting <section> <key>", the executable prints the stored
// value as hexadecimal UTF-8 and ends, so a value can be read by a process that never
// wrote it.
void printSettingInChild()
{
    const QStringList args = QCoreApplication::arguments();
    const qsizetype at = args.indexOf(kChildSwitch);
    if (at < 0 || at + 2 >= args.size()) {
        return;
    }
    const QString value = settings::GetSetting(kApp, args[at + 1], args[at + 2], u"<missing>"_s);
    std::fputs(value.toUtf8().toHex().constData(), stdout);
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(printSettingInChild)

class TestSettings : public QObject
{
    Q_OBJECT

    static QString readInFreshProcess(const QString& section, const QString& key)
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {kChildSwitch, section, key});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            return u"<child failed>"_s;
        }
        return QString::fromUtf8(QByteArray::fromHex(child.readAllStandardOutput()));
    }

private slots:
    void initTestCase()
    {
        // Each run starts from an empty store.
        QFile::remove(settings::settingsFile(kApp));
    }

    void valuesReadBackExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("all 256 codes") << allCodes();
        QTest::newRow("NUL only") << QString(1, QChar(0));
        QTest::newRow("looks like a variant") << u"@Invalid()"_s;
        QTest::newRow("looks like a list") << u"a, b,c"_s;
        QTest::newRow("outer blanks") << u"  pass word  "_s;
        QTest::newRow("quotes and escapes") << u"\"x\" \\n ;y =z [s]"_s;
        QTest::newRow("line breaks") << u"one\r\ntwo\n"_s;
        QTest::newRow("beyond latin-1") << u"\u20AC\u4E2D"_s;
        QTest::newRow("empty") << QString();
    }

    void valuesReadBackExactly()
    {
        // Guards against a stored cipher text being cut, unescaped or re-typed on the way back.
        QFETCH(QString, value);
        const QString key =
            u"v_"_s + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
        settings::SaveSetting(kApp, u"Accounts\\EXACT"_s, key, value);
        QCOMPARE(settings::GetSetting(kApp, u"Accounts\\EXACT"_s, key, u"<missing>"_s), value);
        QCOMPARE(readInFreshProcess(u"Accounts\\EXACT"_s, key), value);
    }

    void namesCompareWithoutCase()
    {
        // Guards against a user's verifier being lost when a name is spelt in another case.
        settings::SaveSetting(kApp, u"Accounts\\john"_s, u"pw"_s, u"first"_s);
        QCOMPARE(settings::GetSetting(kApp, u"ACCOUNTS\\JOHN"_s, u"PW"_s), u"first"_s);
        QCOMPARE(readInFreshProcess(u"accounts\\John"_s, u"Pw"_s), u"first"_s);

        settings::SaveSetting(kApp, u"ACCOUNTS\\JOHN"_s, u"PW"_s, u"second"_s);
        QCOMPARE(settings::GetSetting(kApp, u"Accounts\\john"_s, u"pw"_s), u"second"_s);
        QSettings file(settings::settingsFile(kApp), QSettings::IniFormat);
        QCOMPARE(file.childGroups().filter(u"accounts"_s, Qt::CaseInsensitive).size(), 1);
        file.beginGroup(u"Accounts"_s);
        QCOMPARE(file.childGroups().filter(u"john"_s, Qt::CaseInsensitive).size(), 1);
    }

    void anyUserNameFindsItsOwnSection_data()
    {
        QTest::addColumn<QString>("user");
        QTest::newRow("slash") << u"J/SMITH"_s;
        QTest::newRow("escaped slash look-alike") << u"J%2FSMITH"_s;
        QTest::newRow("percent") << u"100%"_s;
        QTest::newRow("blank") << u"JOHN DOE"_s;
        QTest::newRow("ini syntax") << u"[X]=Y;#Z"_s;
        QTest::newRow("latin-1") << QString::fromLatin1("\xC4RNE");
    }

    void anyUserNameFindsItsOwnSection()
    {
        // Guards against a user name that the file cannot hold as one level: its verifier
        // would never be found, and every login would register the user anew.
        QFETCH(QString, user);
        const QString section = u"Accounts\\"_s + user;
        settings::SaveSetting(kApp, section, u"pw"_s, user + u"-verifier"_s);
        settings::SaveSetting(kApp, section + u"\\Settings"_s, u"PeekOn"_s, user);
        QCOMPARE(settings::GetSetting(kApp, section.toLower(), u"PW"_s), user + u"-verifier"_s);
        QCOMPARE(settings::GetSetting(kApp, section + u"\\SETTINGS"_s, u"peekon"_s), user);
        QCOMPARE(readInFreshProcess(section, u"pw"_s), user + u"-verifier"_s);
        QSettings file(settings::settingsFile(kApp), QSettings::IniFormat);
        file.beginGroup(u"Accounts"_s);
        QVERIFY(!file.childGroups().contains(u"J"_s, Qt::CaseInsensitive)); // not split at "/"
    }

    void missingEntriesGiveTheDefault_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("key") << kApp << u"Accounts\\MARY"_s << u"Missing"_s;
        QTest::newRow("section") << kApp << u"Accounts\\NOBODY"_s << u"pw"_s;
        QTest::newRow("deeper section") << kApp << u"Accounts\\MARY\\Settings\\More"_s << u"pw"_s;
        QTest::newRow("group taken for a key") << kApp << u"Accounts"_s << u"MARY"_s;
        QTest::newRow("application") << u"Another App"_s << u"Accounts\\MARY"_s << u"pw"_s;
    }

    void missingEntriesGiveTheDefault()
    {
        // Guards against a missing entry reading as an empty text instead of the default.
        QFETCH(QString, app);
        QFETCH(QString, section);
        QFETCH(QString, key);
        settings::SaveSetting(kApp, u"Accounts\\MARY"_s, u"pw"_s, u"x"_s);
        settings::SaveSetting(kApp, u"Accounts\\MARY"_s, u"Empty"_s, QString());
        QCOMPARE(settings::GetSetting(app, section, key, u"dflt"_s), u"dflt"_s);
        QCOMPARE(settings::GetSetting(app, section, key), QString());
        QCOMPARE(settings::GetSetting(kApp, u"Accounts\\MARY"_s, u"Empty"_s, u"dflt"_s),
                 QString());
    }

    void backslashSeparatesSections()
    {
        // Guards against "\" being kept as a character, which would make each user's settings
        // section a stranger to its account section.
        settings::SaveSetting(kApp, u"Accounts\\PAUL"_s, u"pw"_s, u"outer"_s);
        settings::SaveSetting(kApp, u"Accounts\\PAUL\\Settings"_s, u"pw"_s, u"inner"_s);
        QCOMPARE(settings::GetSetting(kApp, u"Accounts\\PAUL"_s, u"pw"_s), u"outer"_s);
        QCOMPARE(settings::GetSetting(kApp, u"accounts\\paul\\settings"_s, u"PW"_s), u"inner"_s);
        QSettings file(settings::settingsFile(kApp), QSettings::IniFormat);
        QVERIFY(file.childGroups().contains(u"Accounts"_s));
        QCOMPARE(file.value(u"Accounts/PAUL/Settings/pw"_s).toString(), u"inner"_s);
        QCOMPARE(file.value(u"Accounts/PAUL/pw"_s).toString(), u"outer"_s);
    }

    void theFileStaysOwnerOnly()
    {
        // Guards against every user's password verifier being readable by other local users.
        const QString file = settings::settingsFile(kApp);
        const auto owner = QFile::ReadOwner | QFile::WriteOwner;
        const auto others = QFile::ReadGroup | QFile::ReadOther;
        QFile::remove(file);
        settings::SaveSetting(kApp, u"Accounts\\PRIV"_s, u"pw"_s, u"v1"_s);
        QCOMPARE(QFile::permissions(file) & (owner | others), owner);
        QVERIFY(QFile::setPermissions(file, owner | others));
        settings::SaveSetting(kApp, u"Accounts\\PRIV"_s, u"pw"_s, u"v2"_s);
        QCOMPARE(QFile::permissions(file) & (owner | others), owner);
    }

    void aFailedWriteIsReported()
    {
        // Guards against a value that never reached the file being taken as stored, and a line
        // the store cannot parse being taken for a failed write.
        const QString file = settings::settingsFile(kApp);
        QFile::remove(file);
        QVERIFY(QDir().mkdir(file));
        QVERIFY(!settings::SaveSetting(kApp, u"Accounts\\FAIL"_s, u"pw"_s, u"lost"_s));
        QVERIFY(QDir().rmdir(file));
        QFile junk(file);
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("no equals sign\n") && junk.flush());
        QVERIFY(settings::SaveSetting(kApp, u"Accounts\\FAIL"_s, u"pw"_s, u"kept"_s));
        QCOMPARE(readInFreshProcess(u"Accounts\\FAIL"_s, u"pw"_s), u"kept"_s);
    }
};

PINVARA_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
