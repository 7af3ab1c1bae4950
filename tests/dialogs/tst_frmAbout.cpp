#include "ScriptedHost.h"
#include "TestMain.h"
#include "dialogs/frmAbout.h"
#include "errortrace/CatchwellState.h"
#include "errortrace/modCatchwell.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "startup/Module1.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using registry::HKEY_LOCAL_MACHINE;

namespace {

const QString kToolKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kFolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

    std::unique_ptr<testenv::ScratchHome> home;
    std::unique_ptr<ScriptedHost> host;
    QStringList started;
    bool startWorks = true;
    int traps = 0;
    long trapped = 0; // the error number the trap saw last

private slots:
    void init()
    {
        home = std::make_unique<testenv::ScratchHome>();
        host = std::make_unique<ScriptedHost>();
        registry::reset(false);
        started.clear();
        startWorks = true;
        frmAbout::setShell([this](const QString& path) {
            started << path;
            return startWorks;
        });
        modCatchwell::resetState();
        modCatchwell::setAppFolder(home->path());
        traps = 0;
        trapped = 0;
        modCatchwell::setReportHook([this] {
            ++traps;
            trapped = vb::Err().number;
            return int16_t(0);
        });
    }
    void cleanup()
    {
        VERIFY_DRAINED(*host);
        frmAbout::setShell({});
        Module1::setProcessStarter({});
        modCatchwell::setReportHook({});
        modCatchwell::setAppFolder({});
        modCatchwell::resetState();
        registry::reset();
        host.reset();
        home.reset();
    }

    void showsNameVersionAndContacts()
    {
        // Guards against the table's placeholder texts showing instead of the program's own.
        frmAbout f;
        QCOMPARE(f.windowTitle(), QStringLiteral("About Pinvara"));
        QCOMPARE(
            f.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Pinvara"));
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
            QStringLiteral("Version 1.1.0"));
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("lblDescription"))->text(),
            QStringLiteral("Keep secure control over your P.I.N.'s..."));
        QCOMPARE(f.findChild<QLabel*>(QStringLiteral("lblDisclaimer"))->text(),
            QStringLiteral("Contacts:"));
        QCOMPARE(f.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->text(),
            QStringLiteral("&System Info..."));
        QVERIFY(!f.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
        f.show();
        f.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QVERIFY(f.isHidden());
    }

    void systemInformationTool_data()
    {
        QTest::addColumn<QString>("toolPath");   // value of the tool's own key, "" for none
        QTest::addColumn<QString>("folder");     // value of the shared tools' key, "" for none
        QTest::addColumn<bool>("fileInFolder");  // MSINFO32.EXE exists in that folder
        QTest::addColumn<QString>("expected");   // what is started, "" for the message
        QTest::addColumn<bool>("startWorks");
        QTest::newRow("neither entry") << "" << "" << false << "" << true;
        QTest::newRow("tool's own key") << "/usr/bin/sysinfo-tool" << "" << false
                                        << "/usr/bin/sysinfo-tool" << true;
        QTest::newRow("folder with the file")
            << "" << "<home>" << true << "<home>/MSINFO32.EXE" << true;
        QTest::newRow("folder without the file") << "" << "<home>" << false << "" << true;
        QTest::newRow("tool that will not start") << "/nowhere/tool" << "" << false
                                                  << "/nowhere/tool" << false;
    }
    void systemInformationTool()
    {
        // Guards against the wrong key read first, a missing file started, no message, or a
        // failed start passing silently.
        QFETCH(QString, toolPath);
        QFETCH(QString, folder);
        QFETCH(bool, fileInFolder);
        QFETCH(QString, expected);
        QFETCH(bool, startWorks);
        this->startWorks = startWorks;
        folder.replace(QStringLiteral("<home>"), home->path());
        expected.replace(QStringLiteral("<home>"), home->path());
        if (!toolPath.isEmpty()) {
            registry::setString(HKEY_LOCAL_MACHINE, kToolKey, QStringLiteral("PATH"), toolPath);
        }
        if (!folder.isEmpty()) {
            registry::setString(HKEY_LOCAL_MACHINE, kFolderKey, QStringLiteral("MSINFO"), folder);
        }
        if (fileInFolder) {
            writeFile(folder + QStringLiteral("/MSINFO32.EXE"), "tool");
        }
        if (expected.isEmpty()) {
            host->answerNext(vb::vbOK);
        }
        frmAbout f;
        f.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->click();
        QCOMPARE(started, expected.isEmpty() ? QStringList() : QStringList { expected });
        QCOMPARE(traps, startWorks ? 0 : 1);
        QCOMPARE(trapped, startWorks ? 0L : 53L);
        const QList<ScriptedHost::Entry> boxes = host->messages();
        QCOMPARE(boxes.size(), expected.isEmpty() ? 1 : 0);
        if (expected.isEmpty()) {
            QCOMPARE(
                boxes[0].text, QStringLiteral("System Information Is Unavailable At This Time."));
            QCOMPARE(boxes[0].style, 0);
            QCOMPARE(boxes[0].title, host::kAppTitle); // an empty title shows the program's
        }
    }

    void toolThatFailsAtOnce_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<long>("error");
        QTest::newRow("runs") << "/bin/true" << 0L;
        QTest::newRow("fails at once") << "/bin/false" << 53L;
    }
    void toolThatFailsAtOnce()
    {
        // Guards against a tool that ends in failure as it starts being taken as started.
        QFETCH(QString, tool);
        QFETCH(long, error);
        frmAbout::setShell({});
        registry::setString(HKEY_LOCAL_MACHINE, kToolKey, QStringLiteral("PATH"), tool);
        frmAbout f;
        f.StartSysInfo();
        QCOMPARE(traps, error == 0 ? 0 : 1);
        QCOMPARE(trapped, error);
    }

    void keyValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("value");
        QTest::newRow("text") << kToolKey << uint(registry::REG_SZ) << QByteArray("/a/b\0junk", 10)
                              << true << "/a/b";
        QTest::newRow("double word") << kToolKey << uint(registry::REG_DWORD)
                                     << QByteArray("\x02\x01\x00\x00", 4) << true << "258";
        QTest::newRow("other type keeps the value")
            << kToolKey << uint(registry::REG_BINARY) << QByteArray("\x01\x02", 2) << true
            << "before";
        QTest::newRow("missing key") << "SOFTWARE\\Elsewhere" << uint(registry::REG_SZ)
                                     << QByteArray("x", 2) << false << "";
        QTest::newRow("too long for the buffer") << kToolKey << uint(registry::REG_SZ)
                                                 << QByteArray(1500, 'x') << false << "";
    }
    void keyValues()
    {
        // Guards against a text read past its NUL, a number shown as raw bytes, or a failed
        // read that keeps the caller's old value.
        QFETCH(QString, key);
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, result);
        QFETCH(QString, value);
        registry::setValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("Value"), type, data);
        QString out = QStringLiteral("before");
        QCOMPARE(frmAbout::GetKeyValue(HKEY_LOCAL_MACHINE, kToolKey, QStringLiteral("value"), out),
            result);
        QCOMPARE(out, value);
    }

    void contactBoxesSelectOnClick()
    {
        // Guards against the mail box opening anything, or the web box not opening the browser.
        writeFile(home->path() + QStringLiteral("/.config/mimeapps.list"),
            "[Default Applications]\ntext/html=pinvaratest.desktop\n");
        writeFile(home->path() + QStringLiteral("/.local/share/applications/pinvaratest.desktop"),
            "[Desktop Entry]\nType=Application\nName=Test\nExec=/bin/true %u\n");
        QStringList browsed;
        Module1::setProcessStarter([&](const QString&, const QStringList& arguments) {
            browsed << arguments;
            return true;
        });
        frmAbout f;
        f.show();
        auto* mail = f.findChild<QLineEdit*>(QStringLiteral("txtEmail"));
        auto* web = f.findChild<QLineEdit*>(QStringLiteral("txtWeb"));
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(mail->selectedText(), mail->text());
        QVERIFY(browsed.isEmpty());
        QTest::mouseClick(web, Qt::LeftButton);
        QCOMPARE(web->selectedText(), web->text());
        QCOMPARE(browsed, QStringList { web->text() });
    }
};

PINVARA_TEST_MAIN(TestFrmAbout)
#include "tst_frmAbout.moc"
