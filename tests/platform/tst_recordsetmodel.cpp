#include "DataFileFixture.h"
#include "TestMain.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/adoui/RecordsetModel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

class TestRecordsetModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_form;
    adoui::DataControl* m_control = nullptr;
    adoui::DataGrid* m_grid = nullptr;

    ado::Recordset* rs() const { return m_control->Recordset(); }

private slots:
    void init()
    {
        const QString file = m_dir.filePath(u"m.pnv"_qs);
        testdata::writePlainFile(file, {u"beta|b.org"_qs, u"alpha|a.com"_qs, u"mike|m.net"_qs,
                                        u"delta|d.com"_qs});
        m_form = std::make_unique<QWidget>();
        m_form->resize(600, 400);
        m_control = new adoui::DataControl(m_form.get());
        m_grid = new adoui::DataGrid(m_form.get());
        m_grid->resize(600, 300);
        m_grid->setDataSource(m_control);
        m_control->setConnectionString(testdata::connectString(file, u"k"_qs));
        m_control->setRecordSource(u"Select * from tblAccount"_qs);
        m_control->Refresh();
    }

    // Guards against inconsistent row/column notifications as the recordset changes shape.
    void modelStaysConsistentThroughRecordsetChanges()
    {
        QAbstractItemModelTester tester(m_grid->recordsetModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        rs()->setSort(u"Account DESC"_qs);
        rs()->setFilter(u"Account LIKE '*e*'"_qs);
        QCOMPARE(m_grid->recordsetModel()->rowCount(), 3);
        rs()->AddNew();
        rs()->Fields(u"Account"_qs).setValue(u"echo"_qs);
        rs()->Update();
        QCOMPARE(m_grid->recordsetModel()->rowCount(), 4);
        rs()->MoveFirst();
        rs()->Delete();
        rs()->AddNew();
        rs()->CancelUpdate();
        m_grid->Columns().Remove(0);
        m_control->Refresh();
        QCOMPARE(m_grid->recordsetModel()->rowCount(), 4);
    }

    // Guards against the grid and the recordset disagreeing about the current row.
    void gridAndRecordsetFollowEachOther()
    {
        rs()->MoveLast();
        QCOMPARE(m_grid->currentIndex().row(), 3);
        m_grid->setCurrentIndex(m_grid->model()->index(1, 0));
        QCOMPARE(rs()->AbsolutePosition(), 2L);
        rs()->setSort(u"Account"_qs); // "alpha" stays current, now first
        QCOMPARE(rs()->AbsolutePosition(), 1L);
        QCOMPARE(m_grid->currentIndex().row(), 0);
        rs()->MoveNext();
        rs()->MoveNext();
        rs()->MoveNext();
        rs()->MoveNext();
        QVERIFY(rs()->IsEOF());
        QVERIFY(!m_grid->currentIndex().isValid());
    }

    // Guards against the grid moving the recordset off a deleted row (it must stay current).
    void deleteDoesNotMoveTheRecordsetThroughTheGrid()
    {
        rs()->setAbsolutePosition(2);
        rs()->Delete();
        QCOMPARE(rs()->EditMode(), ado::adEditDelete);
        QCOMPARE(m_grid->recordsetModel()->rowCount(), 3);
        rs()->MoveNext();
        QCOMPARE(rs()->Fields(u"Account"_qs).Value(), u"mike"_qs);
        QCOMPARE(m_grid->currentIndex().row(), 1);
    }

    // Guards against columns that lose their data field or width, or come back after a refresh.
    void columnsRemoveAndKeepWidthsInTwips()
    {
        auto cols = m_grid->Columns();
        QCOMPARE(cols.Count(), 14);
        for (int i = cols.Count() - 1; i >= 0; --i) {
            const QString f = cols.Item(i).DataField();
            if (f != u"Account"_qs && f != u"URL"_qs) {
                cols.Remove(i);
            }
        }
        QCOMPARE(cols.Count(), 2);
        QCOMPARE(cols.Item(0).DataField(), u"Account"_qs);
        QCOMPARE(cols.Item(1).DataField(), u"URL"_qs);
        cols.Item(0).setWidth(1500.5f);
        QCOMPARE(cols.Item(0).Width(), 1500.5f);
        QCOMPARE(m_grid->horizontalHeader()->sectionSize(0), 100);
        m_control->Refresh();
        QCOMPARE(cols.Count(), 2);
        QCOMPARE(cols.Item(0).Width(), 1500.5f);
        QCOMPARE(m_grid->widthTwips(), 600.0f * 15);
        m_grid->ClearFields();
        QCOMPARE(cols.Count(), 14);
    }

    // Guards against a binding that misses row changes, writes when it shows a row, or keeps
    // following the recordset after it was unbound.
    void bindingFollowsTheCurrentRowBothWays()
    {
        auto* box = new QLineEdit(m_form.get());
        auto* memo = new QTextEdit(m_form.get());
        int changes = 0;
        connect(box, &QLineEdit::textChanged, this, [&changes] { ++changes; });
        auto* binding = new adoui::FieldBinding(box);
        auto* memoBinding = new adoui::FieldBinding(memo);
        binding->setDataField(u"Account"_qs);
        memoBinding->setDataField(u"URL"_qs);
        binding->setDataSource(m_control);
        memoBinding->setDataSource(m_control);
        QCOMPARE(box->text(), u"beta"_qs);
        QCOMPARE(memo->toPlainText(), u"b.org"_qs);
        QCOMPARE(rs()->EditMode(), ado::adEditNone);
        rs()->MoveNext();
        QCOMPARE(box->text(), u"alpha"_qs);
        QVERIFY(changes >= 2); // the box's own change listeners see the binding's changes
        QVERIFY(!binding->DataChanged());
        QCOMPARE(box->cursorPosition(), 0); // a long value shows from its start

        box->end(false);
        QTest::keyClicks(box, u"X"_qs);
        QCOMPARE(rs()->EditMode(), ado::adEditInProgress);
        QCOMPARE(rs()->Fields(u"Account"_qs).Value(), u"alphaX"_qs);
        QVERIFY(binding->DataChanged());
        QCOMPARE(m_grid->model()->index(1, 0).data().toString(), u"alphaX"_qs);
        memo->setPlainText(u"x.org"_qs);
        QCOMPARE(rs()->Fields(u"URL"_qs).Value(), u"x.org"_qs);
        rs()->CancelUpdate();
        QCOMPARE(box->text(), u"alpha"_qs);
        QCOMPARE(memo->toPlainText(), u"a.com"_qs);

        binding->setDataSource(nullptr);
        rs()->MoveNext();
        QCOMPARE(box->text(), u"alpha"_qs);
        box->setText(u"typed while unbound"_qs);
        QCOMPARE(rs()->EditMode(), ado::adEditNone);
    }

    // Guards against a stored value longer than a box's limit being cut when shown or edited.
    void aLongStoredValueIsShownWholeAndKept()
    {
        rs()->Fields(u"Account"_qs).setValue(u"a much longer name"_qs);
        rs()->Fields(u"URL"_qs).setValue(u"https://long.example"_qs);
        rs()->Update();
        auto* box = new QLineEdit(m_form.get());
        box->setMaxLength(5);
        auto* memo = new QPlainTextEdit(m_form.get());
        auto* binding = new adoui::FieldBinding(box);
        auto* memoBinding = new adoui::FieldBinding(memo);
        memoBinding->setMaxLength(6);
        binding->setDataField(u"Account"_qs);
        memoBinding->setDataField(u"URL"_qs);
        binding->setDataSource(m_control);
        memoBinding->setDataSource(m_control);
        QCOMPARE(box->text(), u"a much longer name"_qs);
        box->end(false);
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, u"xy"_qs);
        QCOMPARE(rs()->Fields(u"Account"_qs).Value(), u"a much longer namx"_qs);
        memo->moveCursor(QTextCursor::End);
        QTest::keyClicks(memo, u"!"_qs);
        QCOMPARE(rs()->Fields(u"URL"_qs).Value(), u"https://long.example"_qs);
        rs()->MoveNext(); // a short row: the box's own limit applies again
        box->clear();
        memo->clear();
        QTest::keyClicks(box, u"123456"_qs);
        QTest::keyClicks(memo, u"1234567"_qs);
        QCOMPARE(rs()->Fields(u"Account"_qs).Value(), u"12345"_qs);
        QCOMPARE(memo->toPlainText(), u"123456"_qs);
        QCOMPARE(rs()->Fields(u"URL"_qs).Value(), u"123456"_qs);
        // A paste inside the text loses its own overflow, not the text after it.
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTextCursor at = memo->textCursor();
        at.setPosition(1);
        memo->setTextCursor(at);
        memo->insertPlainText(u"abc"_qs);
        QCOMPARE(rs()->Fields(u"URL"_qs).Value(), u"1ab234"_qs);
    }

    // Guards against the navigator bar leaving the last row or failing on an empty file.
    void navigatorStopsAtTheEnds()
    {
        QCOMPARE(m_control->Caption(), u"ACCOUNT SELECTOR"_qs);
        QCOMPARE(m_control->toolTip(), u"Scan Available Records"_qs);
        auto* next = m_control->findChild<QToolButton*>(u"MoveNext"_qs);
        auto* last = m_control->findChild<QToolButton*>(u"MoveLast"_qs);
        auto* prev = m_control->findChild<QToolButton*>(u"MovePrevious"_qs);
        QVERIFY(next && last && prev);
        last->click();
        next->click();
        QCOMPARE(rs()->AbsolutePosition(), 4L);
        rs()->MoveFirst();
        prev->click();
        QCOMPARE(rs()->AbsolutePosition(), 1L);
    }
};

PINVARA_TEST_MAIN(TestRecordsetModel)
#include "tst_recordsetmodel.moc"
