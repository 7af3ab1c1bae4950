#include "ScriptedHost.h"
#include "TestMain.h"
#include "platform/help/ChmFile.h"
#include "platform/help/HelpWindow.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vb/Error.h"

#include <QDataStream>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

// A compiled help file of one directory chunk and no compressed section, holding the objects.
QByteArray uncompressedHelp(const QList<std::pair<QByteArray, QByteArray>>& objects)
{
    auto number = [](quint64 v) {
        QByteArray b(1, char(v & 0x7f));
        while ((v >>= 7) != 0) {
            b.prepend(char(0x80 | (v & 0x7f)));
        }
        return b;
    };
    QByteArray entries;
    QByteArray content;
    for (const auto& [name, data] : objects) {
        entries += number(name.size()) + name + number(0) + number(content.size())
            + number(data.size());
        content += data;
    }
    QByteArray file;
    QDataStream s(&file, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    auto words = [&](std::initializer_list<qint32> values) {
        for (qint32 v : values) {
            s << v;
        }
    };
    const qint32 chunk = 0x1000;
    const qint64 directory = 0x54 + chunk;
    s.writeRawData("ITSF", 4);
    words({3, 0x60, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    s << qint64(0) << qint64(0) << qint64(0x60) << directory << 0x60 + directory;
    s.writeRawData("ITSP", 4);
    words({1, 0x54, 10, chunk, 2, 1, -1, 0, 0, -1, 1, 0, 0, 0, 0, 0, 0x54, -1, -1, -1});
    s.writeRawData("PMGL", 4);
    words({chunk - 0x14 - qint32(entries.size()), 0, -1, -1});
    entries = entries.leftJustified(chunk - 0x14, '\0');
    s.writeRawData(entries.constData(), int(entries.size()));
    s.writeRawData(content.constData(), int(content.size()));
    return file;
}

// Child mode: "--show-help <file>" shows the help file as the help command does and prints the
// error raised, or the depth and size of the contents shown. A packed contents page (".gz") is
// shown from a help file made around it.
const testenv::ChildMode showHelpChild("--show-help", [] {
    QString file = QCoreApplication::arguments().last();
    QTemporaryDir dir;
    if (file.endsWith(u".gz")) {
        QProcess gzip;
        gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), file});
        QFile chm(file = dir.filePath(QStringLiteral("contents.chm")));
        if (!gzip.waitForFinished(60000) || !chm.open(QIODevice::WriteOnly)) {
            return 2;
        }
        chm.write(uncompressedHelp(
            {{"/index.htm", "<h1>Contents</h1>"}, {"/toc.hhc", gzip.readAllStandardOutput()}}));
    }
    try {
        std::unique_ptr<help::HelpWindow> w(
            help::HtmlHelp(nullptr, file, help::HH_DISPLAY_TOPIC, 0));
        int levels = 0;
        int entries = 0;
        for (QTreeWidgetItemIterator it(w->contentsTree()); *it != nullptr; ++it, ++entries) {
            int level = 1;
            for (QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) {
                ++level;
            }
            levels = std::max(levels, level);
        }
        std::printf("%d levels, %d entries\n", levels, entries);
    } catch (const vb::Error& e) {
        std::printf("%ld %s\n", e.number, qPrintable(e.description));
    }
    return 0;
});

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

    QString m_chm;

    static QStringList pagesOf(const QList<help::ContentsEntry>& entries)
    {
        QStringList pages;
        for (const help::ContentsEntry& e : entries) {
            if (!e.page.isEmpty()) {
                pages << e.page;
            }
            pages << pagesOf(e.children);
        }
        return pages;
    }

    static long raisedBy(const std::function<void()>& call, QString* description = nullptr)
    {
        try {
            call();
        } catch (const vb::Error& e) {
            if (description != nullptr) {
                *description = e.description;
            }
            return e.number;
        }
        return 0;
    }

private slots:
    void initTestCase()
    {
        m_chm = QFINDTESTDATA("../../help/QuorrelKeyfold.chm");
        QVERIFY(!m_chm.isEmpty());
    }

    void cleanup()
    {
        if (help::HelpWindow* w = help::openHelpWindow()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void theProgramsHelpIsComplete()
    {
        // Guards against a help file whose contents name pages it does not hold.
        help::ChmFile chm;
        QVERIFY2(chm.open(m_chm), qPrintable(chm.error()));
        QCOMPARE(chm.title(), QStringLiteral("Pinvara Help"));
        QCOMPARE(chm.defaultTopic(), QStringLiteral("/html/index.htm"));
        const QList<help::ContentsEntry> contents = chm.contents();
        QVERIFY(contents.size() >= 8);
        const QStringList pages = pagesOf(contents);
        QCOMPARE(pages.size(), 10);
        for (const QString& page : pages) {
            QVERIFY2(chm.read(page).contains("<h1>"), qPrintable(page));
        }
        // The accounts heading groups its three pages.
        const auto heading = std::find_if(contents.begin(), contents.end(),
            [](const help::ContentsEntry& e) { return e.page.isEmpty(); });
        QVERIFY(heading != contents.end());
        QCOMPARE(heading->children.size(), 3);
    }

    void unusableFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("words");
        QTest::newRow("missing") << QByteArray() << "does not exist";
        QTest::newRow("empty") << QByteArray("") << "is not a compiled help file";
        QTest::newRow("text") << QByteArray("<html>not compiled</html>")
                              << "is not a compiled help file";
    }

    void unusableFiles()
    {
        // Guards against a bad help file failing silently or without saying which file.
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("QuorrelKeyfold.chm"));
        if (!content.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QString description;
        QCOMPARE(raisedBy([&] { help::HtmlHelp(nullptr, path, help::HH_DISPLAY_TOPIC, 0); },
                     &description),
            53L);
        QVERIFY2(description.contains(path), qPrintable(description));
        QVERIFY2(description.contains(QTest::currentDataTag() == QByteArray("missing")
                         ? QStringLiteral("does not exist")
                         : QStringLiteral("is not a compiled help file")),
            qPrintable(description));
        QVERIFY(help::openHelpWindow() == nullptr);
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("outcome");
        const QString damaged = QStringLiteral(PINVARA_TEST_DATA "/damaged/");
        for (const char* name : {"help-lzx-version", "help-block-length-overflow",
                 "help-block-length-huge", "help-directory-loop", "help-control-data-name-case",
                 "help-control-data-name-nul"}) {
            const QString file = damaged + QString::fromLatin1(name) + QStringLiteral(".chm");
            QTest::newRow(name) << file
                                << QStringLiteral("53 The help file \"%1\" is damaged.").arg(file);
        }
        QTest::newRow("contents-nested-100000")
            << damaged + QStringLiteral("contents-nested-100000.hhc.gz")
            << QStringLiteral("64 levels, 100000 entries");
    }

    void damagedFiles()
    {
        // Guards against a damaged help file crashing or hanging the program instead of being
        // refused, and against a deeply nested contents page overflowing the stack.
        QFETCH(QString, file);
        QFETCH(QString, outcome);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--show-help"), file});
        QVERIFY(child.waitForStarted());
        if (!child.waitForFinished(120000)) {
            child.kill();
            child.waitForFinished();
            QFAIL("the help file was still being read after two minutes");
        }
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(), outcome);
    }

    void theWindowShowsAndFollowsPages()
    {
        // Guards against a help window that opens blank or whose contents and links lead nowhere.
        help::HelpWindow* w = help::HtmlHelp(nullptr, m_chm, help::HH_DISPLAY_TOPIC, 0);
        QVERIFY(w != nullptr && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Pinvara Help"));
        QCOMPARE(w->currentTopic(), QStringLiteral("/html/index.htm"));
        QVERIFY(w->browser()->toPlainText().contains(QStringLiteral("Welcome to Pinvara")));
        QCOMPARE(w->contentsTree()->currentItem()->text(0), QStringLiteral("Welcome to Pinvara"));

        const QList<QTreeWidgetItem*> found = w->contentsTree()->findItems(
            QStringLiteral("The security lock"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        emit w->contentsTree()->itemActivated(found[0], 0);
        QCOMPARE(w->currentTopic(), QStringLiteral("/html/lock.htm"));
        QVERIFY(w->browser()->toPlainText().contains(QStringLiteral("REFRESH PASSWORD")));
        QCOMPARE(w->contentsTree()->currentItem(), found[0]);

        w->browser()->setSource(QUrl(QStringLiteral("options.htm")));
        QCOMPARE(w->currentTopic(), QStringLiteral("/html/options.htm"));
        w->browser()->backward();
        QCOMPARE(w->currentTopic(), QStringLiteral("/html/lock.htm"));
        QCOMPARE(w->contentsTree()->currentItem(), found[0]);

        // A second call brings the same window back on the first page.
        QCOMPARE(help::HtmlHelp(nullptr, m_chm, help::HH_DISPLAY_TOPIC, 0), w);
        QCOMPARE(w->currentTopic(), QStringLiteral("/html/index.htm"));
    }

    void nothingOutsideTheFileIsRead()
    {
        // Guards against a help page pulling in local files or network addresses.
        help::HelpWindow* w = help::HtmlHelp(nullptr, m_chm, help::HH_DISPLAY_TOPIC, 0);
        QVERIFY(!w->browser()
                     ->loadResource(QTextDocument::HtmlResource, QUrl::fromLocalFile(m_chm))
                     .isValid());
        QVERIFY(!w->browser()
                     ->loadResource(QTextDocument::ImageResource,
                         QUrl(QStringLiteral("http://127.0.0.1/x.png")))
                     .isValid());
    }

    void badCalls()
    {
        // Guards against an unknown page or command being shown as an empty window.
        const QByteArray page("html/none.htm");
        QString description;
        QCOMPARE(raisedBy(
                     [&] {
                         help::HtmlHelp(nullptr, m_chm, help::HH_DISPLAY_TOPIC,
                             reinterpret_cast<uintptr_t>(page.constData()));
                     },
                     &description),
            53L);
        QVERIFY(description.contains(QStringLiteral("/html/none.htm")));
        QCOMPARE(raisedBy([&] { help::HtmlHelp(nullptr, m_chm, 15, 0); }), 5L);
        QVERIFY(help::openHelpWindow() == nullptr);
    }
};

PINVARA_TEST_MAIN(TestHelp)
#include "tst_help.moc"
