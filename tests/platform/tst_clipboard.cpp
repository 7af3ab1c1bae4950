#include "TestMain.h"
#include "platform/clipboard/SecretClipboard.h"
#include "platform/host/QtHost.h"

#include <QClipboard>
#include <QMimeData>

class TestClipboard : public QObject
{
    Q_OBJECT

private slots:
    void handedOutTextIsMarkedSecret()
    {
        // Guards against a handed-out password landing in a clipboard manager's history.
        host::QtHost desktop;
        desktop.clipboardSetText(QStringLiteral("pa55word"));
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(clipboard::isMarkedSecret(data));
        QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        QCOMPARE(desktop.clipboardText(), QStringLiteral("pa55word"));
        desktop.clipboardClear();
        QCOMPARE(desktop.clipboardText(), QString());
        QVERIFY(!clipboard::isMarkedSecret(QApplication::clipboard()->mimeData()));
    }
};

PINVARA_TEST_MAIN(TestClipboard)
#include "tst_clipboard.moc"
