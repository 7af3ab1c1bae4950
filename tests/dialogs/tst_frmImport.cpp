#include "ScriptedHost.h"
#include "TestMain.h"
#include "dialogs/frmImport.h"
#include "platform/vb/Constants.h"

#include <QLineEdit>

class TestFrmImport : public QObject
{
    Q_OBJECT

private slots:
    void aShortPasswordIsSelectedForTheNextTry()
    {
        // Guards against the refused password staying unselected, so a retry appends to it.
        ScriptedHost h;
        frmImport d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::keyClicks(d.txtPassword(), QStringLiteral("abc"));
        h.answerNext(vb::vbOK);
        d.cmdOK_Click();
        QVERIFY(d.isVisible());
        QCOMPARE(d.txtPassword()->selectedText(), QStringLiteral("abc"));
        VERIFY_DRAINED(h);
    }

    void closingByTheFrameIsNotAccepted()
    {
        // Guards against a dialog closed by its frame counting as accepted.
        frmImport d;
        d.txtPassword()->setText(QStringLiteral("long enough"));
        d.show();
        d.close();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.OK);
    }
};

PINVARA_TEST_MAIN(TestFrmImport)
#include "tst_frmImport.moc"
