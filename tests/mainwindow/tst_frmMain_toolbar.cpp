#include "DataFileFixture.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "dialogs/frmRandomiser.h"
#include "mainwindow/SkinImage.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/tray/NotifyIcon.h"
#include "resources/Resources.h"

#include <QAction>
#include <QGroupBox>
#include <QImageReader>
#include <QPushButton>
#include <QToolBar>

class TestFrmMainToolbar : public QObject
{
    Q_OBJECT

    std::unique_ptr<testenv::ScratchHome> home;
    MainWindowFixture fx;

    static SkinImage* image(const frmMain& w, const QString& name)
    {
        return w.findChild<SkinImage*>(name);
    }

    // Whether a menu item, toolbar button or control found by name under root is enabled.
    static bool enabled(const QObject* root, const QString& name)
    {
        QObject* o = root->findChild<QObject*>(name);
        auto* a = qobject_cast<QAction*>(o);
        return a != nullptr ? a->isEnabled() : qobject_cast<QWidget*>(o)->isEnabled();
    }

    // The window with a data file of n accounts open (n < 0: no file).
    void openFile(frmMain& w, int accounts)
    {
        if (accounts < 0) {
            return;
        }
        QStringList rows;
        for (int i = 0; i < accounts; ++i) {
            rows << QStringLiteral("Account %1|http://a%1.example|id|pw").arg(i);
        }
        gDBpath = fx.path(QStringLiteral("accounts.pnv"));
        testdata::writeEncryptedFile(gDBpath, rows, QStringLiteral("Secret#1R7305"));
        QVERIFY(w.DBconnect(QString()));
    }

    QStringList tempFiles() const
    {
        return QDir(home->tempDir()).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void init()
    {
        home = std::make_unique<testenv::ScratchHome>();
        fx.setUp();
    }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
        home.reset();
    }

    void picturesAreGif89aAtTheirSizes_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QSize>("size");
        const QSize field(24, 12);
        const QSize tool(24, 24);
        for (const char* b : { "PEEK", "YELLOW", "BLUE" }) {
            QTest::newRow(b) << QString::fromLatin1(b) << field;
        }
        QTest::newRow("PLUS") << "PLUS" << QSize(32, 32);
        QTest::newRow("X") << "X" << QSize(32, 32);
        QTest::newRow("V") << "V" << QSize(32, 24);
        QTest::newRow("CLR") << "CLR" << QSize(24, 48);
        for (const char* b : { "OPEN", "TB-CLOSE", "TB-NEW", "TB-UNLOCK", "SAVE", "PRINT",
                 "TB-OPTIONS", "TB-HELP", "TB-INFO", "MIN", "EXIT", "LED-G", "LED-R" }) {
            QTest::newRow(b) << QString::fromLatin1(b) << tool;
        }
        QTest::newRow("TB-DISABLED") << "TB-DISABLED" << tool;
    }
    void picturesAreGif89aAtTheirSizes()
    {
        // Guards against a missing picture, a wrong size, or a pressed face equal to the
        // released one.
        QFETCH(QString, base);
        QFETCH(QSize, size);
        resources::initResources();
        const QStringList names = base == u"TB-DISABLED"
            ? QStringList { base }
            : QStringList { base + QStringLiteral("UP"), base + QStringLiteral("DOWN") };
        QList<QByteArray> bytes;
        for (const QString& name : names) {
            QFile f(QStringLiteral(":/") + name);
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
            bytes << f.readAll();
            QVERIFY(bytes.last().startsWith("GIF89a"));
            QVERIFY(bytes.last().size() < 1300);
            QImageReader reader(QStringLiteral(":/") + name);
            QCOMPARE(reader.format(), QByteArray("gif"));
            QCOMPARE(reader.read().size(), size);
        }
        if (bytes.size() == 2) {
            QVERIFY(bytes[0] != bytes[1]);
        }
    }

    void swapsLeaveNoTemporaryFile()
    {
        // Guards against a swap leaving its file behind, or a failed swap changing the picture.
        frmMain w;
        QVERIFY(tempFiles().isEmpty());
        w.UpdateImage(w.imgTBopen, QStringLiteral("OPENDOWN"));
        QCOMPARE(w.imgTBopen->pictureName(), QStringLiteral("OPENDOWN"));
        QCOMPARE(w.imgTBopen->picture().size(), QSize(24, 24));
        QVERIFY(gTempImageFile.startsWith(home->tempDir() + QStringLiteral("/pnv")));
        w.UpdateImage(w.imgTBopen, QStringLiteral("NO-SUCH-PICTURE"));
        QCOMPARE(w.imgTBopen->pictureName(), QStringLiteral("OPENDOWN"));
        QVERIFY2(tempFiles().isEmpty(), qPrintable(tempFiles().join(u' ')));
        // No usable temporary folder: the picture stays and nothing is reported.
        QDir(home->tempDir()).removeRecursively();
        QFile blocker(home->tempDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        w.UpdateImage(w.imgTBopen, QStringLiteral("OPENUP"));
        QCOMPARE(w.imgTBopen->pictureName(), QStringLiteral("OPENDOWN"));
        QCOMPARE(fx.traps, 0);
    }

    void updateTools_data()
    {
        QTest::addColumn<int>("accounts"); // -1: no file; -2: a file that was closed
        QTest::addColumn<bool>("pictures");
        for (bool pictures : { true, false }) {
            const char* flag = pictures ? " with pictures" : " without pictures";
            QTest::addRow("no file%s", flag) << -1 << pictures;
            QTest::addRow("closed file%s", flag) << -2 << pictures;
            QTest::addRow("empty file%s", flag) << 0 << pictures;
            QTest::addRow("file with accounts%s", flag) << 3 << pictures;
        }
    }
    void updateTools()
    {
        // Guards against a command offered in the wrong file state, or toolbar pictures
        // swapped when the caller asked for enabled states only.
        QFETCH(int, accounts);
        QFETCH(bool, pictures);
        frmMain w;
        openFile(w, accounts == -2 ? 1 : accounts);
        if (accounts == -2) {
            w.CompactAndEncrypt(QString(), QString());
            QVERIFY(w.Adodc1->Recordset() != nullptr);
        }
        SkinImage* files[] = { w.imgTBsave, w.imgTBprint, w.imgTBclose, w.imgTBopen,
            w.imgTBunlock, w.imgTBnew };
        for (SkinImage* i : files) {
            i->setPictureName(QStringLiteral("before"));
        }
        w.UpdateTools(pictures);

        const bool open = accounts >= 0;
        const bool records = accounts > 0;
        for (const char* name : { "mnuDeleteEntry", "cmdClear", "cmdRP", "Adodc1" }) {
            QVERIFY2(enabled(&w, QString::fromLatin1(name)) == records, name);
        }
        for (const char* name : { "mnuAddEntry", "cmdAdd", "mnuFileClose", "mnuFileSaveAs",
                 "mnuFilePrint", "imgTBsave", "imgTBprint", "imgTBclose", "Frame2" }) {
            QVERIFY2(enabled(&w, QString::fromLatin1(name)) == open, name);
        }
        for (const char* name : { "mnuFileOpen", "mnuOpenSpecial", "mnuNewDB", "imgTBopen",
                 "imgTBunlock", "imgTBnew" }) {
            QVERIFY2(enabled(&w, QString::fromLatin1(name)) == !open, name);
        }
        QCOMPARE(enabled(w.tbToolBar, QStringLiteral("SaveAs")), open);
        QCOMPARE(enabled(w.tbToolBar, QStringLiteral("Print")), open);
        QCOMPARE(enabled(w.tbToolBar, QStringLiteral("Open")), !open);
        QVERIFY(enabled(w.tbToolBar, QStringLiteral("New")));
        QCOMPARE(w.Frame3->isVisibleTo(&w), open);
        for (const char* name : { "txtAccount", "cmdAccount", "txtURL", "cmdURL", "cmdGoUrl",
                 "txtID", "cmdName", "txtPW", "cmdSP", "txtHint", "cmdHint", "txtINFO", "cmdInfo",
                 "txtKey1Label", "txtKey1", "cmdKey1", "txtKey2Label", "txtKey2", "cmdKey2",
                 "txtKey3Label", "txtKey3", "cmdKey3", "txtKey4Label", "txtKey4", "cmdKey4" }) {
            QVERIFY2(enabled(&w, QString::fromLatin1(name)) == records, name);
        }
        QStringList shown;
        for (SkinImage* i : files) {
            shown << i->pictureName();
        }
        const QString off = QStringLiteral("TB-DISABLED");
        const QStringList expected = !pictures ? QStringList(6, QStringLiteral("before"))
            : open ? QStringList { "SAVEUP", "PRINTUP", "TB-CLOSEUP", off, off, off }
                   : QStringList { off, off, off, "OPENUP", "TB-UNLOCKUP", "TB-NEWUP" };
        QCOMPARE(shown, expected);
        QVERIFY(tempFiles().isEmpty());
        QCOMPARE(fx.traps, 0);
    }

    void pressAndReleaseSwapPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("button");
        QTest::newRow("field, left") << "imgKey3" << "PEEK" << int(Qt::LeftButton);
        QTest::newRow("field, right") << "imgAccount" << "PEEK" << int(Qt::RightButton);
        QTest::newRow("web page") << "imgGoUrl" << "BLUE" << int(Qt::MiddleButton);
        QTest::newRow("add") << "imgAddNew" << "PLUS" << int(Qt::LeftButton);
        QTest::newRow("clear filter") << "imgClearFilter" << "CLR" << int(Qt::RightButton);
        QTest::newRow("toolbar") << "imgTBprint" << "PRINT" << int(Qt::RightButton);
    }
    void pressAndReleaseSwapPictures()
    {
        // Guards against a wrong picture pair, or a button other than the left one ignored.
        QFETCH(QString, name);
        QFETCH(QString, base);
        QFETCH(int, button);
        frmMain w;
        openFile(w, 1);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SkinImage* i = image(w, name);
        QCOMPARE(i->pictureName(), name == u"imgAddNew" ? QStringLiteral("design/ADDNEW")
                                                        : base + QStringLiteral("UP"));
        const auto b = Qt::MouseButton(button);
        QTest::mousePress(i, b);
        QCOMPARE(i->pictureName(), base + QStringLiteral("DOWN"));
        // Released off the image: the picture comes back without a click.
        QTest::mouseRelease(i, b, {}, QPoint(-4, -4));
        QCOMPARE(i->pictureName(), base + QStringLiteral("UP"));
        QVERIFY(w.isVisible());
        QVERIFY(tempFiles().isEmpty());
    }

    void keepOnTopIndicatorCycle()
    {
        // Guards against the indicator showing the wrong lamp, a click not toggling, or its
        // tip left as a string number.
        frmMain w;
        QCOMPARE(w.imgTBontop->toolTip(), QStringLiteral("Keep Window on Top"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.imgTBontop->pictureName(), QStringLiteral("LED-RUP"));
        const QStringList expected[] = { { "LED-RDOWN", "LED-GUP" }, { "LED-GDOWN", "LED-RUP" } };
        for (int round = 0; round < 2; ++round) {
            QTest::mousePress(w.imgTBontop, Qt::LeftButton);
            QCOMPARE(w.imgTBontop->pictureName(), expected[round][0]);
            QTest::mouseRelease(w.imgTBontop, Qt::LeftButton);
            QCOMPARE(w.imgTBontop->pictureName(), expected[round][1]);
            QCOMPARE(gKeepOnTop, round == 0);
        }
        // Released with the right button: the pictures swap but nothing toggles.
        QTest::mouseClick(w.imgTBontop, Qt::RightButton);
        QCOMPARE(w.imgTBontop->pictureName(), QStringLiteral("LED-GUP"));
        QVERIFY(!gKeepOnTop);
    }

    void doubleClickIsOneClick()
    {
        // Guards against the second press of a double click running the command again or
        // leaving the indicator showing the wrong state.
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SkinImage* i = w.imgTBontop;
        QTest::mousePress(i, Qt::LeftButton);
        QTest::mouseRelease(i, Qt::LeftButton);
        // The system turns the second press of a quick pair into a double click.
        const QPointF at(4, 4);
        QMouseEvent second(QEvent::MouseButtonDblClick, at, i->mapToGlobal(at), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(i, &second);
        QTest::mouseRelease(i, Qt::LeftButton, {}, at.toPoint());
        QVERIFY(gKeepOnTop);
        QCOMPARE(i->pictureName(), QStringLiteral("LED-GUP"));
    }

    void imagesAreInertWhileTheirFrameIs()
    {
        // Guards against a disabled image, or one in a disabled frame, reacting to the mouse.
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.Frame3->isVisible());
        for (SkinImage* i : { image(w, QStringLiteral("imgAccount")), w.imgTBsave }) {
            const QString before = i->pictureName();
            QTest::mouseClick(i, Qt::LeftButton);
            QCOMPARE(i->pictureName(), before);
        }
    }

    void clicksRunTheirCommands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command");
        const char* rows[][2] = { { "imgAccount", "cmdAccount_Click" },
            { "imgName", "cmdName_Click" }, { "imgURL", "cmdURL_Click" },
            { "imgHint", "cmdHint_Click" }, { "imgInfo", "cmdInfo_Click" },
            { "imgSP", "cmdSP_Click" }, { "imgKey1", "cmdKey1_Click" },
            { "imgKey2", "cmdKey2_Click" }, { "imgKey3", "cmdKey3_Click" },
            { "imgKey4", "cmdKey4_Click" }, { "imgRP", "cmdRP_Click" },
            { "imgGoUrl", "cmdGoUrl_Click" }, { "imgAddNew", "cmdAdd_Click" },
            { "imgDelete", "cmdClear_Click" }, { "imgFilter1", "cmdFilter_Click" },
            { "imgFilter2", "cmdFilter2_Click" }, { "imgClearFilter", "cmdClearFilter_Click" },
            { "imgTBprint", "mnuFilePrint_Click" }, { "imgTBclose", "mnuFileClose_Click" } };
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
        }
    }
    void clicksRunTheirCommands()
    {
        // Guards against an image wired to another command, or stopped by the state of the
        // command's own (hidden) button.
        QFETCH(QString, name);
        QFETCH(QString, command);
        frmMain w;
        // The procedures entered from now on go to a trace log in the scratch folder.
        const QString log = home->path() + QStringLiteral("/trace.log");
        modCatchwell::cwOPTION(16, log);
        modCatchwell::cwOPTION(23, true);
        modCatchwell::cwOPTION(22, true);
        if (name == u"imgRP") {
            fx.host->onModal<frmRandomiser>(QStringLiteral("frmRandomiser"),
                [](frmRandomiser& r) { r.cmdCancel_Click(); });
        }
        if (name == u"imgTBprint") {
            // Printing asks for the master password first; a cancel ends it there.
            fx.host->onModal(QStringLiteral("frmPWconfirm"), [](QWidget& f) { f.hide(); });
        }
        w.img_Click(image(w, name));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString trace = QString::fromLatin1(file.readAll());
        const qsizetype click = trace.indexOf(QStringLiteral("Sub %1_Click").arg(name));
        QVERIFY2(click >= 0, qPrintable(trace));
        // Trace names may spell a command's case differently (cmdGoURL_Click).
        const qsizetype ran
            = trace.indexOf(QStringLiteral("Sub ") + command, click, Qt::CaseInsensitive);
        QVERIFY2(ran > click, qPrintable(trace));
    }

    void minimiseAndExit()
    {
        // Guards against minimising leaving keep-on-top free to raise the hidden window, or
        // exit skipping the window's unload.
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // Without a notification area the window is only minimised, so it stays in reach.
        tray::setAvailableForTesting(false);
        QTest::mouseClick(w.imgTBmin, Qt::LeftButton);
        QVERIFY(w.isMinimized() && !w.isHidden());
        QVERIFY(!gDialogOpen);
        w.showNormal();
        tray::setAvailableForTesting(true);
        QTest::mouseClick(w.imgTBmin, Qt::LeftButton);
        tray::setAvailableForTesting(std::nullopt);
        QVERIFY(w.isHidden());
        QVERIFY(gDialogOpen);
        QCOMPARE(w.imgTBmin->pictureName(), QStringLiteral("MINUP"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.imgTBexit, Qt::LeftButton);
        QVERIFY(w.isHidden());
        QVERIFY(fx.stored("MainLeft") != u"<none>");
    }

    void draggingTheCoolBar_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left") << 1 << true;
        QTest::newRow("right") << 2 << false;
        QTest::newRow("left and right") << 3 << false;
    }
    void draggingTheCoolBar()
    {
        // Guards against the window jumping, moving for any button but the left alone, or a
        // press on the toolbar's frame taken as a grab of the cool bar.
        QFETCH(int, button);
        QFETCH(bool, moves);
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseClick(w.fraToolbar, Qt::LeftButton, {}, QPoint(123, 12));
        QCOMPARE(w.m_sngDragX, 0.0f);
        QTest::mouseClick(w.CoolBar1, Qt::LeftButton, {}, QPoint(300, 20));
        QCOMPARE(QPointF(w.m_sngDragX, w.m_sngDragY), QPointF(4500, 300));
        w.move(200, 150);
        const QPoint start = w.pos();
        w.CoolBar1_MouseDown(button, 0, 4500, 300);
        w.CoolBar1_MouseMove(button, 0, 4650, 255);
        QCOMPARE(w.pos(), moves ? start + QPoint(10, -3) : start);
    }
};

PINVARA_TEST_MAIN(TestFrmMainToolbar)
#include "tst_frmMain_toolbar.moc"
