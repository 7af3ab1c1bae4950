#include "ScriptedHost.h"
#include "TestMain.h"
#include "errortrace/CatchwellState.h"
#include "errortrace/modCatchwell.h"
#include "platform/vb/Error.h"
#include "startup/Module1.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

int pagesIn(const QString& pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(f.readAll());
    return static_cast<int>(text.count(QRegularExpression(u"/Type\\s*/Page(?!s)"_s)));
}

QString lines(int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i) {
        out << u"Account line %1 with some words on it"_s.arg(i);
    }
    return out.join(u'\n');
}

void writeFile(const QString& path, const QString& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

} // namespace

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void trimNullCutsAtTheFirstNul_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("inner NUL") << u"abc\0def"_s << "abc";
        QTest::newRow("no NUL") << "abc" << "abc";
        QTest::newRow("leading NUL") << u"\0abc"_s << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("two NULs") << u"a\0b\0c"_s << "a";
    }
    void trimNullCutsAtTheFirstNul()
    {
        // Guards against text after a NUL leaking into names and paths.
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(Module1::TrimNull(text), trimmed);
        QCOMPARE(Module1::StripTerminator(text), trimmed);
    }

    void tempDirEndsWithSeparator()
    {
        // Guards against file names being glued to the folder name without a separator.
        const QString dir = Module1::GetTempDir();
        QVERIFY(dir.endsWith(u'/'));
        QCOMPARE(dir, QDir::tempPath() + u'/');
    }

    void tempDirIsNeverTheRootFolder()
    {
        // Guards against temporary files landing in "/" when TMPDIR names no folder.
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/nonexistent-pinvara-folder");
        const QString dir = Module1::GetTempDir();
        qputenv("TMPDIR", saved);
        QCOMPARE(dir, u"/nonexistent-pinvara-folder/"_s);
    }

    void tempFileIsCreatedUnderANewName()
    {
        // Guards against two callers being handed the same temporary file.
        QString first;
        QString second;
        QVERIFY(Module1::GetTempFile(QString(), u"pnvskin"_s, 0, first));
        QVERIFY(Module1::GetTempFile(QString(), u"pnvskin"_s, 0, second));
        QVERIFY(first != second);
        for (const QString& name : {first, second}) {
            QVERIFY(name.startsWith(Module1::GetTempDir() + u"pnv"_s));
            QVERIFY(!name.contains(u"pnvs"_s));
            QVERIFY(QFileInfo(name).isFile());
            QCOMPARE(QFileInfo(name).size(), 0);
            QFile::remove(name);
        }
    }

    void tempFileWithUniqueNumberOrBadFolder()
    {
        // Guards against a name being claimed in a folder that does not exist.
        QString name = u"unchanged"_s;
        QVERIFY(!Module1::GetTempFile(u"/no/such/folder"_s, u"pnv"_s, 0, name));
        QVERIFY(name.isEmpty());
        QTemporaryDir dir;
        QVERIFY(Module1::GetTempFile(dir.path(), u"pnv"_s, 0x1A, name));
        QCOMPARE(name, dir.filePath(u"pnv1A.TMP"_s));
        QVERIFY(!QFileInfo::exists(name));
    }

    void resourceItemIsWrittenOrItsErrorReturned()
    {
        // Guards against a missing item or unwritable path raising instead of returning.
        QTemporaryDir dir;
        const QString dest = dir.filePath(u"out.bin"_s);
        QVERIFY(Module1::SaveResItemToDisk(u"NO-SUCH-ITEM"_s, u"CUSTOM"_s, dest) != 0);
        QVERIFY(!QFileInfo::exists(dest));
        // The items are all of the custom type: asked for as another type, none is found.
        QVERIFY(Module1::SaveResItemToDisk(u"PEEKUP"_s, u"BITMAP"_s, dest) != 0);
        QVERIFY(!QFileInfo::exists(dest));
        QVERIFY(Module1::SaveResItemToDisk(u"strings.txt"_s, u"CUSTOM"_s,
                                           dir.filePath(u"missing/out.bin"_s))
                != 0);
        QFile item(u":/strings.txt"_s);
        QVERIFY(item.open(QIODevice::ReadOnly));
        const QByteArray bytes = item.readAll();
        // A new file, and a file made empty beforehand (as the picture loader's temporary
        // files are), both end up holding the item.
        const QString made = dir.filePath(u"made.tmp"_s);
        QFile empty(made);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        for (const QString& path : { dest, made }) {
            QCOMPARE(Module1::SaveResItemToDisk(u"strings.txt"_s, u"CUSTOM"_s, path), 0L);
            QFile written(path);
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), bytes);
        }
    }

    void printerWidthIsTheWholePageAndPrintsNothing()
    {
        // Guards against measuring the printer leaving a printed page behind.
        ScriptedHost host;
        const long width = Module1::GetPrinterWidth();
        QPrinter reference(QPrinter::HighResolution);
        QCOMPARE(width, std::lround(reference.paperRect(QPrinter::Inch).width() * 1440));
        QCOMPARE(host.printedFiles().size(), 1);
        QVERIFY(!QFileInfo::exists(host.printedFiles()[0]));
    }

    void wysiwygWrapsAtThePrintedLineWidth()
    {
        // Guards against the margins being applied twice or not at all.
        ScriptedHost host;
        Module1::gPrinterDC.reset();
        QTextDocument doc(lines(3));
        const long width = Module1::WYSIWYG_RTF(doc, 1440, 720);
        QCOMPARE(width, Module1::GetPrinterWidth() - 1440 - 720);
        QVERIFY(Module1::gPrinterDC != nullptr);
        QCOMPARE(doc.textWidth(), width / 15.0);
        for (const QString& pdf : host.printedFiles()) {
            QVERIFY(!QFileInfo::exists(pdf));
        }
        Module1::gPrinterDC.reset();
    }

    void aMissingOrRefusingPrinterReachesTheTrap_data()
    {
        QTest::addColumn<int>("printer");
        QTest::addColumn<bool>("print");
        QTest::addColumn<long>("number");
        const int none = int(ScriptedHost::Printer::None);
        const int refusing = int(ScriptedHost::Printer::Refusing);
        QTest::newRow("width, no printer") << none << false << 484L;
        QTest::newRow("print, no printer") << none << true << 484L;
        QTest::newRow("print, job refused") << refusing << true << 482L;
    }
    void aMissingOrRefusingPrinterReachesTheTrap()
    {
        // Guards against a print that did not happen passing silently as done.
        QFETCH(int, printer);
        QFETCH(bool, print);
        QFETCH(long, number);
        ScriptedHost host;
        host.setPrinter(ScriptedHost::Printer(printer));
        QTemporaryDir logs;
        modCatchwell::resetState();
        modCatchwell::setAppFolder(logs.path());
        QList<long> trapped;
        modCatchwell::setReportHook([&] {
            trapped << vb::Err().number;
            return int16_t(0);
        });
        QTextDocument doc(lines(3));
        if (print) {
            Module1::PrintRTF(doc, 1440, 1440, 1440, 1440);
        } else {
            QCOMPARE(Module1::GetPrinterWidth(), 0L);
        }
        modCatchwell::setReportHook({});
        modCatchwell::setAppFolder({});
        QCOMPARE(trapped, QList<long>{number});
        for (const QString& pdf : host.printedFiles()) {
            QVERIFY(!QFileInfo::exists(pdf));
        }
    }

    void printRtfPrintsAPagePerScreenful_data()
    {
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("minPages");
        QTest::addColumn<int>("maxPages");
        QTest::newRow("short") << 3 << 1 << 1;
        QTest::newRow("empty") << 0 << 1 << 1;
        QTest::newRow("long") << 200 << 3 << 8;
    }
    void printRtfPrintsAPagePerScreenful()
    {
        // Guards against long text being cut at one page or short text printing blank pages.
        QFETCH(int, lineCount);
        QFETCH(int, minPages);
        QFETCH(int, maxPages);
        ScriptedHost host;
        QTextDocument doc(lines(lineCount));
        Module1::PrintRTF(doc, 1440, 1440, 1440, 1440);
        QCOMPARE(host.printedFiles().size(), 1);
        const int pages = pagesIn(host.printedFiles()[0]);
        QVERIFY2(pages >= minPages && pages <= maxPages, qPrintable(QString::number(pages)));
    }

    void longerTextNeedsMorePages()
    {
        // Guards against pages overlapping or repeating text instead of going on from the last.
        ScriptedHost host;
        QTextDocument shorter(lines(150));
        QTextDocument longer(lines(300));
        Module1::PrintRTF(shorter, 720, 720, 720, 720);
        Module1::PrintRTF(longer, 720, 720, 720, 720);
        const int a = pagesIn(host.printedFiles()[0]);
        const int b = pagesIn(host.printedFiles()[1]);
        QVERIFY(b >= 2 * a - 1 && b <= 2 * a);
    }

    void browserStartsAsTheDesktopDoes()
    {
        // Guards against only the first word of the desktop's command being started, an
        // address passing options to the browser, and a browser that failed at once being
        // reported as started.
        // The user's folders are this test's own; the system's are left out, and no desktop
        // session is detected, so the plain freedesktop rules apply.
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        const QString apps = qEnvironmentVariable("XDG_DATA_HOME") + u"/applications"_s;
        QVERIFY(config.startsWith(QString::fromLocal8Bit(testenv::rootFolder()) + u'/'));
        QTemporaryDir none;
        qputenv("XDG_CONFIG_DIRS", none.path().toLocal8Bit());
        qputenv("XDG_DATA_DIRS", none.path().toLocal8Bit());
        for (const char* session : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                    "GNOME_DESKTOP_SESSION_ID"}) {
            qunsetenv(session);
        }
        writeFile(config + u"/mimeapps.list"_s,
                  u"[Default Applications]\ntext/html=web.desktop\n"_s);
        auto entry = [&](const QString& exec) {
            writeFile(apps + u"/web.desktop"_s,
                      u"[Desktop Entry]\nType=Application\nName=Web\nExec="_s + exec + u'\n');
        };

        entry(u"env WEB_PROFILE=test /bin/true --new %u"_s);
        QString program;
        QStringList arguments;
        Module1::setProcessStarter([&](const QString& p, const QStringList& a) {
            program = p;
            arguments = a;
            return true;
        });
        // What others may put in the shared temporary folder neither stops the look-up nor gets
        // written through: a link named like the probe, then a file in the place of the
        // program's own folder there.
        const QString mine = config + u"/mine.txt"_s;
        writeFile(mine, u"mine"_s);
        const QString planted = Module1::GetTempDir() + u"dummy.html"_s;
        QVERIFY(QFile::link(mine, planted));
        const QString own = QDir::cleanPath(Module1::GetPrivateTempDir());
        long code = 0;
        for (int round = 0; round < 2; ++round) {
            if (round == 1) {
                QDir(own).removeRecursively();
                writeFile(own, u"squatted"_s);
            }
            QCOMPARE(Module1::GetBrowserName(code), QStandardPaths::findExecutable(u"env"_s));
            QVERIFY(code >= 32);
            QVERIFY(!QFileInfo::exists(own + u"/dummy.html"_s));
        }
        QFile::remove(own);
        QCOMPARE(QFileInfo(planted).symLinkTarget(), mine);
        QFile kept(mine);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine"));
        QFile::remove(planted);
        QVERIFY(Module1::StartNewBrowser(u"http://example.org/a --b"_s));
        QCOMPARE(program, QStandardPaths::findExecutable(u"env"_s));
        QCOMPARE(arguments, QStringList({u"WEB_PROFILE=test"_s, u"/bin/true"_s, u"--new"_s,
                                         u"http://example.org/a --b"_s}));
        // An address that would read as an option starts nothing.
        program.clear();
        QVERIFY(!Module1::StartNewBrowser(u" --renderer-cmd-prefix=/x.sh"_s));
        QVERIFY(program.isEmpty());

        // Started for real, a wrapper whose browser cannot start is no success.
        Module1::setProcessStarter({});
        entry(u"env /no/such/browser %u"_s);
        QVERIFY(!Module1::StartNewBrowser(u"http://example.org"_s));
        entry(u"/no/such/browser %u"_s);
        Module1::GetBrowserName(code);
        QVERIFY(code < 32);

        // With nothing associated nothing is started.
        QFile::remove(config + u"/mimeapps.list"_s);
        program.clear();
        Module1::setProcessStarter([&](const QString& p, const QStringList&) {
            program = p;
            return true;
        });
        QVERIFY(!Module1::StartNewBrowser(u"http://example.org"_s));
        QVERIFY(program.isEmpty());
        Module1::setProcessStarter({});
    }
};

PINVARA_TEST_MAIN(TestModule1)
#include "tst_module1.moc"
