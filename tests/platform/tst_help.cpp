#include "ScriptedHost.h"
#include "TestMain.h"
#include "platform/help/ChmFile.h"
#include "platform/help/HelpWindow.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vb/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

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
