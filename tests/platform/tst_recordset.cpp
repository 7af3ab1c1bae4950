#include "DataFileFixture.h"
#include "TestMain.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlCipher.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

class TestRecordset : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;
    std::shared_ptr<ado::Connection> m_conn;
    std::unique_ptr<ado::Recordset> m_rs;

    static long errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const vb::Error& e) {
            return e.number;
        }
        return 0;
    }

    void open()
    {
        m_conn = std::make_shared<ado::Connection>();
        m_conn->Open(testdata::connectString(m_file, u"pwR7305"_qs));
        m_rs = std::make_unique<ado::Recordset>();
        m_rs->Open(u"Select * from tblAccount"_qs, m_conn);
    }

    QString account() { return m_rs->Fields(u"Account"_qs).Value(); }

    // The Account column of the present view, walking it from the first row.
    QStringList accounts()
    {
        QStringList out;
        for (int i = 0; i < m_rs->viewCount(); ++i) {
            out << m_rs->viewValue(i, m_rs->fieldIndex(u"Account"_qs));
        }
        return out;
    }

private slots:
    void init()
    {
        m_rs.reset();
        m_conn.reset();
        m_file = m_dir.filePath(u"rs.pnv"_qs);
        testdata::writePlainFile(m_file, {u"beta|b.org"_qs, u"Alpha|a.com|first"_qs,
                                          u"mike|m.net"_qs, u"alpha|z.org|second"_qs,
                                          u"Äpfel|obst.de"_qs, u"delta|d.com"_qs});
        open();
    }

    // Guards against a wrong order, unstable ties, case-sensitive order or a changed Sort text.
    void sortOrdersTheView_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("none") << "" << QStringList{"beta", "Alpha", "mike", "alpha", "Äpfel", "delta"};
        QTest::newRow("field alone") << "Account"
                                     << QStringList{"Alpha", "alpha", "beta", "delta", "mike", "Äpfel"};
        QTest::newRow("ascending") << "Account ASC"
                                   << QStringList{"Alpha", "alpha", "beta", "delta", "mike", "Äpfel"};
        QTest::newRow("descending, ties in source order")
            << "Account DESC" << QStringList{"Äpfel", "mike", "delta", "beta", "Alpha", "alpha"};
        QTest::newRow("other field") << "url desc"
                                     << QStringList{"alpha", "Äpfel", "mike", "delta", "beta", "Alpha"};
    }
    void sortOrdersTheView()
    {
        QFETCH(QString, sort);
        QFETCH(QStringList, expected);
        m_rs->setSort(sort);
        QCOMPARE(m_rs->Sort(), sort);
        QCOMPARE(accounts(), expected);
    }

    // Guards against a sort that looks only at the first bytes of names sharing long beginnings,
    // or that goes wrong once a file holds enough names to be sorted by buckets.
    void sortOrdersNamesSharingTheirFirstWords_data()
    {
        QTest::addColumn<int>("more");
        QTest::newRow("a few names") << 0;
        QTest::newRow("many names") << 700;
    }
    void sortOrdersNamesSharingTheirFirstWords()
    {
        QFETCH(int, more);
        QStringList names{u"Bank of Scotland savings"_qs, u"bank of scotland"_qs,
                          u"Bank of Scotland 2"_qs,      u"Bank of Ireland"_qs,
                          u"Bank of"_qs,                 u"bank"_qs,
                          u"BANK OF SCOTLAND SAVINGS 0001"_qs, u"BANK OF SCOTLAND"_qs,
                          u"bank of scotland savings"_qs, u""_qs,
                          u"Bank of Scotland savings 0001 old"_qs};
        // Shared beginnings in mixed case, repeated names, letters beyond ASCII, long tails.
        const QStringList heads{u"Bank of Scotland "_qs, u"BANK of scotland "_qs,
                                u"Crédit Agricole "_qs, u"Work "_qs, u"work e-mail "_qs};
        for (int i = 0; i < more; ++i) {
            names << heads[i % heads.size()] + QString::number(i * 7919 % 89)
                    + (i % 4 == 0 ? QString(80, u'z') : QString());
        }
        m_rs.reset();
        m_conn.reset();
        QStringList rows;
        for (const QString& n : names) {
            rows << n + u"|u"_qs;
        }
        testdata::writePlainFile(m_file, rows);
        open();
        const auto key = [](const QString& s) { return s.toCaseFolded().toUtf8(); };
        QStringList ascending = names;
        std::stable_sort(ascending.begin(), ascending.end(),
                         [&](const QString& a, const QString& b) { return key(a) < key(b); });
        m_rs->setSort(u"Account"_qs);
        QCOMPARE(accounts(), ascending);
        QStringList descending = names; // ties stay in the data source's order
        std::stable_sort(descending.begin(), descending.end(),
                         [&](const QString& a, const QString& b) { return key(b) < key(a); });
        m_rs->setSort(u"Account DESC"_qs);
        QCOMPARE(accounts(), descending);
    }

    // Guards against case-sensitive or misplaced wildcard matching and a wrong count.
    void filterKeepsMatchingRows_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("prefix") << "Account LIKE 'al*'" << QStringList{"Alpha", "alpha"};
        QTest::newRow("contains") << "Account LIKE '*EL*'" << QStringList{"Äpfel", "delta"};
        QTest::newRow("percent wildcards") << "URL LIKE '%.org'" << QStringList{"beta", "alpha"};
        QTest::newRow("non-ASCII folding") << "Account LIKE 'äp*'" << QStringList{"Äpfel"};
        QTest::newRow("exact") << "Account = 'MIKE'" << QStringList{"mike"};
        QTest::newRow("no match") << "Account LIKE 'zz*'" << QStringList{};
        QTest::newRow("cleared") << "" << QStringList{"beta", "Alpha", "mike", "alpha", "Äpfel", "delta"};
    }
    void filterKeepsMatchingRows()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        m_rs->setFilter(u"Account LIKE 'b*'"_qs);
        m_rs->setFilter(filter);
        QCOMPARE(m_rs->Filter(), filter);
        QCOMPARE(accounts(), expected);
        QCOMPARE(m_rs->RecordCount(), long(expected.size()));
        QCOMPARE(m_rs->IsBOF() && m_rs->IsEOF(), expected.isEmpty());
        if (!expected.isEmpty()) {
            QCOMPARE(account(), expected.first());
        }
    }

    // Guards against an apostrophe or a malformed criterion reaching the matcher.
    void badCriteriaRaise3001_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::newRow("apostrophe in pattern") << "Account LIKE 'O'Brien*'";
        QTest::newRow("doubled apostrophe") << "Account LIKE 'O''B*'";
        QTest::newRow("inner wildcard") << "Account LIKE 'a*b'";
        QTest::newRow("no quotes") << "Account LIKE abc";
        QTest::newRow("unknown field") << "Nickname LIKE 'a*'";
        QTest::newRow("no operator") << "Account 'a'";
    }
    void badCriteriaRaise3001()
    {
        QFETCH(QString, criteria);
        m_rs->setFilter(u"Account LIKE 'm*'"_qs);
        QCOMPARE(errorOf([&] { m_rs->setFilter(criteria); }), ado::errInvalidArgument);
        QCOMPARE(m_rs->Filter(), u"Account LIKE 'm*'"_qs);
        QCOMPARE(m_rs->RecordCount(), 1L);
        QCOMPARE(errorOf([&] { m_rs->Find(criteria); }), ado::errInvalidArgument);
    }

    // Guards against Find skipping the current row, searching backwards, or not ending at EOF.
    void findSearchesForwardFromTheCurrentRow()
    {
        m_rs->setSort(u"Account ASC"_qs);
        m_rs->MoveFirst();
        m_rs->Find(u"Account LIKE 'a*'"_qs);
        QCOMPARE(m_rs->AbsolutePosition(), 1L);
        m_rs->Find(u"Account LIKE 'd*'"_qs);
        QCOMPARE(account(), u"delta"_qs);
        m_rs->Find(u"Account LIKE 'a*'"_qs);
        QVERIFY(m_rs->IsEOF());
        QCOMPARE(m_rs->AbsolutePosition(), ado::adPosEOF);
        m_rs->MoveFirst();
        m_rs->Find(u"Account LIKE 'a*'"_qs, 1);
        QCOMPARE(m_rs->AbsolutePosition(), 2L);
    }

    // Guards against off-by-one positions and moves past BOF/EOF that do not raise 3021.
    void movesStopAtTheEdges()
    {
        QCOMPARE(m_rs->AbsolutePosition(), 1L);
        m_rs->MovePrevious();
        QVERIFY(m_rs->IsBOF() && !m_rs->IsEOF());
        QCOMPARE(m_rs->AbsolutePosition(), ado::adPosBOF);
        QCOMPARE(errorOf([&] { m_rs->MovePrevious(); }), ado::errNoCurrentRecord);
        QCOMPARE(errorOf([&] { account(); }), ado::errNoCurrentRecord);
        m_rs->MoveLast();
        QCOMPARE(m_rs->AbsolutePosition(), 6L);
        m_rs->MoveNext();
        QVERIFY(m_rs->IsEOF());
        QCOMPARE(m_rs->AbsolutePosition(), ado::adPosEOF);
        QCOMPARE(errorOf([&] { m_rs->MoveNext(); }), ado::errNoCurrentRecord);
        m_rs->MoveFirst();
        m_rs->Move(2);
        QCOMPARE(account(), u"mike"_qs);
        m_rs->Move(100);
        QVERIFY(m_rs->IsEOF());
        m_rs->setAbsolutePosition(4);
        QCOMPARE(account(), u"alpha"_qs);
        m_rs->Move(-100);
        QVERIFY(m_rs->IsBOF());
        QCOMPARE(errorOf([&] { m_rs->setAbsolutePosition(0); }), ado::errInvalidArgument);
        QCOMPARE(errorOf([&] { m_rs->setAbsolutePosition(7); }), ado::errInvalidArgument);
    }

    // Guards against edits that are not saved on leaving the row, or saved after a cancel.
    void editModeFollowsEditsAndMoves()
    {
        QSignalSpy changed(m_rs.get(), &ado::Recordset::rowChanged);
        QCOMPARE(m_rs->EditMode(), ado::adEditNone);
        m_rs->Fields(u"url"_qs).setValue(u"new.example"_qs);
        QCOMPARE(m_rs->EditMode(), ado::adEditInProgress);
        QCOMPARE(changed.count(), 1);
        m_rs->CancelUpdate();
        QCOMPARE(m_rs->EditMode(), ado::adEditNone);
        QCOMPARE(m_rs->Fields(u"URL"_qs).Value(), u"b.org"_qs);

        m_rs->Fields(u"URL"_qs).setValue(u"saved.example"_qs);
        m_rs->MoveNext(); // leaving the row saves it
        QCOMPARE(m_rs->EditMode(), ado::adEditNone);
        m_rs->Fields(u"Hint"_qs).setValue(u"dropped"_qs);
        m_rs->CancelUpdate();

        open();
        QCOMPARE(m_rs->Fields(u"URL"_qs).Value(), u"saved.example"_qs);
        m_rs->MoveNext();
        QVERIFY(m_rs->Fields(u"Hint"_qs).Value().isNull());
    }

    // Guards against a new row that is lost, written twice, or left visible after a cancel.
    void addNewUpdateAndCancel()
    {
        m_rs->MoveLast();
        m_rs->AddNew();
        QCOMPARE(m_rs->EditMode(), ado::adEditAdd);
        QCOMPARE(m_rs->RecordCount(), 7L);
        m_rs->CancelUpdate();
        QCOMPARE(m_rs->RecordCount(), 6L);
        QCOMPARE(account(), u"delta"_qs);

        m_rs->AddNew();
        m_rs->Fields(u"Account"_qs).setValue(u"zulu"_qs);
        QCOMPARE(m_rs->EditMode(), ado::adEditAdd);
        m_rs->Update();
        QCOMPARE(m_rs->EditMode(), ado::adEditNone);
        m_rs->Update(); // nothing pending: no second row
        open();
        QCOMPARE(m_rs->RecordCount(), 7L);
        m_rs->MoveLast();
        QCOMPARE(account(), u"zulu"_qs);
    }

    // Guards against Delete moving on by itself, or the deleted row coming back.
    void deleteLeavesTheDeletedRowCurrent()
    {
        m_rs->setAbsolutePosition(3);
        m_rs->Delete();
        QCOMPARE(m_rs->EditMode(), ado::adEditDelete);
        QCOMPARE(m_rs->RecordCount(), 5L);
        QVERIFY(!m_rs->IsBOF() && !m_rs->IsEOF());
        QCOMPARE(account(), u"mike"_qs);
        QCOMPARE(errorOf([&] { m_rs->Update(); }), ado::errNoCurrentRecord);
        m_rs->MoveNext();
        QCOMPARE(m_rs->EditMode(), ado::adEditNone);
        QCOMPARE(account(), u"alpha"_qs);
        open();
        QCOMPARE(accounts(), (QStringList{"beta", "Alpha", "alpha", "Äpfel", "delta"}));
    }

    // Guards against a write of one record that changes no row, or several, passing for saved
    // or leaving its changes in the file.
    void aWriteThatChangesNoRowOrSeveralRaises_data()
    {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<long>("error");
        const QString gone = u"DELETE FROM tblAccount"_qs;
        // Every row made to answer to the current row's id.
        const QString shared = u"ALTER TABLE tblAccount ADD COLUMN rowid INTEGER; UPDATE "
                               "tblAccount SET rowid = (SELECT min(_rowid_) FROM tblAccount)"_qs;
        // Another account already named as the edit names this one.
        const QString replaces
            = u"ALTER TABLE tblAccount RENAME TO old; CREATE TABLE tblAccount (Account TEXT "
              "UNIQUE ON CONFLICT REPLACE, URL TEXT); INSERT INTO tblAccount (rowid, Account, "
              "URL) SELECT rowid, Account, URL FROM old; DROP TABLE old; INSERT INTO "
              "tblAccount (Account) VALUES ('lost')"_qs;
        const long notFound = ado::errRowNotFound;
        QTest::newRow("edit of a row gone from the file") << "Update" << gone << notFound;
        QTest::newRow("delete of a row gone from the file") << "Delete" << gone << notFound;
        QTest::newRow("new row a trigger skips")
            << "AddNew"
            << u"CREATE TRIGGER skip BEFORE INSERT ON tblAccount BEGIN SELECT RAISE(IGNORE); END"_qs
            << notFound;
        QTest::newRow("edit of a row whose id all share") << "Update" << shared << notFound;
        QTest::newRow("delete of a row whose id all share") << "Delete" << shared << notFound;
        QTest::newRow("edit that would replace another row")
            << "Update" << replaces << long(ado::errProviderUnspecified);
        QTest::newRow("new row that would replace another")
            << "AddNew" << replaces << long(ado::errProviderUnspecified);
    }
    void aWriteThatChangesNoRowOrSeveralRaises()
    {
        QFETCH(QString, write);
        QFETCH(QString, sql);
        QFETCH(long, error);
        QVERIFY(m_conn->database().exec(sql).ok());
        const QByteArray before = testdata::fileBytes(m_file);
        QCOMPARE(errorOf([&] {
                     if (write == u"Delete") {
                         return m_rs->Delete();
                     }
                     if (write == u"AddNew") {
                         m_rs->AddNew();
                     }
                     m_rs->Fields(u"Account"_qs).setValue(u"lost"_qs);
                     m_rs->Update();
                 }),
                 error);
        QCOMPARE(testdata::fileBytes(m_file), before);
    }

    // Guards against a sort saving or dropping a pending edit, or losing the current row.
    void sortKeepsThePendingEditAndRow()
    {
        m_rs->setAbsolutePosition(3);
        m_rs->Fields(u"Account"_qs).setValue(u"aaron"_qs);
        m_rs->setSort(u"Account ASC"_qs);
        QCOMPARE(m_rs->EditMode(), ado::adEditInProgress);
        QCOMPARE(account(), u"aaron"_qs);
        m_rs->CancelUpdate();
        QCOMPARE(account(), u"mike"_qs);
    }

    // Guards against Sort, Filter or Find working from values cached before an edit or AddNew.
    void orderAndFilterSeeChangedValues()
    {
        m_rs->setSort(u"Account ASC"_qs);
        m_rs->setFilter(u"Account LIKE '*a*'"_qs);
        m_rs->MoveFirst();
        m_rs->Fields(u"Account"_qs).setValue(u"zeta"_qs); // was Alpha
        m_rs->Update();
        m_rs->AddNew();
        m_rs->Fields(u"Account"_qs).setValue(u"Aardvark"_qs);
        m_rs->Update();
        m_rs->setSort(u"Account DESC"_qs);
        QCOMPARE(accounts(), (QStringList{"zeta", "delta", "beta", "alpha", "Aardvark"}));
        m_rs->setSort(u"Account ASC"_qs);
        m_rs->setFilter(u"Account LIKE 'a*'"_qs);
        QCOMPARE(accounts(), (QStringList{"Aardvark", "alpha"}));
        m_rs->setFilter(QString());
        m_rs->MoveFirst();
        m_rs->Find(u"Account LIKE 'ze*'"_qs);
        QCOMPARE(account(), u"zeta"_qs);
        QCOMPARE(m_rs->AbsolutePosition(), 6L);
    }

    // Guards against use of a closed recordset, and a Close that throws a pending edit away.
    void closedRecordsetRaises3704()
    {
        m_rs->Fields(u"Account"_qs).setValue(u"pending"_qs);
        QCOMPARE(errorOf([&] { m_rs->Close(); }), ado::errIllegalOperation);
        m_rs->Update();
        m_rs->Close();
        QCOMPARE(m_rs->State(), ado::adStateClosed);
        const QList<std::function<void()>> ops = {
            [&] { m_rs->RecordCount(); },  [&] { m_rs->MoveFirst(); },
            [&] { m_rs->setSort(u"Account"_qs); }, [&] { m_rs->Filter(); },
            [&] { m_rs->EditMode(); },     [&] { account(); },
            [&] { m_rs->IsEOF(); },        [&] { m_rs->Close(); },
        };
        for (const auto& op : ops) {
            QCOMPARE(errorOf(op), ado::errObjectClosed);
        }
        QVERIFY(m_rs->ActiveConnection() != nullptr);
        m_rs->setActiveConnection(nullptr);
        QVERIFY(m_rs->ActiveConnection() == nullptr);
    }

    // Guards against an empty table reporting a current row.
    void emptyTableIsBothBofAndEof()
    {
        testdata::copyTemplate(m_file);
        open();
        QCOMPARE(m_rs->RecordCount(), 0L);
        QVERIFY(m_rs->IsBOF() && m_rs->IsEOF());
        QCOMPARE(m_rs->FieldCount(), 14);
        m_rs->MoveFirst();
        QVERIFY(m_rs->IsEOF());
    }
};

PINVARA_TEST_MAIN(TestRecordset)
#include "tst_recordset.moc"
