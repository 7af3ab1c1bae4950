#include "AccountsWindow.h"
#include "TestMain.h"
#include "platform/vb/Constants.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {

// In the file's order; sorted by account when the file is opened.
const QStringList kRows = { QStringLiteral("mike|m.net"), QStringLiteral("alpha|a.com"),
    QStringLiteral("Alphabet|x.ab.net"), QStringLiteral("delta|d.com"),
    QStringLiteral("beta|b.org") };

} // namespace

class TestFrmMainGrid : public QObject
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

    void filters_data()
    {
        QTest::addColumn<bool>("contains");
        QTest::addColumn<bool>("onURL");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("begins, account")
            << false << false << " al " << QStringList { "alpha", "Alphabet" };
        QTest::newRow("contains, account")
            << true << false << "TA" << QStringList { "beta", "delta" };
        QTest::newRow("begins, URL") << false << true << "m" << QStringList { "mike" };
        QTest::newRow("contains, URL") << true << true << "ab" << QStringList { "Alphabet" };
        QTest::newRow("none found") << false << false << "zz" << QStringList {};
        QTest::newRow("blanks: all, file order")
            << false << false << "  "
            << QStringList { "mike", "alpha", "Alphabet", "delta", "beta" };
        QTest::newRow("blanks, contains")
            << true << true << "" << QStringList { "mike", "alpha", "Alphabet", "delta", "beta" };
    }

    void filters()
    {
        // Guards against the wrong field or match, a filter that keeps an earlier one, or a
        // wrong count.
        QFETCH(bool, contains);
        QFETCH(bool, onURL);
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        auto w = accounts::open(fx, kRows);
        w->optField[onURL ? 1 : 0]->setChecked(true);
        w->txtFilter->setText(QStringLiteral("de")); // replaced by the filter under test
        w->cmdFilter_Click();
        (contains ? w->txtFilter2 : w->txtFilter)->setText(text);
        contains ? w->cmdFilter2_Click() : w->cmdFilter_Click();
        QCOMPARE(accounts::inGrid(*w), shown);
        QCOMPARE(w->panelText(1), QStringLiteral("%1 Accounts found.").arg(shown.size()));
    }

    void anApostropheIsReportedAndNothingBreaks()
    {
        // Guards against a pasted quote crashing the filter or silently showing wrong rows.
        auto w = accounts::open(fx, kRows);
        w->txtFilter2->setText(QStringLiteral("o'b"));
        w->setPanelText(1, QString());
        fx.host->answerNext(vb::vbOK);
        w->cmdFilter2_Click();
        const auto box = fx.host->messages().constLast();
        QCOMPARE(box.title, QStringLiteral("GENERAL ERROR!"));
        QVERIFY(box.text.startsWith(QStringLiteral("General Error 3:\r\n3001: \r\n")));
        QCOMPARE(box.style, vb::vbCritical);
        QCOMPARE(w->panelText(1), QStringLiteral("5 Accounts found."));
    }

    void clearKeepsTheSortAndEmptiesBothBoxes()
    {
        // Guards against Clear losing the chosen order or leaving a filter text behind.
        auto w = accounts::open(fx, kRows);
        w->DataGrid1_HeadClick(0);
        w->DataGrid1_HeadClick(0); // descending
        w->txtFilter->setText(QStringLiteral("a"));
        w->txtFilter2->setText(QStringLiteral("l"));
        w->cmdFilter_Click();
        QCOMPARE(accounts::inGrid(*w), QStringList({ "Alphabet", "alpha" }));
        w->cmdClearFilter_Click();
        QCOMPARE(
            accounts::inGrid(*w), QStringList({ "mike", "delta", "beta", "Alphabet", "alpha" }));
        QCOMPARE(w->txtFilter->text() + w->txtFilter2->text(), QString());
        QCOMPARE(w->panelText(1), QStringLiteral("5 Accounts Total."));
    }

    void filterBoxesTakeLettersAndDigitsOnly()
    {
        // Guards against quotes, wildcards or blanks reaching a filter, or Enter not running it.
        auto w = accounts::open(fx, kRows);
        QTest::keyClicks(w->txtFilter, QStringLiteral("a l'p*h-a"));
        QCOMPARE(w->txtFilter->text(), QStringLiteral("alpha"));
        QKeyEvent accented(
            QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"));
        QApplication::sendEvent(w->txtFilter2, &accented);
        QKeyEvent emoji(
            QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("\U0001F600"));
        QApplication::sendEvent(w->txtFilter2, &emoji);
        QInputMethodEvent composed; // a dead key or an input method
        composed.setCommitString(QStringLiteral("e\u00e9'9"));
        QApplication::sendEvent(w->txtFilter2, &composed);
        QCOMPARE(w->txtFilter2->text(), QStringLiteral("e9"));
        w->txtFilter2->clear();
        QTest::keyClicks(w->txtFilter2, QStringLiteral("0123456789ABCDEFGHIJ "));
        QCOMPARE(w->txtFilter2->text(), QStringLiteral("0123456789ABCDEF"));
        QTest::keyClick(w->txtFilter2, Qt::Key_Backspace);
        QCOMPARE(w->txtFilter2->text(), QStringLiteral("0123456789ABCDE"));
        // Delete carries the text DEL under X11; it deletes as Backspace does.
        w->txtFilter2->setCursorPosition(0);
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(w->txtFilter2, &del);
        QCOMPARE(w->txtFilter2->text(), QStringLiteral("123456789ABCDE"));
        QKeyEvent ctrlDel(
            QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(w->txtFilter2, &ctrlDel);
        QCOMPARE(w->txtFilter2->text(), QString());
        QTest::keyClick(w->txtFilter, Qt::Key_Return);
        QCOMPARE(accounts::inGrid(*w), QStringList({ "alpha", "Alphabet" }));
        QCOMPARE(w->txtFilter->text(), QStringLiteral("alpha"));
    }

    void afterCloseTheFiltersChangeNothing()
    {
        // Guards against the filters acting on, or counting, a closed file.
        auto w = accounts::open(fx, kRows);
        w->CompactAndEncrypt(QString(), QString());
        w->setPanelText(1, QStringLiteral("before"));
        w->txtFilter->setText(QStringLiteral("a"));
        w->cmdFilter_Click();
        w->cmdFilter2_Click();
        w->cmdClearFilter_Click();
        QCOMPARE(w->panelText(1), QStringLiteral("before"));
        QCOMPARE(w->txtFilter->text(), QString());
    }

    void headerClicksAlternateAndWaitForAPendingEdit()
    {
        // Guards against a sort that repeats, remembers the wrong column, or runs over an edit.
        auto w = accounts::open(fx, kRows);
        w->DataGrid1_HeadClick(1);
        QCOMPARE(w->Adodc1->Recordset()->Sort(), QStringLiteral("URL"));
        QCOMPARE(gSortCol, int16_t(1));
        QCOMPARE(gSortDir, int16_t(1));
        w->DataGrid1_HeadClick(0);
        QCOMPARE(
            accounts::inGrid(*w), QStringList({ "mike", "delta", "beta", "Alphabet", "alpha" }));
        QCOMPARE(gSortCol, int16_t(0));
        QCOMPARE(gSortDir, int16_t(2));
        w->txtID->setText(QStringLiteral("pending"));
        w->DataGrid1_HeadClick(1);
        QCOMPARE(w->Adodc1->Recordset()->Sort(), QStringLiteral("URL ASC"));
        QCOMPARE(gSortDir, int16_t(2));
        QVERIFY(!w->SortAscending);
        w->DataGrid1_HeadClick(1); // "URL ASC" turns, and the edit is still pending
        QCOMPARE(w->Adodc1->Recordset()->Sort(), QStringLiteral("URL DESC"));
        QCOMPARE(gSortCol, int16_t(0));
    }

    void columnResizeKeepsWithinBounds_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<double>("dragged"); // share of the grid width
        QTest::addColumn<double>("kept");
        QTest::newRow("account too wide") << 0 << 0.75 << 0.7;
        QTest::newRow("account too narrow") << 0 << 0.1 << 0.2;
        QTest::newRow("URL within") << 1 << 0.45 << 0.45;
        QTest::newRow("URL too narrow") << 1 << 0.05 << 0.2;
    }

    void columnResizeKeepsWithinBounds()
    {
        // Guards against columns dragged out of bounds, or widths remembered under the wrong name.
        QFETCH(int, column);
        QFETCH(double, dragged);
        QFETCH(double, kept);
        auto w = accounts::open(fx, kRows);
        const double width = w->DataGrid1->widthTwips();
        const int other = 1 - column;
        w->DataGrid1->horizontalHeader()->resizeSection(column, qRound(width * dragged / 15));
        int cancel = 0;
        w->DataGrid1_ColResize(column, cancel);
        const float mine = w->DataGrid1->Columns().Item(column).Width();
        const float rest = w->DataGrid1->Columns().Item(other).Width();
        QVERIFY(qAbs(mine - width * kept) <= 15); // a width within bounds is the dragged one
        QCOMPARE(rest, static_cast<float>(width - 300.1 - mine));
        QCOMPARE(column == 0 ? gColAccount : gColURL, mine);
        QCOMPARE(column == 0 ? gColURL : gColAccount, rest);
    }

    void quickSearch_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("lands");
        QTest::addColumn<bool>("swallowed");
        QTest::newRow("hit") << kRows << 4 << int('a') << "alpha" << true;
        QTest::newRow("hit, either case") << kRows << 0 << int('M') << "mike" << true;
        QTest::newRow("miss stays") << kRows << 3 << int('q') << "delta" << true;
        QTest::newRow("not a letter") << kRows << 3 << int('-') << "delta" << false;
        QTest::newRow("one row") << QStringList { "mike|m.net" } << 0 << int('x') << "mike"
                                 << false;
    }

    void quickSearch()
    {
        // Guards against a search that moves on a miss, starts mid-list, or eats other keys.
        QFETCH(QStringList, rows);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(QString, lands);
        QFETCH(bool, swallowed);
        auto w = accounts::open(fx, rows);
        accounts::selectRow(*w, from);
        int code = key;
        w->DataGrid1_KeyPress(code);
        QCOMPARE(accounts::current(*w), lands);
        QCOMPARE(code == 0, swallowed);
    }

    void gridEnterMovesTheFocusOn()
    {
        // Guards against Enter staying in the grid instead of moving to the next control.
        auto w = accounts::open(fx, kRows);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->DataGrid1->setFocus();
        QTest::keyClick(w->DataGrid1, Qt::Key_Return);
        QCOMPARE(fx.host->transcript().constLast().text, QStringLiteral("{tab}"));
        QVERIFY(QApplication::focusWidget() != w->DataGrid1);
        QCOMPARE(accounts::current(*w), QStringLiteral("alpha"));
    }

    void navigatorGridAndBoxesMoveTogether()
    {
        // Guards against the bar, the grid and the boxes showing different accounts.
        auto w = accounts::open(fx, kRows);
        auto* next = w->Adodc1->findChild<QToolButton*>(QStringLiteral("MoveNext"));
        auto* last = w->Adodc1->findChild<QToolButton*>(QStringLiteral("MoveLast"));
        next->click();
        QCOMPARE(w->DataGrid1->currentIndex().row(), 1);
        QCOMPARE(w->txtAccount->text(), QStringLiteral("Alphabet"));
        accounts::selectRow(*w, 3);
        QCOMPARE(w->txtAccount->text(), QStringLiteral("delta"));
        next->click();
        QCOMPARE(w->txtURL->text(), QStringLiteral("m.net"));
        w->txtURL->setText(QStringLiteral("mike.net")); // saved by the bar's next move
        w->Adodc1->findChild<QToolButton*>(QStringLiteral("MoveFirst"))->click();
        last->click();
        QCOMPARE(w->DataGrid1->currentIndex().row(), 4);
        QCOMPARE(
            accounts::inFile(fx.path(QStringLiteral("accounts.pnv")), QStringLiteral("URL"))[0],
            QStringLiteral("mike.net"));
    }
};

PINVARA_TEST_MAIN(TestFrmMainGrid)
#include "tst_frmMain_grid.moc"
