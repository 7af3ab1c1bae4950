#include "ScriptedHost.h"
#include "TestMain.h"
#include "platform/host/DesktopEntry.h"
#include "platform/host/KeyStatePanel.h"
#include "platform/host/QtHost.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"

#include <QLineEdit>
#include <QVBoxLayout>

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void styleValuesAreSplitBeforeTheSeam_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("defaultButton");
        QTest::newRow("plain") << 0 << 0 << 0 << 0;
        QTest::newRow("stop yes/no/cancel second") << 275 << 3 << 16 << 256;
        QTest::newRow("warning") << 48 << 0 << 48 << 0;
        QTest::newRow("question yes/no third") << 548 << 4 << 32 << 512;
        QTest::newRow("information ok/cancel") << 65 << 1 << 64 << 0;
    }
    void styleValuesAreSplitBeforeTheSeam()
    {
        // Guards against the scripted and real hosts seeing different requests for one style.
        QFETCH(int, style);
        const host::MessageRequest r = host::makeRequest(QStringLiteral("x"), style, QString());
        QCOMPARE(r.style, style);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(int, defaultButton);
        QCOMPARE(r.buttons, buttons);
        QCOMPARE(r.icon, icon);
        QCOMPARE(r.defaultButton, defaultButton);
    }

    void emptyTitleShowsTheApplicationTitle()
    {
        // Guards against an untitled box showing no title or the program file's name.
        ScriptedHost h;
        h.answerNext(vb::vbYes);
        QCOMPARE(host::MsgBox(QStringLiteral("Sure?"), 275), int(vb::vbYes));
        QCOMPARE(h.messages().constFirst().title, QStringLiteral("Quorrel - Keyfold"));
        QCOMPARE(h.messages().constFirst().style, 275);
        VERIFY_DRAINED(h);
    }

    void replacedScriptedHostLeavesTheNewOneInstalled()
    {
        // Guards against a fixture's next host, made before the left-over one goes, being
        // pushed aside by the desktop host when the old one is dropped.
        host::Host* desktop = &host::host();
        auto older = std::make_unique<ScriptedHost>();
        auto old = std::make_unique<ScriptedHost>();
        old = std::make_unique<ScriptedHost>();
        QCOMPARE(&host::host(), static_cast<host::Host*>(old.get()));
        older.reset();
        QCOMPARE(&host::host(), static_cast<host::Host*>(old.get()));
        old.reset();
        QCOMPARE(&host::host(), desktop);
    }

    void cancelledFileDialogRaisesTheCancelError()
    {
        // Guards against a cancelled dialog being taken as an empty file name.
        ScriptedHost h;
        h.cancelFileNext();
        host::FileRequest r;
        r.title = QStringLiteral("Open");
        r.filter = QStringLiteral("Data Files (*.pnv)|*.pnv|All Files (*.*)|*.*");
        long number = 0;
        try {
            host::ShowFileDialog(r);
        } catch (const vb::Error& e) {
            number = e.number;
        }
        QCOMPARE(number, 32755L);
        h.fileNext(QStringLiteral("/data/a.pnv"), 2);
        const host::FileChoice c = host::ShowFileDialog(r);
        QCOMPARE(c.fileName, QStringLiteral("/data/a.pnv"));
        QCOMPARE(c.filterIndex, 2);
        r.cancelError = false;
        h.cancelFileNext();
        QVERIFY(host::ShowFileDialog(r).cancelled);
        QCOMPARE(host::qtNameFilters(r.filter),
                 QStringLiteral("Data Files (*.pnv);;All Files (*)"));
        VERIFY_DRAINED(h);
    }

    void execLineIsExpandedAsTheDesktopDoes_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("command");
        const QString url = QStringLiteral("http://a.org/x");
        QTest::newRow("wrapper keeps its words")
            << "flatpak run --branch=stable org.example.Web %u" << url
            << QStringList{"flatpak", "run", "--branch=stable", "org.example.Web", url};
        QTest::newRow("list code") << "env A=1 web %U --x" << url
                                   << QStringList{"env", "A=1", "web", url, "--x"};
        QTest::newRow("quotes and escapes")
            << QString::fromUtf8(R"("/opt/My Web/run" --title "say \\"hi\\"" "" %f)") << url
            << QStringList{"/opt/My Web/run", "--title", "say \"hi\"", "", url};
        QTest::newRow("no code: address appended") << "web --new-window" << url
                                                   << QStringList{"web", "--new-window", url};
        QTest::newRow("other codes") << "web %i --class=%c %k 100%% %d %m %u" << url
                                     << QStringList{"web", "--icon", "web-icon", "--class=Web",
                                                    "/apps/web.desktop", "100%", url};
        const QString withOption = QStringLiteral("https://a.org --renderer-cmd-prefix=/x.sh");
        QTest::newRow("address is one argument") << "web %u" << withOption
                                                 << QStringList{"web", withOption};
        QTest::newRow("appended as one argument") << "web" << withOption
                                                  << QStringList{"web", withOption};
        QTest::newRow("code inside a word") << "web --url=%u" << "http://a.org/a b"
                                            << QStringList{"web", "--url=http://a.org/a b"};
    }
    void execLineIsExpandedAsTheDesktopDoes()
    {
        // Guards against a wrapper's own words being dropped, or field codes reaching the program.
        QFETCH(QString, exec);
        QFETCH(QString, address);
        QFETCH(QStringList, command);
        const host::DesktopEntry entry{QStringLiteral("/apps/web.desktop"), QStringLiteral("Web"),
                                       QStringLiteral("web-icon"), exec};
        QCOMPARE(host::launchCommand(entry, address), command);
    }

    void startedProgramReportsAnImmediateFailure_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("started");
        QTest::newRow("ends well") << "/bin/true" << QStringList() << true;
        QTest::newRow("keeps running") << "/bin/sleep" << QStringList{"1"} << true;
        QTest::newRow("fails at once") << "/bin/sh" << QStringList{"-c", "exit 3"} << false;
        QTest::newRow("wrapper without target") << "env" << QStringList{"/no/such/web"} << false;
        QTest::newRow("no such program") << "/no/such/web" << QStringList() << false;
    }
    void startedProgramReportsAnImmediateFailure()
    {
        // Guards against a browser that never came up being reported as started.
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, started);
        QCOMPARE(host::startProgram(program, arguments), started);
    }

    void capsPanelFollowsTheLock()
    {
        // Guards against the CAPS panel showing a stale or inverted Caps Lock state.
        ScriptedHost h;
        host::KeyStatePanel panel(vb::vbKeyCapital, QStringLiteral("CAPS"));
        QVERIFY(!panel.isEnabled());
        for (const short state : {1, -127, -128, 0}) {
            h.setKeyState(vb::vbKeyCapital, state);
            panel.refresh();
            QCOMPARE(panel.isEnabled(), state == 1 || state == -127);
        }
    }

    void postedKeysMoveTheFocusAndSelect()
    {
        // Guards against the desktop key sender doing nothing or acting before the caller returns.
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* first = new QLineEdit(QStringLiteral("first"));
        auto* second = new QLineEdit(QStringLiteral("second text"));
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        host::postKeys(first, QStringLiteral("{tab}"));
        QCOMPARE(window.focusWidget(), first); // queued, not yet applied
        QCoreApplication::processEvents();
        QCOMPARE(window.focusWidget(), second);
        second->setCursorPosition(3);
        host::postKeys(second, QStringLiteral("{home}+{end}"));
        QCoreApplication::processEvents();
        QCOMPARE(second->selectedText(), QStringLiteral("second text"));
    }
};

PINVARA_TEST_MAIN(TestHost)
#include "tst_host.moc"
