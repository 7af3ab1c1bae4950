#include "MainWindowFixture.h"
#include "TestMain.h"
#include "dialogs/frmSysTray.h"
#include "platform/adoui/DataGrid.h"
#include "platform/userdirs/UserDirs.h"

#include <QAction>
#include <QScreen>

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

class TestFrmMainLife : public QObject
{
    Q_OBJECT

    MainWindowFixture fx;

private slots:
    void init() { fx.setUp(); }
    void cleanup()
    {
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
    }

    void firstRunTakesTheDefaults()
    {
        // Guards against wrong defaults for a user with no settings yet.
        frmMain w;
        QVERIFY(qAbs(w.leftTwips() - 1000) <= 15);
        QVERIFY(qAbs(w.topTwips() - 1000) <= 15);
        QVERIFY(w.widthTwips() >= 10455);
        QVERIFY(w.heightTwips() >= 7845);
        QVERIFY(gPeekOn);
        QCOMPARE(gPeekTime, int16_t(10));
        QVERIFY(gTimeoutOn);
        QCOMPARE(gTimeoutTime, int16_t(5));
        QVERIFY(!gKeepOnTop);
        QVERIFY(gAutoLoad);
        QVERIFY(gDBpath.isEmpty());
        const float half = static_cast<float>(w.DataGrid1->widthTwips() * 0.5 - 150.1);
        QCOMPARE(gColAccount, half);
        QCOMPARE(gColURL, half);
        QCOMPARE(w.windowTitle(), QStringLiteral("  Pinvara V1.1"));
        QCOMPARE(w.panelText(1), QStringLiteral("No DataBase Loaded:"));
        QCOMPARE(w.m_lTickMs, 60000);
        QCOMPARE(w.m_iTimeout, int16_t(5));
        QCOMPARE(w.m_iTimeLeft, int16_t(5));
        QCOMPARE(fx.traps, 0);
    }

    void aPlaceOffEveryScreenIsBroughtBack()
    {
        // Guards against a huge stored place overflowing the conversion to pixels, or opening
        // the window where no one can reach it.
        const QString file = settings::settingsFile(fx.kApp);
        QVERIFY(QFile::remove(file) || !QFile::exists(file));
        QVERIFY(QFile::copy(PINVARA_TEST_DATA "/damaged/settings-mainleft-1e30.txt", file));
        frmMain w;
        QCOMPARE(fx.traps, 0);
        QVERIFY(w.screen()->availableVirtualGeometry().contains(w.pos()));
    }

    void storedColumnWidths()
    {
        // Guards against widths that overflow the grid being kept, or fitting ones reset.
        fx.save("ColAccount", QStringLiteral("3000"));
        fx.save("ColURL", QStringLiteral("2500.5"));
        {
            frmMain w;
            QCOMPARE(gColAccount, 3000.0f);
            QCOMPARE(gColURL, 2500.5f);
        }
        fx.save("ColAccount", QStringLiteral("6000"));
        fx.save("ColURL", QStringLiteral("6000"));
        frmMain w;
        const float half = static_cast<float>(w.DataGrid1->widthTwips() * 0.5 - 150.1);
        QCOMPARE(gColAccount, half);
        QCOMPARE(gColURL, half);
    }

    void aBadSettingStopsTheLoadThroughTheTrap()
    {
        // Guards against a non-number setting being read as 0 or the load running on after it.
        fx.save("PeekTime", QStringLiteral("ten"));
        fx.save("TimeoutOn", QStringLiteral("False"));
        frmMain w;
        QCOMPARE(fx.traps, 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("  Pinvara V1.1"));
        QVERIFY(gPeekOn);
        QVERIFY(!gTimeoutOn); // never read: the global keeps its start value
        QCOMPARE(w.m_lTickMs, 0);
        QCOMPARE(modCatchwell::cwOPTION(25, QStringLiteral("GET")).toInt(), 0);
        QCOMPARE(modCatchwell::cwTraceDepth(), 0L);
    }

    void aLoadStoppedEarlyWritesBackOnlyWhatItRead()
    {
        // Guards against one bad setting making every later close store start values (zero
        // column widths, an empty path) over the good ones it never read.
        fx.save("PeekTime", QStringLiteral("ten"));
        fx.save("ColAccount", QStringLiteral("3000"));
        fx.save("ColURL", QStringLiteral("2500"));
        fx.save("DBpath", QStringLiteral("/data/kept.pnv"));
        {
            frmMain w;
            w.show();
            // A file opened after such a load shows both columns.
            gDBpath = fx.templateFile(QStringLiteral("opened.pnv"));
            QVERIFY(w.CompactAndEncrypt(QString(), QString()));
            QVERIFY(w.DBconnect(QString()));
            for (int c = 0; c < 2; ++c) {
                QVERIFY(w.DataGrid1->Columns().Item(c).Width() > 150);
            }
            w.close();
        }
        QCOMPARE(fx.traps, 1);
        QCOMPARE(fx.stored("ColAccount"), QStringLiteral("3000"));
        QCOMPARE(fx.stored("ColURL"), QStringLiteral("2500"));
        QCOMPARE(fx.stored("Encrypt"), QStringLiteral("<none>"));
        QCOMPARE(fx.stored("DBpath"), fx.path(QStringLiteral("opened.pnv"))); // set by the run
        QVERIFY(fx.stored("MainLeft") != QStringLiteral("<none>"));
    }

    void timesTheOptionsWouldNotOffer_data()
    {
        QTest::addColumn<QString>("peek");
        QTest::addColumn<QString>("timeout");
        QTest::addColumn<int>("peekUsed");
        QTest::addColumn<int>("timeoutUsed");
        QTest::newRow("zero") << "0" << "0" << 5 << 1;
        QTest::newRow("negative") << "-3" << "-2" << 5 << 1;
        QTest::newRow("above the range") << "40" << "60" << 20 << 60;
    }

    void timesTheOptionsWouldNotOffer()
    {
        // Guards against a hand-edited peek time revealing a field for good.
        QFETCH(QString, peek);
        QFETCH(QString, timeout);
        QFETCH(int, peekUsed);
        QFETCH(int, timeoutUsed);
        fx.save("PeekTime", peek);
        fx.save("TimeoutTime", timeout);
        frmMain w;
        QCOMPARE(gTimeoutTime, int16_t(timeoutUsed));
        w.txtKey1->setText(QStringLiteral("k1"));
        w.cmdKey1_Click();
        QCOMPARE(w.Timer1->interval(), peekUsed * 1000);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(fx.traps, 0);
    }

    void widthsThatWouldHideAColumnAreReplaced_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("url");
        QTest::newRow("both zero") << "0" << "0";
        QTest::newRow("negative") << "-500" << "3000";
        QTest::newRow("a sliver") << "3000" << "15";
    }
    void widthsThatWouldHideAColumnAreReplaced()
    {
        // Guards against stored widths making a grid column invisible for good.
        QFETCH(QString, account);
        QFETCH(QString, url);
        fx.save("ColAccount", account);
        fx.save("ColURL", url);
        frmMain w;
        const float half = static_cast<float>(w.DataGrid1->widthTwips() * 0.5 - 150.1);
        QCOMPARE(gColAccount, half);
        QCOMPARE(gColURL, half);
    }

    void commandLineSplitsOnlyAtTabs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("max");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("none") << "" << 10 << QStringList{""};
        QTest::newRow("blanks stay") << "/a b/c d.pnv" << 10 << QStringList{"", "/a b/c d.pnv"};
        QTest::newRow("tab splits") << "a\tb" << 10 << QStringList{"", "a", "b"};
        QTest::newRow("tabs collapse") << "\t\ta\t\tb\t" << 10 << QStringList{"", "a", "b"};
        QTest::newRow("maximum") << "a\tb\tc" << 2 << QStringList{"", "a", "b"};
    }
    void commandLineSplitsOnlyAtTabs()
    {
        // Guards against blanks splitting a path or the part count going past the maximum.
        QFETCH(QString, text);
        QFETCH(int, max);
        QFETCH(QStringList, parts);
        frmMain w;
        frmMain::setCommandLineText(text);
        QCOMPARE(w.GetCommandLine(max), parts);
    }

    void commandLinePathIsUnquotedAndTrimmed()
    {
        // Guards against quotes or outer blanks reaching the path, or the inner blank lost.
        const QString file = fx.path(QStringLiteral("with blank.pnv"));
        frmMain::setCommandLineText(QStringLiteral("  \"") + file + QStringLiteral("\"  "));
        fx.save("DBpath", QStringLiteral("/elsewhere/stored.pnv"));
        frmMain w;
        QCOMPARE(gDBpath, file);
    }

    void twoTabPartsJoinWithoutSeparator()
    {
        // Guards against TAB-separated parts being joined with a blank.
        frmMain::setCommandLineText(QStringLiteral("/tmp/pa\trt.pnv"));
        frmMain w;
        QCOMPARE(gDBpath, QStringLiteral("/tmp/part.pnv"));
    }

    void onlyBlanksAndQuotesOpenNothing()
    {
        // Guards against an empty command-line path replacing the stored one or auto-loading.
        frmMain::setCommandLineText(QStringLiteral(" \" \" "));
        fx.save("DBpath", QStringLiteral("/elsewhere/stored.pnv"));
        frmMain w;
        QCOMPARE(gDBpath, QStringLiteral("/elsewhere/stored.pnv"));
        QCOMPARE(w.panelText(2), QString());
    }

    void traceOptionsAfterLoad()
    {
        // Guards against the load leaving the trace on or the logs pointed elsewhere.
        frmMain w;
        using modCatchwell::cwOPTION;
        QCOMPARE(cwOPTION(16, QStringLiteral("GET")).toString(), QStringLiteral("PNV.LOG"));
        QCOMPARE(cwOPTION(26, QStringLiteral("GET")).toString(), QStringLiteral("PNV.LOG"));
        QCOMPARE(cwOPTION(25, QStringLiteral("GET")).toInt(), 20);
        QVERIFY(cwOPTION(22, QStringLiteral("GET")).toBool()); // stored inverse of False
        QVERIFY(QFile::exists(userdirs::stateFilePath(QStringLiteral("PNV.LOG"))));
        const long depth = modCatchwell::cwTraceDepth();
        w.GetCommandLine();
        QCOMPARE(modCatchwell::cwTraceDepth(), depth);
    }

    void settingsAreSavedOnlyWhenNotMinimised()
    {
        // Guards against a minimised window storing its icon position, or a close losing settings.
        gHideNewFileInfo = false;
        {
            frmMain w;
            w.show();
            gDBpath = QStringLiteral("/data/mine.pnv");
            gColAccount = 3210.5f;
            gHideNewFileInfo = true;
            w.close();
        }
        QCOMPARE(fx.stored("DBpath"), QStringLiteral("/data/mine.pnv"));
        QCOMPARE(fx.stored("ColAccount"), QStringLiteral("3210.5"));
        QCOMPARE(fx.stored("ShowNew"), QStringLiteral("True"));
        QCOMPARE(fx.stored("Encrypt"), QStringLiteral("False"));
        QCOMPARE(fx.stored("EmptyFile"), QStringLiteral("False"));
        QVERIFY(fx.stored("MainWidth").toDouble() >= 10455);
        QCOMPARE(fx.stored("PeekOn"), QStringLiteral("<none>")); // the options dialog's to write

        fx.save("DBpath", QStringLiteral("/data/old.pnv"));
        frmMain w;
        w.show();
        w.setWindowState(Qt::WindowMinimized);
        gDBpath = QStringLiteral("/data/new.pnv");
        w.close();
        QCOMPARE(fx.stored("DBpath"), QStringLiteral("/data/old.pnv"));
    }

    void aLongFileNameDoesNotWidenTheWindow()
    {
        // Guards against the status bar's texts stretching the window past its designed width.
        frmMain w;
        w.show();
        const int width = w.width();
        gDBpath = fx.templateFile(QString(12, u'x') + QStringLiteral(" household accounts of the "
            "whole family, kept since 2019 - master copy.pnv"));
        QVERIFY(w.CompactAndEncrypt(QString(), QString()));
        QVERIFY(w.DBconnect(QString()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(w.width(), width);
        QVERIFY(w.minimumSizeHint().width() <= width);
    }

    void trayIconAfterLoad()
    {
        // Guards against the tray menu being built in the wrong order or without its default.
        frmMain w;
        QVERIFY(w.m_frmSysTray);
        frmSysTray& tray = *w.m_frmSysTray;
        QCOMPARE(tray.menuCount(), 3);
        QCOMPARE(tray.menuItem(0)->text(), QStringLiteral("&Open Pinvara"));
        QCOMPARE(tray.menuTag(0), QStringLiteral("open"));
        QVERIFY(tray.menuItem(1)->isSeparator() || tray.menuItem(1)->text() == u"-");
        QCOMPARE(tray.menuTag(2), QStringLiteral("close"));
        QCOMPARE(tray.DefaultMenuIndex(), 0);
        QCOMPARE(tray.ToolTip(), QStringLiteral("Pinvara"));
    }

    void exitCommandsCloseTheWindow()
    {
        // Guards against an exit command leaving the window up or skipping the unload.
        frmMain w;
        w.show();
        gDBpath = QStringLiteral("/data/exit.pnv");
        w.mnuSysExit_Click();
        QVERIFY(!w.isVisible());
        QCOMPARE(fx.stored("DBpath"), QStringLiteral("/data/exit.pnv"));
        QVERIFY(!w.m_frmSysTray);
    }
};

PINVARA_TEST_MAIN(TestFrmMainLife)
#include "tst_frmMain_life.moc"
