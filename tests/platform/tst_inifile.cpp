#include "TestMain.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

private slots:
    void initTestCase()
    {
        m_file = m_dir.filePath(QStringLiteral("test.ini"));
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; a comment\r\n"
                "[Log File]\r\n"
                "CircularLog=1\r\n"
                "  Write To Disk  =  -1  \r\n"
                "[preferences]\r\n"
                "Silent Run=10\r\n"
                "Quoted=\"  a b \"\r\n"
                "Single='x'\r\n"
                "Lonely=\"x\r\n"
                "Empty=\r\n"
                "no equals sign\r\n"
                "[email]\r\n"
                "Address=someone@example.org\r\n");
    }

    void readsAsTheProfileApiDoes_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("def");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Log File" << "CircularLog" << "0" << 5 << "1";
        QTest::newRow("section and key without case") << "LOG FILE" << "circularlog" << "0" << 5
                                                       << "1";
        QTest::newRow("blanks around key and value") << "log file" << "Write To Disk" << "" << 8
                                                     << "-1";
        QTest::newRow("two-character buffer keeps one") << "preferences" << "Silent Run" << "0"
                                                        << 2 << "1";
        QTest::newRow("quotes removed, inner blanks kept") << "preferences" << "Quoted" << "" << 128
                                                           << "  a b ";
        QTest::newRow("single quotes") << "preferences" << "Single" << "" << 128 << "x";
        QTest::newRow("unmatched quote stays") << "preferences" << "Lonely" << "" << 128 << "\"x";
        QTest::newRow("empty value is not the default") << "preferences" << "Empty" << "zz" << 128
                                                        << "";
        QTest::newRow("missing key gives default") << "preferences" << "Display Mode" << "0" << 2
                                                   << "0";
        QTest::newRow("missing section gives default") << "include" << "User" << "1" << 2 << "1";
        QTest::newRow("default cut to buffer") << "include" << "User" << "circ0001.log" << 5
                                               << "circ";
        QTest::newRow("default loses trailing blanks") << "include" << "User" << "ab  " << 128
                                                       << "ab";
        QTest::newRow("key of another section") << "email" << "Silent Run" << "d" << 2 << "d";
        QTest::newRow("buffer of one holds nothing") << "email" << "Address" << "" << 1 << "";
        QTest::newRow("long value cut") << "email" << "Address" << "" << 8 << "someone";
    }
    void readsAsTheProfileApiDoes()
    {
        // Guards against settings read with the wrong case, blank, quote or buffer rules.
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, def);
        QFETCH(int, buffer);
        QFETCH(QString, expected);
        QCOMPARE(ini::GetPrivateProfileString(section, key, def, buffer, m_file), expected);
    }

    void missingFileGivesDefault()
    {
        // Guards against a missing settings file failing instead of giving the defaults.
        QCOMPARE(ini::GetPrivateProfileString(u"a"_s, u"b"_s, u"dflt"_s, 128,
                                              m_dir.filePath(u"none.ini"_s)),
                 u"dflt"_s);
        QCOMPARE(ini::GetPrivateProfileString(u"a"_s, u"b"_s, u"dflt"_s, 128, QString()), u"dflt"_s);
    }
};

PINVARA_TEST_MAIN(TestIniFile)
#include "tst_inifile.moc"
