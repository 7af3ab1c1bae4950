#include "ScriptedHost.h"
#include "TestMain.h"
#include "dialogs/frmImport.h"
#include "dialogs/frmNewFile.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"

#include <QCheckBox>
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
        QCOMPARE(d.focusWidget(), d.txtPassword());
        QTest::keyClicks(d.txtPassword(), QStringLiteral("abc"));
        h.answerNext(vb::vbOK);
        d.cmdOK_Click();
        QVERIFY(d.isVisible());
        QVERIFY(!d.OK);
        QCOMPARE(d.txtPassword()->selectedText(), QStringLiteral("abc"));
        VERIFY_DRAINED(h);
    }

    void closingByTheFrameIsNotAccepted()
    {
        // Guards against a closed dialog counting as accepted.
        frmImport d;
        d.txtPassword()->setText(QStringLiteral("long enough"));
        d.show();
        d.close();
        QVERIFY(!d.isVisible());
        QVERIFY(!d.OK);
    }

    void theNoticeKeepsItsTickWhileHidden()
    {
        // Guards against the notice forgetting "do not show" between two new files.
        gHideNewFileInfo = false;
        frmNewFile& n = frmNewFile::instance();
        n.show();
        n.Check1()->setChecked(true);
        n.OKButton_Click();
        QVERIFY(!n.isVisible());
        QVERIFY(gHideNewFileInfo);
        QVERIFY(frmNewFile::instance().Check1()->isChecked());
        n.Check1()->setChecked(false);
        QVERIFY(!gHideNewFileInfo);
    }
};

PINVARA_TEST_MAIN(TestFrmImport)
#include "tst_frmImport.moc"
