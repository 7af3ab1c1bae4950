#include "dialogs/frmPrint.h"
#include "ui_frmPrint.h"

#include "errortrace/Proc.h"
#include "platform/ado/Recordset.h"
#include "platform/host/Host.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Error.h"
#include "resources/Resources.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QAction>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolBar>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kTab = QStringLiteral("\t");

// The mouse button values of the window's mouse events.
constexpr int kRightButton = 2;

} // namespace

void frmPrint::CommonDialog::ShowSave()
{
    host::FileRequest request;
    request.kind = host::FileRequest::Save;
    request.title = DialogTitle;
    request.filter = Filter;
    request.fileName = FileName;
    request.cancelError = CancelError;
    request.overwritePrompt = true;
    const host::FileChoice choice = host::ShowFileDialog(request);
    FileName = choice.cancelled ? QString() : choice.fileName;
}

void frmPrint::CommonDialog::ShowPrinter()
{
    host::ShowPrinterDialog(host::PrinterRequest{Flags, CancelError});
}

frmPrint::frmPrint(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmPrint>())
{
    ui->setupUi(this);
    RTB = ui->RTB;
    tbPrint = ui->tbPrint;
    StatusBar1 = ui->StatusBar1;
    // The same pictures as the main window's Print and Save As buttons.
    resources::initResources();
    ui->Print->setIcon(QIcon(QStringLiteral(":/PRINTUP")));
    ui->Save->setIcon(QIcon(QStringLiteral(":/SAVEUP")));
    for (QAction* button : {ui->Print, ui->Save}) {
        connect(button, &QAction::triggered, this,
            [this, button] { tbPrint_ButtonClick(button->objectName()); });
    }

    mnuPopUp = new QMenu(this);
    mnuPopUp->setObjectName(QStringLiteral("mnuPopUp"));
    auto item = [this](const char* name, const QString& caption, void (frmPrint::*handler)()) {
        QAction* a = mnuPopUp->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    mnuCut = item("mnuCut", QStringLiteral("Cut"), &frmPrint::mnuCut_Click);
    mnuCopy = item("mnuCopy", QStringLiteral("Copy"), &frmPrint::mnuCopy_Click);
    mnuPaste = item("mnuPaste", QStringLiteral("Paste"), &frmPrint::mnuPaste_Click);
    mnuDelete = item("mnuDelete", QStringLiteral("Delete"), &frmPrint::mnuDelete_Click);
    mnuFileBar = mnuPopUp->addSeparator();
    mnuFileBar->setObjectName(QStringLiteral("mnuFileBar"));
    mnuSelectAll
        = item("mnuSelectAll", QStringLiteral("Select All"), &frmPrint::mnuSelectAll_Click);

    // The box's own menu gives way to the window's, which opens on the right button's press.
    RTB->setContextMenuPolicy(Qt::NoContextMenu);
    RTB->viewport()->installEventFilter(this);
    // The window keeps its own minimum size (Form_Resize), not the layout's.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    resize(width(), vb::twipsToPixels(6000));
    Form_Load();
}

frmPrint::~frmPrint()
{
    if (!m_unloaded) {
        Form_Unload();
    }
}

void frmPrint::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(10);
        RTB->document()->setDefaultFont(font);
        RTB->setCurrentFont(font);
        // Tab stops every half inch, as the printer lays them out.
        QTextOption option = RTB->document()->defaultTextOption();
        option.setTabStopDistance(720.0 / vb::kTwipsPerPixel);
        RTB->document()->setDefaultTextOption(option);

        Module1::gPrinterDC.reset();
        m_lineWidth = Module1::WYSIWYG_RTF(*RTB->document(), 1440, 1440);
        // The box wraps where the printer will, at the printed line's width in screen pixels.
        // The edit sets its document's width itself at every layout, so the edit holds it.
        if (m_lineWidth > 0) {
            const QScreen* screen = RTB->screen();
            const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
            RTB->setLineWrapMode(QTextEdit::FixedPixelWidth);
            RTB->setLineWrapColumnOrWidth(static_cast<int>(double(m_lineWidth) * dpi / 1440));
        }
        resize(vb::twipsToPixels(double(m_lineWidth) + 200), height());
        FillRTF();
    });
}

void frmPrint::FillRTF()
{
    cw::Proc proc(kModule, QStringLiteral("Sub FillRTF"));
    proc.run([&] {
        ado::Recordset* rs = gAccountRS.data();
        if (rs == nullptr || rs->RecordCount() == 0) {
            return;
        }
        RTB->clear();
        InsertText(kCrLf, true);
        rs->MoveFirst();
        int n = 1;
        auto field = [&](const char* name) {
            return rs->Fields(QString::fromLatin1(name)).Value();
        };
        while (!rs->IsEOF()) {
            InsertText(QStringLiteral(" %1:").arg(n) + kCrLf, true);
            InsertText(QStringLiteral("ACCOUNT:- "), true);
            InsertText(kTab + field("Account") + kCrLf, false);
            InsertText(QStringLiteral("URL:-"), true);
            InsertText(kTab + kTab + field("URL") + kCrLf, false);
            InsertText(QStringLiteral("ID:-"), true);
            InsertText(kTab + kTab + field("IDtext") + kCrLf, false);
            InsertText(QStringLiteral("PASSWORD:-"), true);
            InsertText(kTab + field("Password") + kCrLf, false);
            const QString hint = field("Hint");
            if (!hint.isEmpty()) {
                InsertText(QStringLiteral("HINT:-"), true);
                InsertText(kTab + hint + kCrLf, false);
            }
            const QString info = vb::trim(field("Info"));
            if (!info.isEmpty()) {
                InsertText(QStringLiteral("EXTRA INFO:-") + kCrLf, true);
                InsertText(kTab + info + kCrLf, false);
            }
            for (int k = 1; k <= 4; ++k) {
                const QString name = field(QStringLiteral("Key%1_Name").arg(k).toLatin1());
                const QString value = field(QStringLiteral("Key%1").arg(k).toLatin1());
                if (!name.isEmpty() || !value.isEmpty()) {
                    InsertText(QStringLiteral("KEY%1 LABEL:-  ").arg(k), true);
                    InsertText(kTab + name + kTab + kTab, false);
                    InsertText(QStringLiteral("DATA:") + kTab, true);
                    InsertText(value + kCrLf, false);
                }
            }
            InsertText(kCrLf, false);
            ++n;
            rs->MoveNext();
        }
        QTextCursor start(RTB->document());
        RTB->setTextCursor(start);
    });
}

void frmPrint::InsertText(const QString& text, bool bold)
{
    cw::Proc proc(kModule, QStringLiteral("Sub InsertText"));
    proc.run([&] {
        // At the real end, however long the listing has grown.
        QTextCursor cursor = RTB->textCursor();
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setFont(RTB->document()->defaultFont());
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        cursor.setCharFormat(format);
        cursor.insertText(text, format);
        RTB->setTextCursor(cursor);
    });
}

void frmPrint::PrintText()
{
    cw::Proc proc(kModule, QStringLiteral("Sub PrintText"));
    proc.run([&] { Module1::PrintRTF(*RTB->document(), 1440, 1440, 1440, 1440); });
}

void frmPrint::PrintSetup()
{
    cw::Proc proc(kModule, QStringLiteral("Sub PrintSetup"));
    proc.run([&] {
        CommonDialog1.CancelError = true;
        CommonDialog1.Flags = 264;
        CommonDialog1.ShowPrinter();
        PrintText();
    });
}

void frmPrint::SaveData()
{
    cw::Proc proc(kModule, QStringLiteral("Sub SaveData"));
    proc.run([&] {
        CommonDialog1.DialogTitle = QStringLiteral("Save");
        CommonDialog1.CancelError = true;
        CommonDialog1.Filter = QStringLiteral("Text File (*.rtf)|*.rtf");
        CommonDialog1.ShowSave();
        if (!CommonDialog1.FileName.isEmpty()) {
            QString error;
            if (!rtf::saveRtf(*RTB->document(), CommonDialog1.FileName, &error)) {
                vb::raise(75, {}, error);
            }
        }
    });
}

void frmPrint::tbPrint_ButtonClick(const QString& key)
{
    cw::Proc proc(kModule, QStringLiteral("Sub tbPrint_ButtonClick"));
    proc.run([&] {
        if (key == u"Print") {
            PrintSetup();
        } else if (key == u"Save") {
            SaveData();
        }
    });
}

void frmPrint::RTB_MouseDown(int Button, int Shift, float X, float Y)
{
    Q_UNUSED(Shift);
    cw::Proc proc(kModule, QStringLiteral("Sub RTB_MouseDown"));
    proc.run([&] {
        if (Button != kRightButton) {
            return;
        }
        const bool selected = RTB->textCursor().hasSelection();
        mnuPaste->setEnabled(false);
        mnuCut->setEnabled(selected);
        mnuDelete->setEnabled(selected);
        mnuCopy->setEnabled(selected);
        mnuPaste->setEnabled(!host::host().clipboardText().isEmpty());
        mnuSelectAll->setEnabled(!RTB->document()->isEmpty());
        const QPoint at(vb::twipsToPixels(X), vb::twipsToPixels(Y));
        mnuPopUp->popup(RTB->viewport()->mapToGlobal(at));
    });
}

void frmPrint::copySelection()
{
    host::host().clipboardClear();
    const QTextCursor cursor = RTB->textCursor();
    if (cursor.selectionEnd() - cursor.selectionStart() >= 1) {
        host::host().clipboardSetText(cursor.selection().toPlainText());
    }
}

void frmPrint::mnuCopy_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuCopy_Click"));
    proc.run([&] { copySelection(); });
}

void frmPrint::mnuCut_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuCut_Click"));
    proc.run([&] {
        copySelection();
        QTextCursor cursor = RTB->textCursor();
        cursor.insertText(QString());
        RTB->setTextCursor(cursor);
    });
}

void frmPrint::mnuDelete_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuDelete_Click"));
    proc.run([&] {
        QTextCursor cursor = RTB->textCursor();
        cursor.insertText(QString());
        RTB->setTextCursor(cursor);
    });
}

void frmPrint::mnuPaste_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuPaste_Click"));
    proc.run([&] {
        QTextCursor cursor = RTB->textCursor();
        cursor.insertText(host::host().clipboardText());
        RTB->setTextCursor(cursor);
    });
}

void frmPrint::mnuSelectAll_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuSelectAll_Click"));
    proc.run([&] {
        if (!RTB->document()->isEmpty()) {
            RTB->setFocus();
            RTB->selectAll();
        }
    });
}

void frmPrint::Form_Resize()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Resize"));
    proc.run([&] {
        if (isMinimized()) {
            return;
        }
        const int minWidth = vb::twipsToPixels(4000);
        const int minHeight = vb::twipsToPixels(2550);
        if (width() < minWidth || height() < minHeight) {
            resize(std::max(width(), minWidth), std::max(height(), minHeight));
        }
        // The layout fits the box between the toolbar and the status bar.
    });
}

void frmPrint::Form_Unload()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Unload"));
    proc.run([&] { Module1::gPrinterDC.reset(); });
    m_unloaded = true;
}

void frmPrint::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmPrint::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded) {
        Form_Unload();
    }
    event->accept();
}

bool frmPrint::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RTB->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QPointF at = mouse->position() * vb::kTwipsPerPixel;
            RTB_MouseDown(kRightButton, 0, static_cast<float>(at.x()),
                          static_cast<float>(at.y()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
