// The account editor: the bound boxes, adding and deleting accounts, and the notice.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/adoui/FieldBinding.h"
#include "platform/adoui/KeyPress.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString kGeneralError = QStringLiteral("GENERAL ERROR!");

QString storedText(const ado::Recordset* rs)
{
    return QString::number(rs->RecordCount()) + QStringLiteral(" Accounts stored.");
}

void clearBox(QWidget* box)
{
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(QString());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(box)) {
        plain->setPlainText(QString());
    }
}

} // namespace

void frmMain::connectEditor()
{
    const struct
    {
        QWidget* box;
        void (frmMain::*change)();
        void (frmMain::*keyPress)(int&);
    } boxes[] = { { txtAccount, &frmMain::txtAccount_Change, &frmMain::txtAccount_KeyPress },
        { txtURL, &frmMain::txtURL_Change, &frmMain::txtURL_KeyPress },
        { txtID, &frmMain::txtID_Change, &frmMain::txtID_KeyPress },
        { txtPW, &frmMain::txtPW_Change, &frmMain::txtPW_KeyPress },
        { txtHint, &frmMain::txtHint_Change, &frmMain::txtHint_KeyPress },
        { txtKey1Label, &frmMain::txtKey1Label_Change, &frmMain::txtKey1Label_KeyPress },
        { txtKey1, &frmMain::txtKey1_Change, &frmMain::txtKey1_KeyPress },
        { txtKey2Label, &frmMain::txtKey2Label_Change, &frmMain::txtKey2Label_KeyPress },
        { txtKey2, &frmMain::txtKey2_Change, &frmMain::txtKey2_KeyPress },
        { txtKey3Label, &frmMain::txtKey3Label_Change, &frmMain::txtKey3Label_KeyPress },
        { txtKey3, &frmMain::txtKey3_Change, &frmMain::txtKey3_KeyPress },
        { txtKey4Label, &frmMain::txtKey4Label_Change, &frmMain::txtKey4Label_KeyPress },
        { txtKey4, &frmMain::txtKey4_Change, &frmMain::txtKey4_KeyPress },
        // Enter in the info box starts a new line: it has no KeyPress handler.
        { txtINFO, &frmMain::txtINFO_Change, nullptr } };
    for (const auto& b : boxes) {
        const auto change = b.change;
        if (auto* line = qobject_cast<QLineEdit*>(b.box)) {
            connect(line, &QLineEdit::textChanged, this, [this, change] { (this->*change)(); });
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(b.box)) {
            connect(
                plain, &QPlainTextEdit::textChanged, this, [this, change] { (this->*change)(); });
        }
        if (b.keyPress != nullptr) {
            const auto keyPress = b.keyPress;
            adoui::onKeyPress(b.box, [this, keyPress](int& key) { (this->*keyPress)(key); });
        }
    }
    connect(Frame2->findChild<QPushButton*>(QStringLiteral("cmdAdd")), &QPushButton::clicked, this,
        [this] { cmdAdd_Click(); });
    connect(Frame2->findChild<QPushButton*>(QStringLiteral("cmdClear")), &QPushButton::clicked,
        this, [this] { cmdClear_Click(); });
}

void frmMain::DisplayInfo()
{
    cw::Proc proc(kModule, QStringLiteral("Sub DisplayInfo"));
    cw::LocalTrap trap(QStringLiteral("DisplayInfo Error:"), QStringLiteral("DISPLAY INFO ERROR!"),
        { ado::errObjectClosed });
    // The notice box keeps one line per CR LF of its text.
    const auto notice = [this](const QString& text) {
        txtDataInform->setPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        txtDataInform->show();
    };
    ado::Recordset* rs = Adodc1->Recordset();
    if (trap.test([&] { return !dataFileOpen(); })) {
        trap([&] {
            notice(QStringLiteral("NO DATA FILE LOADED\r\nPlease OPEN or create a NEW data file."));
        });
    } else if (trap.test([&] { return rs->RecordCount() == 0; })) {
        trap([&] {
            notice(QStringLiteral(
                "NO RECORDS STORED\r\nClick the ADD NEW button to\r\ncreate the first record."));
        });
    } else {
        trap([&] { txtDataInform->hide(); });
    }
}

void frmMain::RefreshTextControls()
{
    cw::Proc proc(kModule, QStringLiteral("Sub RefreshTextControls"));
    proc.run([&] {
        if (dataFileOpen()) {
            return;
        }
        // Unbound while emptied, so that nothing of the closed file stays on show and the
        // empty texts reach no row; bound again for the next file.
        for (QWidget* box : { static_cast<QWidget*>(txtAccount), static_cast<QWidget*>(txtPW),
                 static_cast<QWidget*>(txtURL), static_cast<QWidget*>(txtID),
                 static_cast<QWidget*>(txtHint), static_cast<QWidget*>(txtINFO),
                 static_cast<QWidget*>(txtKey1Label), static_cast<QWidget*>(txtKey1),
                 static_cast<QWidget*>(txtKey2Label), static_cast<QWidget*>(txtKey2),
                 static_cast<QWidget*>(txtKey3Label), static_cast<QWidget*>(txtKey3),
                 static_cast<QWidget*>(txtKey4Label), static_cast<QWidget*>(txtKey4) }) {
            for (adoui::FieldBinding* binding : std::as_const(m_bindings)) {
                if (binding->box() == box) {
                    binding->setDataSource(nullptr);
                    clearBox(box);
                    binding->setDataSource(Adodc1);
                }
            }
        }
    });
}

void frmMain::cmdAdd_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdAdd_Click"));
    cw::LocalTrap trap(QStringLiteral("General Error 4:"), kGeneralError, { ado::errObjectClosed });
    if (!dataFileOpen()) {
        return;
    }
    ado::Recordset* rs = Adodc1->Recordset();
    if (trap.test([&] { return !rs->IsBOF() && !rs->IsEOF(); })) {
        // A pending edit, then a pending new row, is saved when it names its account and is
        // otherwise dropped by rebuilding the recordset.
        for (const int pending : { ado::adEditInProgress, ado::adEditAdd }) {
            if (trap.test([&] { return rs->EditMode() == pending; })) {
                if (trap.test([&] { return !txtAccount->text().isEmpty(); })) {
                    trap([&] { rs->Update(); });
                } else {
                    trap([&] { Adodc1->Refresh(); });
                }
            }
        }
    }
    trap([&] { rs->AddNew(); });
    trap([&] { UpdateTools(false); });
    trap([&] {
        if (txtAccount->isEnabled() && txtAccount->isVisible()) {
            txtAccount->setFocus();
        }
    });
    trap([&] { setPanelText(1, storedText(rs)); });
    trap([&] { DisplayInfo(); });
}

void frmMain::cmdClear_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdClear_Click"));
    cw::LocalTrap trap(QStringLiteral("General Error 5:"), kGeneralError, { ado::errObjectClosed });
    if (!dataFileOpen()) {
        return;
    }
    ado::Recordset* rs = Adodc1->Recordset();
    if (trap.test([&] { return rs->IsBOF() || rs->IsEOF(); })) {
        trap([&] { DisplayInfo(); });
        return;
    }
    if (trap.test([&] { return rs->EditMode() == ado::adEditAdd; })) {
        trap([&] { rs->CancelUpdate(); });
        trap([&] { Adodc1->Refresh(); });
        if (gSortDir > 0) {
            trap([&] {
                const QString field = DataGrid1->Columns().Item(gSortCol).DataField();
                rs->setSort(gSortDir == 1 ? field : field + QStringLiteral(" DESC"));
            });
        }
        trap([&] { setPanelText(1, storedText(rs)); });
        trap([&] { DisplayInfo(); });
    } else if (trap.test([&] { return rs->RecordCount() > 0; })) {
        trap([&] { rs->Delete(); });
        trap([&] { DisplayInfo(); });
        trap([&] { setPanelText(1, storedText(rs)); });
    }
}

void frmMain::mnuAddEntry_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuAddEntry_Click"));
    proc.run([&] { cmdAdd_Click(); });
}

void frmMain::mnuDeleteEntry_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuDeleteEntry_Click"));
    proc.run([&] { cmdClear_Click(); });
}

// ---- The boxes' Change handlers: any change restarts the security time-out ----

void frmMain::restartTimeout()
{
    if (!m_bLocked) {
        InitTimer();
    }
}

void frmMain::txtAccount_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtAccount_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtURL_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtURL_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtID_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtID_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtPW_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtPW_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtHint_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtHint_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtINFO_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtINFO_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey1_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey1_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey2_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey2_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey3_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey3_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey4_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey4_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey1Label_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey1Label_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey2Label_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey2Label_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey3Label_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey3Label_Change"));
    proc.run([&] { restartTimeout(); });
}

void frmMain::txtKey4Label_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey4Label_Change"));
    proc.run([&] { restartTimeout(); });
}

// ---- The boxes' KeyPress handlers: Enter moves on to the next box ----

void frmMain::enterMovesOn(int& KeyAscii)
{
    if (KeyAscii == vb::vbKeyReturn) {
        KeyAscii = 0;
        host::host().sendKeys(this, QStringLiteral("{tab}"));
    }
}

void frmMain::txtAccount_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtAccount_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtURL_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtURL_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtID_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtID_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtPW_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtPW_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtHint_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtHint_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey1_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey1_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey2_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey2_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey3_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey3_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey4_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey4_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey1Label_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey1Label_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey2Label_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey2Label_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey3Label_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey3Label_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}

void frmMain::txtKey4Label_KeyPress(int& KeyAscii)
{
    cw::Proc proc(kModule, QStringLiteral("Sub txtKey4Label_KeyPress"));
    proc.run([&] { enterMovesOn(KeyAscii); });
}
