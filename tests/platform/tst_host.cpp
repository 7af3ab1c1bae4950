#include "ScriptedHost.h"
#include "TestMain.h"
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
                 QStringLiteral("Data Files (*.pnv) (*.pnv);;All Files (*.*) (*.*)"));
        VERIFY_DRAINED(h);
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
