#include "errortrace/frmCATCHWELL.h"
#include "ui_frmCATCHWELL.h"

#include "errortrace/CatchwellState.h"
#include "errortrace/Report.h"
#include "errortrace/SysInfo.h"
#include "errortrace/WaitCursor.h"
#include "platform/host/Host.h"
#include "platform/sysinfo/SystemInfo.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Error.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QPaintEvent>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>
#include <QTextStream>

using modCatchwell::pfMsg;
using modCatchwell::State;
using modCatchwell::state;

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kPrompt = QStringLiteral("Type in what you were doing here.");
// The executable of the newest development environment, whose help engine the Help button uses.
const QString kNewestEnvironmentExe = QStringLiteral("VB6.EXE");

frmCATCHWELL*& instance()
{
    static frmCATCHWELL* form = nullptr;
    return form;
}

// The application's help file name, switched to the component's own while the window is up
// inside the development environment.
QString& appHelpFile()
{
    static QString name;
    return name;
}


QString lineText(int32_t line)
{
    if (line == 0) {
        return QStringLiteral(" line numbers not used - Code Pointer = ")
               + QString::number(state().cwErrorCodePointer);
    }
    return u' ' + QString::number(line);
}

QString beforeTrail(const QString& text)
{
    const qsizetype at = text.indexOf(QStringLiteral(" << "));
    return at < 0 ? text : text.left(at);
}

int heldErrors()
{
    return qBound(0, static_cast<int>(state().cwErrorCount), 10);
}

} // namespace

frmCATCHWELL::frmCATCHWELL(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::frmCATCHWELL)
{
    ui->setupUi(this);
    if (instance() == nullptr) {
        instance() = this;
    }
    connect(ui->Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(ui->errText, &QComboBox::activated, this, [this] { errText_Click(); });
    connect(ui->vtCtrlContinue, &QPushButton::clicked, this, [this] { vtCtrlContinue_Click(); });
    connect(ui->vtCtrlMore, &QPushButton::clicked, this, [this] { vtCtrlMore_Click(); });
    connect(ui->vtHelp, &QPushButton::clicked, this, [this] { vtHelp_Click(); });
    connect(ui->cwPrint, &QPushButton::clicked, this, [this] { cwPrint_Click(); });
    connect(ui->cmdWWW, &QPushButton::clicked, this, [this] { cmdWWW_Click(); });

    const QList<std::pair<QWidget*, QString>> hints = {
        {this, QStringLiteral("Press 'Continue' to acknowledge this error and continue.")},
        {ui->vtCtrlContinue, QStringLiteral("Press to acknowledge this error and continue.")},
        {ui->vtCtrlMore, QStringLiteral("Press to break to design-mode in this procedure.")},
        {ui->vtHelp, QStringLiteral("Press to show detailed help about this error.")},
        {ui->cwPrint, QStringLiteral("Press to print this tabs data to the default printer.")},
        {ui->cmdWWW, QStringLiteral("Press to search the Microsoft Internet Knowledge Base for any "
                                    "relation to this error.")},
        {ui->ErrModule, QStringLiteral("The error module")},
        {ui->vtCtrlLabel1, QStringLiteral("The error module")},
        {ui->ErrProcedure, QStringLiteral("The error procedure")},
        {ui->vtCtrlLabel2, QStringLiteral("The error procedure")},
        {ui->ErrLine, QStringLiteral("The line number where the error happened")},
        {ui->vtCtrlLabel4, QStringLiteral("The line number where the error happened")},
        {ui->ErrNo, QStringLiteral("The error number")},
        {ui->vtCtrlLabel5, QStringLiteral("The error number")},
        {ui->vtCtrlLabel6, QStringLiteral("A description of the error")},
        {ui->ErrType, QStringLiteral("The error category")},
        {ui->vtCtrlLabel7, QStringLiteral("The error category")},
        {ui->errProject, QStringLiteral("The error source")},
        {ui->vtCtrlProjLab, QStringLiteral("The error source")},
    };
    for (const auto& [widget, hint] : hints) {
        widget->setProperty("hint", hint);
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
    Form_Load();
}

frmCATCHWELL::~frmCATCHWELL()
{
    if (instance() == this) {
        instance() = nullptr;
    }
}

void frmCATCHWELL::Form_Load()
{
    SysInfoLoaded = false;
    setWindowTitle(pfMsg(34));
    ui->cwPrint->setText(QStringLiteral("Print"));
    ui->vtCtrlLabel1->setText(u' ' + pfMsg(19).trimmed());
    ui->vtCtrlLabel2->setText(u' ' + pfMsg(30).trimmed());
    ui->vtCtrlLabel4->setText(pfMsg(35));
    ui->vtCtrlLabel5->setText(pfMsg(36));
    ui->vtCtrlLabel6->setText(pfMsg(37));
    ui->vtCtrlLabel7->setText(pfMsg(38));
    ui->vtCtrlProjLab->setText(pfMsg(61));
    ui->vtCtrlContinue->setText(pfMsg(42));
    ui->vtCtrlMore->setText(pfMsg(44));
    centre();
    // Long call-tree lines scroll sideways rather than wrap.
    ui->vtCtrlCalls->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ui->Combo1->addItem(
        QStringLiteral("To help resolve the problem, please enter what you were doing."));
    ui->Combo1->addItem(QStringLiteral("View detailed information about the error source"));
    ui->Combo1->addItem(QStringLiteral("View error context and procedure trace"));
    ui->Combo1->addItem(QStringLiteral("View local system information"));
    errText_Click();
}

void frmCATCHWELL::centre()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
}

void frmCATCHWELL::fillReport()
{
    const State& s = state();
    const modCatchwell::ErrorSlot& first = s.cwErrorSlot[0];
    ui->ErrType->setText(first.category);
    ui->vtCtrlCalls->clear();

    if (s.cwInIDE) {
        setComboIndex(1);
        centre();
        ui->vtHelp->setText(QStringLiteral("Help"));
        if (s.cwHostExeName == kNewestEnvironmentExe) {
            // The help engine object cannot be created on this platform.
            ui->vtHelp->setEnabled(false);
        } else {
            ui->vtHelp->setVisible(true);
        }
        appHelpFile() = QStringLiteral("catchwell.hlp");
        ui->cmdWWW->setVisible(true);
    } else {
        if (!s.cwoForceSystemInfo) {
            for (int i = 0; i < 3; ++i) {
                ui->Combo1->removeItem(1);
            }
        }
        setComboIndex(0);
        ui->vtCtrlMore->hide();
        const int twips = vb::kTwipsPerPixel;
        const int leftTwips = ui->cwPrint->x() * twips - ui->vtCtrlContinue->width() * twips - 10;
        ui->vtCtrlContinue->move(qRound(static_cast<double>(leftTwips) / twips),
                                 ui->vtCtrlContinue->y());
        centre();
        ui->vtHelp->hide();
        ui->cmdWWW->hide();
    }

    const QString exe = sysinfo::appExeName();
    if (s.cwErrorCount > 1) {
        ui->lblErrCnt->setText(
            QStringLiteral("An unexpected '") + s.cwErrorSlot[heldErrors()].description.toLower()
            + QStringLiteral("' error occurred in a component used by ") + exe + u'.');
    } else {
        ui->lblErrCnt->setText(QStringLiteral("An unexpected '") + first.description.toLower()
                               + QStringLiteral("' error occurred in ") + exe + u'.');
    }
    ui->Text1->setPlainText(kPrompt);

    ui->ErrModule->setText(u' ' + first.module);
    ui->errProject->setText(first.source);
    ui->ErrProcedure->setText(u' ' + first.procedure);
    ui->ErrLine->setText(lineText(first.line));
    ui->ErrNo->setText(u' ' + QString::number(first.number));

    ui->errText->clear();
    const int count = heldErrors();
    for (int i = 0; i <= count; ++i) {
        ui->errText->addItem(QStringLiteral("Error ") + QString::number(s.cwErrorCount - i + 1)
                             + QStringLiteral(" - ") + s.cwErrorSlot[i].description);
    }
    setErrTextIndex(0);

    ui->lblErrCnt->setText(ui->lblErrCnt->text() + kCrLf + QString::number(ui->errText->count())
                           + QStringLiteral(" error(s) are logged."));
    buildCallTree();
    vb::Err().helpFile = first.helpFile;
    vb::Err().helpContext = first.helpContext;
    setErrTextIndex(ui->errText->count() - 1);
}

void frmCATCHWELL::buildCallTree()
{
    const State& s = state();
    QListWidget* calls = ui->vtCtrlCalls;
    const int held = heldErrors();
    int n = -1;
    auto add = [&](const QString& kind, const QString& body) {
        calls->addItem(u' ' + QString::number(calls->count() + 1) + kind + u'\t'
                       + QString(qMax(n, 0), u'\t') + body);
    };
    auto runtime = [&s](int e, bool withLine) {
        const modCatchwell::ErrorSlot& slot = s.cwErrorSlot[e];
        QString text = QStringLiteral("Runtime error ") + QString::number(slot.number)
                       + QStringLiteral(", ") + slot.description;
        if (withLine && slot.line > 0) {
            text += QStringLiteral(" on line ") + QString::number(slot.line);
        }
        return text;
    };

    const QString wanted = beforeTrail(s.cwErrorSlot[0].module) + QStringLiteral(" : ")
                           + beforeTrail(s.cwErrorSlot[0].procedure);
    int mark = 0;
    const int depth =
        qBound(0, static_cast<int>(vb::val(s.cwErrorTree[0])), modCatchwell::kMaxDepth);
    for (int j = 1; j <= depth; ++j) {
        QString entry = s.cwErrorTree[j];
        entry.replace(u'\t', u' ');
        const qsizetype colon = entry.indexOf(QStringLiteral(" :"));
        entry = (colon < 0 ? entry : entry.mid(colon + 2)).trimmed();
        ++n;
        add(QStringLiteral(" : Call"), entry);
        if (s.cwCodePointer[j] > 0) {
            add(QStringLiteral(" : Code"),
                QStringLiteral("Code Pointer = ") + QString::number(s.cwCodePointer[j]));
        }
        for (int e = 0; e <= held; ++e) {
            if (entry.contains(wanted)) {
                mark = calls->count();
                add(QStringLiteral(" : Trap"), runtime(e, true));
            }
        }
    }
    if (mark < calls->count() - 1) {
        add(QStringLiteral(" : Error"), runtime(0, false));
    }
    for (int e = 1; e <= held; ++e) {
        const modCatchwell::ErrorSlot& slot = s.cwErrorSlot[e];
        ++n;
        add(QStringLiteral(" : Call"), beforeTrail(slot.source) + QStringLiteral(" : ")
                                           + beforeTrail(slot.module) + QStringLiteral(" : ")
                                           + beforeTrail(slot.procedure));
        add(QStringLiteral(" : Error"), runtime(e, true));
    }
    for (int i = 0; i < calls->count(); ++i) {
        if (calls->item(i)->text().contains(QStringLiteral("Runtime error"))) {
            calls->setCurrentRow(i);
            break;
        }
    }
}

void frmCATCHWELL::setComboIndex(int index)
{
    ui->Combo1->setCurrentIndex(index);
    Combo1_Click();
}

void frmCATCHWELL::setErrTextIndex(int index)
{
    ui->errText->setCurrentIndex(index);
    errText_Click();
}

void frmCATCHWELL::errText_Click()
{
    const int i = ui->errText->currentIndex();
    if (i < 0 || i > 10) {
        return;
    }
    const modCatchwell::ErrorSlot& slot = state().cwErrorSlot[i];
    ui->ErrType->setText(slot.category);
    ui->ErrNo->setText(u' ' + QString::number(slot.number));
    ui->ErrModule->setText(u' ' + slot.module);
    ui->errProject->setText(slot.source);
    ui->ErrProcedure->setText(u' ' + slot.procedure);
    ui->ErrLine->setText(lineText(slot.line));
    vb::Err().helpFile = slot.helpFile;
    vb::Err().helpContext = slot.helpContext;
}

void frmCATCHWELL::Combo1_Click()
{
    const int index = ui->Combo1->currentIndex();
    if (index < 0 || index >= ui->Picture1->count()) {
        return;
    }
    ui->Picture1->setCurrentIndex(index);
    if (index == 0) {
        ui->Text1->selectAll();
        ui->Text1->setFocus();
    } else if (index == 3 && !SysInfoLoaded) {
        WaitCursor wait;
        setSysText(QString());
        modCatchwell::pfRefreshSysInfo();
        SysInfoLoaded = true;
    }
}

void frmCATCHWELL::Form_Activate()
{
    state().cwBusy = true;
    ui->Text1->setFocus();
    ui->Text1->selectAll();
}

void frmCATCHWELL::Form_Paint()
{
    ui->vtCtrlContinue->setFocus();
    ui->vtCtrlArgs->moveCursor(QTextCursor::Start);
}

void frmCATCHWELL::vtCtrlContinue_Click()
{
    state().cwUserChoice = 0;
    state().cwUserComment = ui->Text1->toPlainText();
    state().cwBusy = false;
    hide();
}

void frmCATCHWELL::vtCtrlMore_Click()
{
    state().cwUserChoice = 5;
    state().cwBusy = false;
    hide();
}

void frmCATCHWELL::vtHelp_Click()
{
    if (vb::Err().helpFile.isEmpty()) {
        errText_Click();
    }
    // Neither the help viewer nor the help engine exists on this platform: the button can
    // only pick the error's help reference.
}

QStringList frmCATCHWELL::printLines() const
{
    QStringList lines;
    switch (ui->Combo1->currentIndex()) {
    case 0:
        lines << ui->Text1->toPlainText();
        break;
    case 1:
        lines << ui->vtCtrlLabel7->text() + ui->ErrType->text()
              << ui->vtCtrlProjLab->text() + ui->errProject->text()
              << ui->vtCtrlLabel1->text() + ui->ErrModule->text()
              << ui->vtCtrlLabel2->text() + ui->ErrProcedure->text()
              << ui->vtCtrlLabel4->text() + ui->ErrLine->text()
              << ui->vtCtrlLabel5->text() + ui->ErrNo->text()
              << ui->vtCtrlLabel6->text() + ui->errText->currentText();
        break;
    case 2:
        // The whole tree, trap lines included: they are what the reader of the page needs.
        for (int i = 0; i < ui->vtCtrlCalls->count(); ++i) {
            lines << ui->vtCtrlCalls->item(i)->text();
        }
        break;
    case 3:
        lines << ui->vtCtrlArgs->toPlainText();
        break;
    default:
        break;
    }
    return lines;
}

void frmCATCHWELL::cwPrint_Click()
{
    WaitCursor wait;
    const QStringList lines = printLines();
    std::unique_ptr<QPrinter> printer = host::host().defaultPrinter();
    if (!printer) {
        return;
    }
    QTextDocument page;
    page.setPlainText(lines.join(u'\n'));
    page.print(printer.get());
}

void frmCATCHWELL::cmdWWW_Click()
{
    if (!state().cwInIDE) {
        return;
    }
    const QString folder = pfSys();
    QString path = folder + QStringLiteral("\\allmskb.txt");
    QFile file(path.replace(u'\\', u'/'));
    // Without a Windows directory there is no place the index could be.
    if (folder.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        host::MsgBox(QStringLiteral("Cannot find allmskb.txt -- assistance not available."),
                     vb::vbOKOnly);
        return;
    }
    QString result;
    {
        WaitCursor wait;
        const QString number = ui->ErrNo->text();
        const QString k1 = vb::errorText(static_cast<long>(vb::val(number))).toUpper();
        const QString k2 = QStringLiteral("ERROR") + number;
        QTextStream in(&file);
        while (!in.atEnd()) {
            const QString line = in.readLine();
            const qsizetype space = line.indexOf(u' ');
            const QString tail = (space < 0 ? line : line.mid(space + 1)).toUpper();
            if (tail.contains(k1) || tail.contains(k2)) {
                result += kCrLf + QStringLiteral(" - ") + line;
            }
        }
    }
    if (!result.isEmpty()) {
        result = QStringLiteral("The following knowledge base article(s) may contain information "
                                "to assist you:")
                 + kCrLf + result;
    } else {
        result = QStringLiteral("No matching article was found. Try searching the knowledge base "
                                "for the error number.");
    }
    host::MsgBox(result, vb::vbInformation, QStringLiteral("Catchwell"));
}

QString frmCATCHWELL::pfSys() const
{
    return sysinfo::windowsDirectory().left(255);
}

void frmCATCHWELL::UpdateStatusBar(const QString&) { }

QString frmCATCHWELL::sysText() const
{
    return m_sysText;
}

void frmCATCHWELL::setSysText(const QString& text)
{
    m_sysText = text;
    ui->vtCtrlArgs->setPlainText(text);
}

void frmCATCHWELL::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmCATCHWELL::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // Only a repaint of the whole window counts: the transparent labels and buttons repaint
    // their part of it on every hover, and the focus must not jump away from typing then.
    if (event->rect().contains(rect())) {
        Form_Paint();
    }
}

void frmCATCHWELL::closeEvent(QCloseEvent* event)
{
    // Closing the window acknowledges the error like Continue, keeping the comment.
    event->ignore();
    vtCtrlContinue_Click();
}

void frmCATCHWELL::reject()
{
    vtCtrlContinue_Click();
}

bool frmCATCHWELL::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        UpdateStatusBar(watched->property("hint").toString());
    }
    return QDialog::eventFilter(watched, event);
}

namespace modCatchwell {

frmCATCHWELL& loadReportForm()
{
    if (instance() == nullptr) {
        new frmCATCHWELL;  // registers itself as the loaded window
    }
    return *instance();
}

frmCATCHWELL* loadedReportForm()
{
    return instance();
}

void unloadReportForm()
{
    delete instance();
}

int16_t pfShowReport()
{
    frmCATCHWELL& form = loadReportForm();
    const QString helpFile = appHelpFile();
    form.fillReport();
    host::host().showModal(form, nullptr);
    const int16_t result = state().cwUserChoice;
    appHelpFile() = helpFile;
    state().cwSystemText = form.sysText();
    unloadReportForm();
    return result;
}

} // namespace modCatchwell
