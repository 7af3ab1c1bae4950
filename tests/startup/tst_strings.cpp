#include "TestMain.h"
#include "platform/vb/Error.h"
#include "startup/Module1.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

class TestStrings : public QObject
{
    Q_OBJECT

    static long errorOf(int id)
    {
        try {
            Module1::LoadResString(id);
        } catch (const vb::Error& e) {
            return e.number;
        }
        return 0;
    }

private slots:
    void tableHoldsTheTextsVerbatim_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 1000 << "&File";
        QTest::newRow("ellipsis") << 1002 << "&Open...";
        QTest::newRow("trailing blank") << 1022 << "&About ";
        QTest::newRow("two leading blanks") << 1073 << "  Pinvara V1.1";
        QTest::newRow("login caption") << 1044 << "Pinvara Login";
        QTest::newRow("slash") << 1046 << "P/Word:";
        QTest::newRow("dots after colon") << 1060 << "Warning: ...";
        QTest::newRow("inner blank") << 1017 << "Status &Bar";
        QTest::newRow("last") << 1082 << "Information";
    }
    void tableHoldsTheTextsVerbatim()
    {
        // Guards against blanks or punctuation of a text being lost or trimmed.
        QFETCH(int, id);
        QFETCH(QString, text);
        QCOMPARE(Module1::LoadResString(id), text);
    }

    void missingIdRaises_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("gap 1036") << 1036;
        QTest::newRow("gap 1043") << 1043;
        QTest::newRow("font name 20") << 20;
        QTest::newRow("below") << 999;
        QTest::newRow("above") << 1083;
    }
    void missingIdRaises()
    {
        // Guards against a missing id giving an empty text instead of an error.
        QFETCH(int, id);
        QCOMPARE(errorOf(id), 326L);
    }

    void windowCaptionFollowsItsTag_data()
    {
        QTest::addColumn<QVariant>("tag");
        QTest::addColumn<QString>("caption");
        QTest::newRow("number") << QVariant(u"1044"_s) << "Pinvara Login";
        QTest::newRow("empty") << QVariant(QString()) << "Design";
        QTest::newRow("word") << QVariant(u"Main"_s) << "Design";
        QTest::newRow("digits then letters") << QVariant(u"1044abc"_s) << "Design";
        QTest::newRow("missing id") << QVariant(u"1043"_s) << "Design";
        QTest::newRow("no Tag at all") << QVariant() << "Design";
    }
    void windowCaptionFollowsItsTag()
    {
        // Guards against the window's Tag being read leniently or a bad Tag blanking it.
        QFETCH(QVariant, tag);
        QFETCH(QString, caption);
        QDialog frm;
        frm.setWindowTitle(u"Design"_s);
        if (tag.isValid()) {
            frm.setProperty("Tag", tag);
        }
        Module1::LoadResStrings(frm);
        QCOMPARE(frm.windowTitle(), caption);
    }

    void controlsFollowTheirKindsRules()
    {
        // Guards against the per-kind rules being mixed up, or one failure stopping the rest.
        QDialog frm;
        frm.setProperty("Tag", u"oops"_s);
        auto* layout = new QVBoxLayout(&frm);

        auto* strictLabel = new QLabel(u"label"_s);
        strictLabel->setProperty("Tag", u"1045"_s);
        auto* lenientLabel = new QLabel(u"label2"_s);
        lenientLabel->setProperty("Tag", u"1046x"_s);  // labels convert strictly
        auto* button = new QPushButton(u"button"_s);
        button->setProperty("Tag", u"1047abc"_s);      // others take the leading number
        button->setToolTip(u"1048"_s);
        auto* twelve = new QPushButton(u"twelve"_s);
        twelve->setProperty("Tag", u"12abc"_s);        // id 12 does not exist
        twelve->setToolTip(u"Press here"_s);
        auto* zero = new QPushButton(u"zero"_s);
        zero->setProperty("Tag", u"0"_s);
        zero->setToolTip(u"0.4"_s);
        for (QWidget* w : {static_cast<QWidget*>(strictLabel), static_cast<QWidget*>(lenientLabel),
                           static_cast<QWidget*>(button), static_cast<QWidget*>(twelve),
                           static_cast<QWidget*>(zero)}) {
            layout->addWidget(w);
        }

        auto* menuBar = new QMenuBar(&frm);
        QMenu* fileMenu = menuBar->addMenu(u"1000"_s);
        QAction* newItem = fileMenu->addAction(u"1001"_s);
        QAction* exitItem = fileMenu->addAction(u"Exit"_s);

        auto* toolbar = new QToolBar(&frm);
        QAction* tool = toolbar->addAction(u"tool"_s);
        tool->setToolTip(u"1023"_s);
        QAction* plainTool = toolbar->addAction(u"plain"_s);
        plainTool->setToolTip(u"Plain"_s);

        auto* tabs = new QTabBar(&frm);
        tabs->addTab(u"tab"_s);
        tabs->setTabData(0, u"1080"_s);
        tabs->setTabToolTip(0, u"1081"_s);

        auto* list = new QTreeWidget(&frm);
        list->setHeaderLabels({u"col"_s, u"col2"_s});
        list->headerItem()->setData(0, Qt::UserRole, u"1071"_s);

        // A dialog parented to the window keeps its own strings.
        auto* child = new QDialog(&frm);
        auto* childLabel = new QLabel(u"child"_s, child);
        childLabel->setProperty("Tag", u"1045"_s);

        frm.setWindowTitle(u"Design"_s);
        Module1::LoadResStrings(frm);

        QCOMPARE(frm.windowTitle(), u"Design"_s);
        QCOMPARE(strictLabel->text(), u"Name:"_s);
        QCOMPARE(lenientLabel->text(), u"label2"_s);
        QCOMPARE(button->text(), u"OK"_s);
        QCOMPARE(button->toolTip(), u"Cancel"_s);
        QCOMPARE(twelve->text(), u"twelve"_s);
        QCOMPARE(twelve->toolTip(), u"Press here"_s);
        QCOMPARE(zero->text(), u"zero"_s);
        QCOMPARE(zero->toolTip(), u"0.4"_s);
        QCOMPARE(fileMenu->title(), u"&File"_s);
        QCOMPARE(newItem->text(), u"&New"_s);
        QCOMPARE(exitItem->text(), u"Exit"_s);
        QCOMPARE(tool->toolTip(), u"New"_s);
        QCOMPARE(plainTool->toolTip(), u"Plain"_s);
        QCOMPARE(tabs->tabText(0), u"Options"_s);
        QCOMPARE(tabs->tabToolTip(0), u"Help"_s);
        QCOMPARE(list->headerItem()->text(0), u"Add Account"_s);
        QCOMPARE(list->headerItem()->text(1), u"col2"_s);
        QCOMPARE(childLabel->text(), u"child"_s);
    }
};

PINVARA_TEST_MAIN(TestStrings)
#include "tst_strings.moc"
