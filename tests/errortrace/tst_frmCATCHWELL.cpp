// The error report window: heading, error list, fields, call tree, the reduced window outside
// the environment, the user's answer, printing and the knowledge-base lookup.
#include "errortrace/CatchwellState.h"
#include "errortrace/Report.h"
#include "errortrace/frmCATCHWELL.h"
#include "platform/sysinfo/SystemInfo.h"
#include "platform/vb/Error.h"

#include "ScriptedHost.h"
#include "TestMain.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>

using namespace modCatchwell;

namespace {

template <class T>
T* child(QWidget& form, const char* name)
{
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    if (w == nullptr) {
        qFatal("no control %s", name);
    }
    return w;
}

QString text(QWidget& form, const char* name)
{
    if (auto* label = form.findChild<QLabel*>(QString::fromLatin1(name))) {
        return label->text();
    }
    return child<QLineEdit>(form, name)->text();
}

QStringList callLines(QWidget& form)
{
    QStringList out;
    auto* calls = child<QListWidget>(form, "vtCtrlCalls");
    for (int i = 0; i < calls->count(); ++i) {
        out << calls->item(i)->text();
    }
    return out;
}

// An ordinary error in frmMain's cmdOK_Click, three levels deep, no line numbers.
void ordinaryError()
{
    resetState();
    State& s = state();
    ErrorSlot& e = s.cwErrorSlot[0];
    e.module = QStringLiteral("frmMain");
    e.procedure = QStringLiteral("Sub cmdOK_Click");
    e.source = QStringLiteral("Pinvara (local)");
    e.number = 11;
    e.description = QStringLiteral("Division by zero");
    e.category = QStringLiteral("General run-time error");
    e.helpFile = QStringLiteral("pnv.hlp");
    e.helpContext = 1011;
    s.cwErrorTree[0] = QStringLiteral(" 3");
    s.cwErrorTree[1] = QStringLiteral(" 1 : Module1 : Sub Main : ");
    s.cwErrorTree[2] = QStringLiteral(" 2 : \tfrmMain : Sub Form_Load : ");
    s.cwErrorTree[3] = QStringLiteral(" 3 : \t\tfrmMain : Sub cmdOK_Click : ");
}

// Two forwarded errors held in slots 1 and 2 behind error 440.
void forwardedErrors()
{
    ordinaryError();
    State& s = state();
    s.cwErrorSlot[0].number = 440;
    s.cwErrorSlot[0].description = QStringLiteral("Automation error");
    s.cwErrorSlot[0].category = QStringLiteral("Object Linking and Embedding error");
    s.cwErrorCount = 2;
    for (int i = 1; i <= 2; ++i) {
        ErrorSlot& e = s.cwErrorSlot[i];
        e.module = QStringLiteral("clsStore%1 (remote) << x").arg(i);
        e.procedure = QStringLiteral("Sub Save%1").arg(i);
        e.source = QStringLiteral("Store.dll");
        e.number = 1000 + i;
        e.line = i == 1 ? 0 : 77;
        e.description = QStringLiteral("Store Failure %1").arg(i);
        e.category = QStringLiteral("User defined  error");
    }
}

frmCATCHWELL& filledForm()
{
    frmCATCHWELL& form = loadReportForm();
    form.fillReport();
    return form;
}

} // namespace

class TestFrmCatchwell : public QObject
{
    Q_OBJECT

private slots:
    void init() { ordinaryError(); }
    void cleanup()
    {
        unloadReportForm();
        sysinfo::setWindowsDirectory(QString());
    }

    void fixedTextsAtLoad();
    void ordinaryErrorContinue();
    void fieldsAndLineText();
    void callTree_data();
    void callTree();
    void forwardedErrorList();
    void reducedOutsideEnvironment_data();
    void reducedOutsideEnvironment();
    void systemViewCollectedOnce();
    void breakTakesNoComment();
    void closeBoxActsAsContinue();
    void systemTextHandedBack();
    void printEachView_data();
    void printEachView();
    void knowledgeBase_data();
    void knowledgeBase();
    void knowledgeBaseMissing();
};

void TestFrmCatchwell::fixedTextsAtLoad()
{
    // Guards against a changed caption, label or view text of the window.
    frmCATCHWELL& form = loadReportForm();
    QCOMPARE(form.objectName(), QStringLiteral("frmCATCHWELL"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Program Error Intercepted"));
    const QList<std::pair<const char*, QString>> captions = {
        {"vtCtrlLabel1", QStringLiteral(" Module")},
        {"vtCtrlLabel2", QStringLiteral(" Procedure")},
        {"vtCtrlLabel4", QStringLiteral("Line Number ")},
        {"vtCtrlLabel5", QStringLiteral("Error No. ")},
        {"vtCtrlLabel6", QStringLiteral("Description ")},
        {"vtCtrlLabel7", QStringLiteral("Category ")},
        {"vtCtrlProjLab", QStringLiteral("Source ")},
    };
    for (const auto& [name, caption] : captions) {
        QCOMPARE(text(form, name), caption);
    }
    QCOMPARE(child<QPushButton>(form, "vtCtrlContinue")->text(), QStringLiteral("&Continue"));
    QCOMPARE(child<QPushButton>(form, "vtCtrlMore")->text(), QStringLiteral("&Break to"));
    QCOMPARE(child<QPushButton>(form, "cwPrint")->text(), QStringLiteral("Print"));
    QCOMPARE(child<QPushButton>(form, "cmdWWW")->text(), QStringLiteral("Check"));
    QCOMPARE(child<QPlainTextEdit>(form, "Text1")->toPlainText(),
             QStringLiteral("Type in what you were doing here."));
    auto* combo = child<QComboBox>(form, "Combo1");
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(0),
             QStringLiteral("To help resolve the problem, please enter what you were doing."));
    QCOMPARE(combo->itemText(1),
             QStringLiteral("View detailed information about the error source"));
    QCOMPARE(combo->itemText(2), QStringLiteral("View error context and procedure trace"));
    QCOMPARE(combo->itemText(3), QStringLiteral("View local system information"));
    QCOMPARE(child<QStackedWidget>(form, "Picture1")->count(), 4);
    QVERIFY(!form.sysInfoLoaded());
}

void TestFrmCatchwell::ordinaryErrorContinue()
{
    // Guards against a wrong heading, a lost or altered comment, or the busy flag left set.
    ScriptedHost host;
    bool busyWhileUp = false;
    QString heading;
    QStringList errors;
    host.onModal("frmCATCHWELL", [&](QWidget& w) {
        busyWhileUp = state().cwBusy;
        heading = text(w, "lblErrCnt");
        auto* list = child<QComboBox>(w, "errText");
        for (int i = 0; i < list->count(); ++i) {
            errors << list->itemText(i);
        }
        child<QPlainTextEdit>(w, "Text1")
            ->setPlainText(QStringLiteral("  Saved twice\nthen quit "));
        child<QPushButton>(w, "vtCtrlContinue")->click();
    });
    state().cwUserChoice = 7;
    QCOMPARE(pfShowReport(), int16_t(0));
    VERIFY_DRAINED(host);
    QVERIFY(busyWhileUp);
    QVERIFY(!state().cwBusy);
    QCOMPARE(heading, QStringLiteral("An unexpected 'division by zero' error occurred in "
                                     "tst_frmCATCHWELL.\r\n1 error(s) are logged."));
    QCOMPARE(errors, QStringList {QStringLiteral("Error 1 - Division by zero")});
    QCOMPARE(state().cwUserComment, QStringLiteral("  Saved twice\nthen quit "));
    QVERIFY(loadedReportForm() == nullptr);
    QCOMPARE(host.transcript().constFirst().title, QStringLiteral("Program Error Intercepted"));

    // Nothing typed: the prompt itself is the comment.
    host.onModal("frmCATCHWELL",
                 [](QWidget& w) { child<QPushButton>(w, "vtCtrlContinue")->click(); });
    QCOMPARE(pfShowReport(), int16_t(0));
    QCOMPARE(state().cwUserComment, QStringLiteral("Type in what you were doing here."));
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::fieldsAndLineText()
{
    // Guards against fields filled from the wrong slot or a wrong text for missing line numbers.
    frmCATCHWELL& form = filledForm();
    QCOMPARE(text(form, "ErrType"), QStringLiteral("General run-time error"));
    QCOMPARE(text(form, "errProject"), QStringLiteral("Pinvara (local)"));
    QCOMPARE(text(form, "ErrModule"), QStringLiteral(" frmMain"));
    QCOMPARE(text(form, "ErrProcedure"), QStringLiteral(" Sub cmdOK_Click"));
    QCOMPARE(text(form, "ErrLine"), QStringLiteral(" line numbers not used - Code Pointer = 0"));
    QCOMPARE(text(form, "ErrNo"), QStringLiteral(" 11"));
    QCOMPARE(vb::Err().helpFile, QStringLiteral("pnv.hlp"));
    QCOMPARE(vb::Err().helpContext, 1011L);
    unloadReportForm();

    state().cwErrorSlot[0].line = 42;
    QCOMPARE(text(filledForm(), "ErrLine"), QStringLiteral(" 42"));
    unloadReportForm();
    state().cwErrorSlot[0].line = 0;
    state().cwErrorCodePointer = 9;
    QCOMPARE(text(filledForm(), "ErrLine"),
             QStringLiteral(" line numbers not used - Code Pointer = 9"));
}

void TestFrmCatchwell::callTree_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("codePointer");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("selected");
    const QString call1 = QStringLiteral(" 1 : Call\tModule1 : Sub Main :");
    const QString call2 = QStringLiteral(" 2 : Call\t\tfrmMain : Sub Form_Load :");
    QTest::newRow("trap at the failing level")
        << QStringLiteral("Sub cmdOK_Click") << 0 << 0
        << QStringList {call1, call2, QStringLiteral(" 3 : Call\t\t\tfrmMain : Sub cmdOK_Click :"),
                        QStringLiteral(" 4 : Trap\t\t\tRuntime error 11, Division by zero")}
        << 3;
    QTest::newRow("line number and code pointer")
        << QStringLiteral("Sub cmdOK_Click") << 42 << 7
        << QStringList {call1, call2, QStringLiteral(" 3 : Code\t\tCode Pointer = 7"),
                        QStringLiteral(" 4 : Call\t\t\tfrmMain : Sub cmdOK_Click :"),
                        QStringLiteral(
                            " 5 : Trap\t\t\tRuntime error 11, Division by zero on line 42")}
        << 4;
    QTest::newRow("trail cut before the arrows")
        << QStringLiteral("Sub Form_Load << Sub Other") << 0 << 0
        << QStringList {call1, call2,
                        QStringLiteral(" 3 : Trap\t\tRuntime error 11, Division by zero"),
                        QStringLiteral(" 4 : Call\t\t\tfrmMain : Sub cmdOK_Click :"),
                        QStringLiteral(" 5 : Error\t\t\tRuntime error 11, Division by zero")}
        << 2;
    QTest::newRow("failing procedure not in the tree")
        << QStringLiteral("Sub Elsewhere") << 0 << 0
        << QStringList {call1, call2, QStringLiteral(" 3 : Call\t\t\tfrmMain : Sub cmdOK_Click :"),
                        QStringLiteral(" 4 : Error\t\t\tRuntime error 11, Division by zero")}
        << 3;
}

void TestFrmCatchwell::callTree()
{
    // Guards against wrong numbering, indents, trap placement or selection in the call tree.
    QFETCH(QString, procedure);
    QFETCH(int, line);
    QFETCH(int, codePointer);
    QFETCH(QStringList, expected);
    QFETCH(int, selected);
    state().cwErrorSlot[0].procedure = procedure;
    state().cwErrorSlot[0].line = line;
    state().cwCodePointer[2] = static_cast<int16_t>(codePointer);
    frmCATCHWELL& form = filledForm();
    QCOMPARE(callLines(form), expected);
    QCOMPARE(child<QListWidget>(form, "vtCtrlCalls")->currentRow(), selected);
}

void TestFrmCatchwell::forwardedErrorList()
{
    // Guards against forwarded errors missing from the heading, the list, the tree or the fields.
    forwardedErrors();
    frmCATCHWELL& form = filledForm();
    QCOMPARE(text(form, "lblErrCnt"),
             QStringLiteral("An unexpected 'store failure 2' error occurred in a component used by "
                            "tst_frmCATCHWELL.\r\n3 error(s) are logged."));
    auto* list = child<QComboBox>(form, "errText");
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("Error 3 - Automation error"));
    QCOMPARE(list->itemText(2), QStringLiteral("Error 1 - Store Failure 2"));
    // The last item is selected at the end, so the fields show slot 2.
    QCOMPARE(list->currentIndex(), 2);
    QCOMPARE(text(form, "ErrNo"), QStringLiteral(" 1002"));
    QCOMPARE(text(form, "ErrLine"), QStringLiteral(" 77"));
    list->setCurrentIndex(1);
    form.errText_Click();
    QCOMPARE(text(form, "ErrModule"), QStringLiteral(" clsStore1 (remote) << x"));
    QCOMPARE(text(form, "ErrType"), QStringLiteral("User defined  error"));

    const QStringList lines = callLines(form);
    QCOMPARE(lines.size(), 10);
    QCOMPARE(lines[3], QStringLiteral(" 4 : Trap\t\t\tRuntime error 440, Automation error"));
    QCOMPARE(lines[4], QStringLiteral(" 5 : Trap\t\t\tRuntime error 1001, Store Failure 1"));
    QCOMPARE(lines[5],
             QStringLiteral(" 6 : Trap\t\t\tRuntime error 1002, Store Failure 2 on line 77"));
    QCOMPARE(lines[6],
             QStringLiteral(" 7 : Call\t\t\t\tStore.dll : clsStore1 (remote) : Sub Save1"));
    QCOMPARE(lines[7], QStringLiteral(" 8 : Error\t\t\t\tRuntime error 1001, Store Failure 1"));
    QCOMPARE(lines[9],
             QStringLiteral(" 10 : Error\t\t\t\t\tRuntime error 1002, Store Failure 2 on line 77"));
}

void TestFrmCatchwell::reducedOutsideEnvironment_data()
{
    QTest::addColumn<bool>("inIde");
    QTest::addColumn<bool>("force");
    QTest::addColumn<int>("views");
    QTest::addColumn<int>("view");
    QTest::addColumn<bool>("extras");
    QTest::newRow("user") << false << false << 1 << 0 << false;
    QTest::newRow("user, force system info") << false << true << 4 << 0 << false;
    QTest::newRow("environment") << true << false << 4 << 1 << true;
}

void TestFrmCatchwell::reducedOutsideEnvironment()
{
    // Guards against Break, Help or Check offered to users, or views they should not reach.
    QFETCH(bool, inIde);
    QFETCH(bool, force);
    QFETCH(int, views);
    QFETCH(int, view);
    QFETCH(bool, extras);
    state().cwInIDE = inIde;
    state().cwoForceSystemInfo = force;
    frmCATCHWELL& form = loadReportForm();
    auto* cont = child<QPushButton>(form, "vtCtrlContinue");
    auto* print = child<QPushButton>(form, "cwPrint");
    const QPoint designed = cont->pos();
    form.fillReport();
    QCOMPARE(child<QComboBox>(form, "Combo1")->count(), views);
    QCOMPARE(child<QComboBox>(form, "Combo1")->currentIndex(), view);
    QCOMPARE(child<QStackedWidget>(form, "Picture1")->currentIndex(), view);
    for (const char* name : {"vtCtrlMore", "vtHelp", "cmdWWW"}) {
        QCOMPARE(!child<QPushButton>(form, name)->isHidden(), extras);
    }
    QVERIFY(!print->isHidden());
    QVERIFY(!cont->isHidden());
    // 10 twips are two thirds of a pixel: Continue ends one pixel left of Print.
    QCOMPARE(cont->x(), extras ? designed.x() : print->x() - cont->width() - 1);
    QCOMPARE(cont->y(), designed.y());
}

void TestFrmCatchwell::systemViewCollectedOnce()
{
    // Guards against the system view collected again on every visit, or never.
    state().cwoForceSystemInfo = true;
    frmCATCHWELL& form = filledForm();
    auto* combo = child<QComboBox>(form, "Combo1");
    auto* args = child<QPlainTextEdit>(form, "vtCtrlArgs");
    QVERIFY(args->toPlainText().isEmpty());
    combo->setCurrentIndex(3);
    form.Combo1_Click();
    QVERIFY(form.sysInfoLoaded());
    QVERIFY(form.sysText().contains(QStringLiteral("\r\nMemory Information\r\n")));
    QVERIFY(args->toPlainText().startsWith(QStringLiteral("Application")));
    form.setSysText(QStringLiteral("kept"));
    combo->setCurrentIndex(0);
    form.Combo1_Click();
    QCOMPARE(child<QStackedWidget>(form, "Picture1")->currentIndex(), 0);
    combo->setCurrentIndex(3);
    form.Combo1_Click();
    QCOMPARE(form.sysText(), QStringLiteral("kept"));
}

void TestFrmCatchwell::breakTakesNoComment()
{
    // Guards against Break returning the wrong choice or overwriting the stored comment.
    ScriptedHost host;
    state().cwInIDE = true;
    state().cwUserComment = QStringLiteral("earlier");
    host.onModal("frmCATCHWELL", [](QWidget& w) {
        child<QPlainTextEdit>(w, "Text1")->setPlainText(QStringLiteral("not taken"));
        child<QPushButton>(w, "vtCtrlMore")->click();
    });
    QCOMPARE(pfShowReport(), int16_t(5));
    QCOMPARE(state().cwUserChoice, int16_t(5));
    QCOMPARE(state().cwUserComment, QStringLiteral("earlier"));
    QVERIFY(!state().cwBusy);
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::closeBoxActsAsContinue()
{
    // Guards against the close box or Escape leaving the trap without an answer.
    ScriptedHost host;
    state().cwUserChoice = 5;
    host.onModal("frmCATCHWELL", [](QWidget& w) {
        child<QPlainTextEdit>(w, "Text1")->setPlainText(QStringLiteral("closed it"));
        w.close();
    });
    QCOMPARE(pfShowReport(), int16_t(0));
    QCOMPARE(state().cwUserComment, QStringLiteral("closed it"));
    state().cwUserChoice = 5;
    host.onModal("frmCATCHWELL", [](QWidget& w) { static_cast<QDialog&>(w).reject(); });
    QCOMPARE(pfShowReport(), int16_t(0));
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::systemTextHandedBack()
{
    // Guards against the system view's text not reaching the error log's copy.
    ScriptedHost host;
    state().cwoForceSystemInfo = true;
    state().cwSystemText = QStringLiteral("stale");
    host.onModal("frmCATCHWELL", [](QWidget& w) {
        auto& form = static_cast<frmCATCHWELL&>(w);
        child<QComboBox>(w, "Combo1")->setCurrentIndex(3);
        form.Combo1_Click();
        form.vtCtrlContinue_Click();
    });
    pfShowReport();
    QVERIFY(state().cwSystemText.startsWith(QStringLiteral("Application")));
    QVERIFY(state().cwSystemText.contains(QStringLiteral("\r\nDrives\r\n")));
    // Without a visit to the system view the text handed back is empty.
    host.onModal("frmCATCHWELL",
                 [](QWidget& w) { child<QPushButton>(w, "vtCtrlContinue")->click(); });
    pfShowReport();
    QVERIFY(state().cwSystemText.isEmpty());
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::printEachView_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("comment") << 0
                             << QStringList {QStringLiteral("Type in what you were doing here.")};
    QTest::newRow("details")
        << 1
        << QStringList {QStringLiteral("Category General run-time error"),
                        QStringLiteral("Source Pinvara (local)"),
                        QStringLiteral(" Module frmMain"),
                        QStringLiteral(" Procedure Sub cmdOK_Click"),
                        QStringLiteral("Line Number  line numbers not used - Code Pointer = 0"),
                        QStringLiteral("Error No.  11"),
                        QStringLiteral("Description Error 1 - Division by zero")};
    QTest::newRow("call tree")
        << 2
        << QStringList {QStringLiteral(" 1 : Call\tModule1 : Sub Main :"),
                        QStringLiteral(" 2 : Call\t\tfrmMain : Sub Form_Load :"),
                        QStringLiteral(" 3 : Call\t\t\tfrmMain : Sub cmdOK_Click :"),
                        QStringLiteral(" 4 : Trap\t\t\tRuntime error 11, Division by zero")};
}

void TestFrmCatchwell::printEachView()
{
    // Guards against printing the wrong view's lines or nothing reaching the printer.
    QFETCH(int, view);
    QFETCH(QStringList, expected);
    ScriptedHost host;
    state().cwInIDE = true;
    frmCATCHWELL& form = filledForm();
    child<QComboBox>(form, "Combo1")->setCurrentIndex(view);
    form.Combo1_Click();
    QCOMPARE(form.printLines(), expected);
    child<QPushButton>(form, "cwPrint")->click();
    QCOMPARE(host.printedFiles().size(), 1);
    QFile pdf(host.printedFiles().constFirst());
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    pdf.close();
    pdf.remove();
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::knowledgeBase_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("style");
    QTest::newRow("matches after the first space")
        << QStringLiteral("Q100001 PRB: Division by zero in a loop\n"
                          "Division by zero\n"
                          "Q100002 Error 11 when dividing\n"
                          "Q100003 Unrelated article\n")
        << QStringLiteral("The following knowledge base article(s) may contain information to "
                          "assist you:\r\n\r\n - Q100001 PRB: Division by zero in a loop\r\n"
                          " - Q100002 Error 11 when dividing")
        << 64;
    QTest::newRow("nothing matches")
        << QStringLiteral("Q100003 Unrelated article\nERROR 11\n")
        << QStringLiteral("No matching article was found. Try searching the knowledge base for "
                          "the error number.")
        << 64;
}

void TestFrmCatchwell::knowledgeBase()
{
    // Guards against matching on the article number, or losing the matched lines.
    QFETCH(QString, index);
    QFETCH(QString, message);
    QFETCH(int, style);
    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("allmskb.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(index.toLatin1());
    file.close();
    sysinfo::setWindowsDirectory(folder.path());
    state().cwInIDE = true;
    ScriptedHost host;
    host.answerNext(1);
    frmCATCHWELL& form = filledForm();
    QCOMPARE(form.pfSys(), folder.path());
    form.cmdWWW_Click();
    QCOMPARE(host.messages().size(), 1);
    QCOMPARE(host.messages()[0].text, message);
    QCOMPARE(host.messages()[0].title, QStringLiteral("Catchwell"));
    QCOMPARE(host.messages()[0].style, style);
    VERIFY_DRAINED(host);
}

void TestFrmCatchwell::knowledgeBaseMissing()
{
    // Guards against a missing index failing silently, or the lookup running for users.
    ScriptedHost host;
    state().cwInIDE = true;
    frmCATCHWELL& form = filledForm();
    host.answerNext(1);
    form.cmdWWW_Click();  // no Windows directory here
    QTemporaryDir empty;
    sysinfo::setWindowsDirectory(empty.path());
    host.answerNext(1);
    form.cmdWWW_Click();
    QCOMPARE(host.messages().size(), 2);
    for (const auto& m : host.messages()) {
        QCOMPARE(m.text, QStringLiteral("Cannot find allmskb.txt -- assistance not available."));
        QCOMPARE(m.title, QStringLiteral("Quorrel - Keyfold"));
        QCOMPARE(m.style, 0);
    }
    state().cwInIDE = false;
    form.cmdWWW_Click();
    QCOMPARE(host.messages().size(), 2);
    VERIFY_DRAINED(host);
}

PINVARA_TEST_MAIN(TestFrmCatchwell)
#include "tst_frmCATCHWELL.moc"
