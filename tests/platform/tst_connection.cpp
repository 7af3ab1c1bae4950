#include "DataFileFixture.h"
#include "TestMain.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SafeFile.h"
#include "platform/ado/SqlCipher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// Child mode: "--edit-child <file>" saves an edit of the first account's address and prints
// the number of the error that stopped it (0 for none) and whether the open or the edit failed.
const testenv::ChildMode editChild("--edit-child", [] {
    long number = 0;
    const char* stage = "open";
    try {
        auto conn = std::make_shared<ado::Connection>();
        conn->Open(testdata::connectString(QCoreApplication::arguments().constLast(), u"aR7305"_qs));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), conn);
        stage = "edit";
        rs.Fields(u"URL"_qs).setValue(u"edited"_qs);
        rs.Update();
    } catch (const vb::Error& e) {
        number = e.number;
    }
    std::printf("%ld %s\n", number, stage);
    return 0;
});

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    static vb::Error errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const vb::Error& e) {
            return e;
        }
        return {};
    }

    static QString compactDest(const QString& file, const QString& password)
    {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file
            + QStringLiteral(";Jet OLEDB:Engine Type=5;Jet OLEDB:Encrypt Database=True;"
                             "Jet OLEDB:Database Password=")
            + password;
    }

    static QString compactSource(const QString& file, const QString& password)
    {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Locking Mode=0;"
                              "User ID=\"Admin\";Jet OLEDB:Database Password=")
            + password + QStringLiteral(";Data Source=") + file;
    }

    static long rowsIn(const QString& file, const QString& password)
    {
        auto conn = std::make_shared<ado::Connection>();
        conn->Open(testdata::connectString(file, password));
        ado::Recordset rs;
        rs.Open(QStringLiteral("Select * from tblAccount"), conn);
        return rs.RecordCount();
    }

private slots:
    // Guards against misreading the properties, quoted values or a ";" typed in the password.
    void parsesTheConnectionString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("engine");
        QTest::addColumn<bool>("encrypt");
        QTest::newRow("working string") << testdata::connectString(u"/d/a.pnv"_qs, u"pwR7305"_qs)
                                        << "/d/a.pnv" << "pwR7305" << 5 << false;
        QTest::newRow("quoted password keeps its semicolon")
            << testdata::connectString(u"/d/a;b.pnv"_qs, u";ab;cdR7305"_qs) << "/d/a;b.pnv"
            << ";ab;cdR7305" << 5 << false;
        QTest::newRow("doubled quote inside a quoted value")
            << "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"a\"\"b;\";"
               "Data Source=q"
            << "q" << "a\"b;" << 0 << false;
        QTest::newRow("compaction destination, password last")
            << compactDest(u"/t/x.pnv"_qs, u"p=q"_qs) << "/t/x.pnv" << "p=q" << 5 << true;
        QTest::newRow("compaction source, quoted user")
            << compactSource(u"/d/a.pnv"_qs, u"pw"_qs) << "/d/a.pnv" << "pw" << 0 << false;
        QTest::newRow("two double quotes are empty")
            << "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=\"\";Data Source=f"
            << "f" << "" << 0 << false;
        QTest::newRow("names ignore case")
            << "provider=Microsoft.Jet.OLEDB.4.0;DATA SOURCE=g;jet oledb:encrypt database=true"
            << "g" << "" << 0 << true;
    }
    void parsesTheConnectionString()
    {
        QFETCH(QString, text);
        QFETCH(QString, source);
        QFETCH(QString, password);
        QFETCH(int, engine);
        QFETCH(bool, encrypt);
        const auto cs = ado::ConnectionString::parse(text);
        QCOMPARE(cs.dataSource(), source);
        QCOMPARE(cs.password(), password);
        QCOMPARE(cs.engineType(), engine);
        QCOMPARE(cs.encryptDatabase(), encrypt);
        QCOMPARE(cs.value(u"user id"_qs), text.contains(u"User ID"_qs) ? u"Admin"_qs : QString());
    }

    // Guards against opening a file through a provider the layer does not stand in for.
    void rejectsAnotherProvider()
    {
        const QString file = path(u"prov.pnv"_qs);
        testdata::copyTemplate(file);
        QString text = testdata::connectString(file, u"x"_qs);
        text.replace(u"Microsoft.Jet.OLEDB.4.0"_qs, u"SQLOLEDB"_qs);
        ado::Connection conn;
        QCOMPARE(errorOf([&] { conn.Open(text); }).number, ado::errProviderNotFound);
        QCOMPARE(conn.State(), ado::adStateClosed);
    }

    // Guards against bad files passing for a wrong password (or crashing the engine).
    void badFilesRaiseTheProviderErrorNamingTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << "missing.pnv" << QByteArray();
        QTest::newRow("zero length") << "empty.pnv" << QByteArray("");
        QTest::newRow("text file") << "notes.pnv" << QByteArray("Just some notes.\n").repeated(128);
        QTest::newRow("odd size") << "odd.pnv" << QByteArray(1500, '\x5a');
    }
    void badFilesRaiseTheProviderErrorNamingTheFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString file = path(name);
        if (!content.isNull()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        ado::Connection conn;
        const vb::Error e = errorOf([&] { conn.Open(testdata::connectString(file, u"pw"_qs)); });
        QCOMPARE(e.number, ado::errProviderUnspecified);
        QVERIFY2(e.description.contains(file), qPrintable(e.description));
        QCOMPARE(e.source, ado::kSourceJet);
    }

    // Guards against a crafted plaintext file hanging the reader, or taking an edit to no row,
    // to several, or to work of the file's own.
    void craftedFilesFailAndStayAsTheyAre_data()
    {
        QTest::addColumn<QString>("source");
        const QString damaged = QStringLiteral(PINVARA_TEST_DATA "/damaged/");
        QTest::newRow("tblAccount a view without end") << damaged + "datafile-recursive-view.pnv";
        QTest::newRow("a column of its own named rowid") << damaged + "datafile-rowid-column.pnv";
        QTest::newRow("rowid in a composite key") << damaged + "datafile-rowid-in-composite-key.pnv";
        QTest::newRow("rowid INTEGER PRIMARY KEY DESC")
            << damaged + "datafile-rowid-integer-key-desc.pnv";
        QTest::newRow("a trigger deleting the others")
            << damaged + "datafile-trigger-deletes-others.pnv";
        QTest::newRow("a trigger over a view without end")
            << damaged + "datafile-trigger-recursive-view.pnv";
        // Made here from a sound file.
        QTest::newRow("an update trigger without end")
            << u"CREATE VIEW c AS WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) "
               "SELECT x FROM c; CREATE TRIGGER t AFTER UPDATE ON tblAccount BEGIN "
               "SELECT max(x) FROM c; END"_qs;
        QTest::newRow("a column of its own named OiD")
            << u"ALTER TABLE tblAccount ADD COLUMN \"OiD\" INTEGER"_qs;
    }
    void craftedFilesFailAndStayAsTheyAre()
    {
        QFETCH(QString, source);
        const QString file = path(u"crafted.pnv"_qs);
        QFile::remove(file);
        if (!source.startsWith(u'/')) {
            testdata::writePlainFile(file, {u"a|b"_qs});
            ado::detail::Database db;
            QVERIFY(db.open(file, {}).ok());
            QVERIFY(db.exec(source).ok());
        } else {
            QVERIFY(QFile::copy(source, file));
        }
        const QByteArray before = testdata::fileBytes(file);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {u"--edit-child"_qs, file});
        const bool ended = child.waitForFinished(30000);
        child.kill();
        child.waitForFinished();
        QVERIFY(ended);
        // Refused at the open: an edit never starts.
        QCOMPARE(child.readAllStandardOutput().trimmed(),
                 QByteArray::number(ado::errProviderUnspecified) + " open");
        QCOMPARE(testdata::fileBytes(file), before);
    }

    // Guards against an encrypted file truncated mid-page being reported as a password problem.
    void truncatedEncryptedFileIsNotAPasswordProblem()
    {
        const QString file = path(u"trunc.pnv"_qs);
        testdata::writeEncryptedFile(file, {u"a|b"_qs}, u"kR7305"_qs);
        QFile f(file);
        QVERIFY(f.resize(f.size() - 100));
        ado::Connection conn;
        QCOMPARE(errorOf([&] { conn.Open(testdata::connectString(file, u"kR7305"_qs)); }).number,
                 ado::errProviderUnspecified);
    }

    // Guards against a wrong key opening the file or raising anything but the password error.
    void wrongKeyIsThePasswordError()
    {
        const QString file = path(u"keyed.pnv"_qs);
        testdata::writeEncryptedFile(file, {u"one|u1"_qs, u"two|u2"_qs}, u"rightR7305"_qs);
        ado::Connection conn;
        const vb::Error e =
            errorOf([&] { conn.Open(testdata::connectString(file, u"wrongR7305"_qs)); });
        QCOMPARE(e.number, ado::errWrongPassword);
        QCOMPARE(e.description, u"Not a valid password."_qs);
        QCOMPARE(conn.State(), ado::adStateClosed);
        QCOMPARE(rowsIn(file, u"rightR7305"_qs), 2L);
    }

    // Guards against the template needing a key (a new file is keyed only by compaction).
    void plaintextTemplateOpensUnderAnyPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << "";
        QTest::newRow("derived") << "secretR7305";
        QTest::newRow("with semicolon") << "a;bR7305";
    }
    void plaintextTemplateOpensUnderAnyPassword()
    {
        const QString file = path(u"tmpl.pnv"_qs);
        testdata::copyTemplate(file);
        QFETCH(QString, password);
        QCOMPARE(rowsIn(file, password), 0L);
    }

    // Guards against compaction leaving the file unencrypted, under the old key or missing rows.
    void compactionReKeysAndEncrypts()
    {
        const QString plain = path(u"round.pnv"_qs);
        testdata::writePlainFile(plain, {u"alpha|a.com"_qs, u"beta|b.org"_qs, u"gamma|g.net"_qs});
        const QString first = path(u"first.pnv"_qs);
        ado::CompactDatabase(compactSource(plain, u"anything"_qs), compactDest(first, u"oneR7305"_qs));
        QVERIFY(testdata::fileHeader(first) != QByteArray("SQLite format 3\0", 16));
        QCOMPARE(rowsIn(first, u"oneR7305"_qs), 3L);

        const QString second = path(u"second.pnv"_qs);
        ado::CompactDatabase(compactSource(first, u"oneR7305"_qs), compactDest(second, u"twoR7305"_qs));
        QCOMPARE(rowsIn(second, u"twoR7305"_qs), 3L);
        QCOMPARE(errorOf([&] { rowsIn(second, u"oneR7305"_qs); }).number, ado::errWrongPassword);
        QCOMPARE(QDir(m_dir.path()).entryList({u".pnvcompact*"_qs}, QDir::Hidden | QDir::Files),
                 QStringList());
    }

    // Guards against compaction overwriting a file, or leaving a target after a bad source.
    void compactionFailuresLeaveNoTarget()
    {
        const QString source = path(u"src.pnv"_qs);
        testdata::writeEncryptedFile(source, {u"x|y"_qs}, u"goodR7305"_qs);
        const QString existing = path(u"exists.pnv"_qs);
        {
            QFile f(existing);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        vb::Error e = errorOf([&] {
            ado::CompactDatabase(compactSource(source, u"goodR7305"_qs), compactDest(existing, u"n"_qs));
        });
        QCOMPARE(e.number, ado::errDatabaseExists);
        QCOMPARE(e.description, u"Database already exists."_qs);
        QCOMPARE(testdata::fileHeader(existing), QByteArray("keep me"));

        const QString target = path(u"never.pnv"_qs);
        e = errorOf([&] {
            ado::CompactDatabase(compactSource(source, u"badR7305"_qs), compactDest(target, u"n"_qs));
        });
        QCOMPARE(e.number, ado::errWrongPassword);
        QVERIFY(!QFile::exists(target));
    }

    // Guards against an empty key (a password cut at ";") writing the accounts in plaintext.
    void encryptionWithoutAKeyFails()
    {
        const QString plain = path(u"nokey.pnv"_qs);
        testdata::writePlainFile(plain, {u"a|b"_qs});
        const QString target = path(u"nokey-out.pnv"_qs);
        QCOMPARE(errorOf([&] {
                     ado::CompactDatabase(compactSource(plain, u"x"_qs), compactDest(target, {}));
                 }).number,
                 ado::errWrongPassword);
        QVERIFY(!QFile::exists(target));
    }

    // Guards against a plaintext file passing for a compacted copy and replacing a data file.
    void aPlaintextCopyNeverReplacesADataFile()
    {
        const QString data = path(u"victim.pnv"_qs);
        testdata::writeEncryptedFile(data, {u"mine|m"_qs}, u"kR7305"_qs);
        const QByteArray before = testdata::fileHeader(data);
        const QString planted = path(u"planted.pnv"_qs);
        testdata::writePlainFile(planted, {u"theirs|t"_qs});
        QVERIFY(errorOf([&] { ado::installCompactedCopy(planted, data, u"kR7305"_qs); }).number
                != 0);
        QCOMPARE(testdata::fileHeader(data), before);
        QCOMPARE(rowsIn(data, u"kR7305"_qs), 1L);
        QVERIFY(!QFile::exists(planted));
    }

    // Guards against the copy's folder being one that a link or another user controls.
    void aFolderThatIsALinkIsNotPrivate()
    {
        const QString real = path(u"real"_qs);
        QVERIFY(QDir().mkpath(real));
        const QString link = path(u"link"_qs);
        QVERIFY(QFile::link(real, link));
        QCOMPARE(errorOf([&] { ado::requirePrivateFolder(link); }).number, 75L);
        const QString mine = path(u"mine"_qs);
        QVERIFY(QDir().mkpath(mine));
        QVERIFY(QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                | QFile::ReadOther | QFile::ExeOther));
        ado::requirePrivateFolder(mine);
        QCOMPARE(QFileInfo(mine).permissions() & (QFile::ReadOther | QFile::ExeOther),
                 QFile::Permissions());
    }
};

PINVARA_TEST_MAIN(TestConnection)
#include "tst_connection.moc"
