#include "dialogs/frmOptions.h"
#include "ui_frmOptions.h"

#include "cipher/StringCipher.h"
#include "errortrace/Proc.h"
#include "platform/ado/Recordset.h"
#include "platform/host/Host.h"
#include "platform/host/PasswordMask.h"
#include "platform/settings/SettingsStore.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "startup/Globals.h"
#include "startup/Latin1Validator.h"
#include "startup/Module1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

namespace {

const QString kModule = QStringLiteral("frmOptions");
constexpr double kPageLeft = 480;
constexpr double kButtonsLeft = 600;
constexpr double kOutOfSight = -20000;

QString settingsSection()
{
    return QStringLiteral("Accounts\\") + gUserName + QStringLiteral("\\Settings");
}

void moveLeft(QWidget* w, double twips)
{
    w->move(vb::twipsToPixels(twips), w->y());
}

// The key code and the Shift argument (1 Shift, 2 Ctrl, 4 Alt) of a key press.
int keyCode(const QKeyEvent& e)
{
    switch (e.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        return e.key() < 0x100 ? e.key() : 0;
    }
}

int shiftState(const QKeyEvent& e)
{
    const Qt::KeyboardModifiers m = e.modifiers();
    // Qt reports Shift+Tab as Backtab; the Shift is still held.
    return ((m & Qt::ShiftModifier) || e.key() == Qt::Key_Backtab ? 1 : 0)
           | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

} // namespace

frmOptions::frmOptions(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmOptions>())
{
    ui->setupUi(this);
    // A fixed dialog: a title and a close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowCloseButtonHint);
    ui->tbsOptions->setShape(QTabBar::RoundedWest);
    ui->tbsOptions->addTab(QStringLiteral("General"));
    ui->tbsOptions->setTabToolTip(0, QStringLiteral("General Options"));
    ui->tbsOptions->addTab(QStringLiteral("Master"));
    ui->tbsOptions->setTabToolTip(1, QStringLiteral("Master Password Control"));
    ui->tbsOptions->setCurrentIndex(0);
    // Both pages share one place; the one not shown waits out of sight, as after a page switch,
    // so that neither the mouse nor the Tab key can reach it.
    moveLeft(ui->pbGeneral_1, kOutOfSight);
    ui->pbGeneral_1->setEnabled(false);
    // The cipher keys with one byte a character: a new password must have a byte for each.
    for (QLineEdit* box : { ui->txtMaster, ui->txtChange, ui->txtConfirm }) {
        box->setValidator(new Latin1Validator(box));
    }
    host::maskWithAsterisks(*ui->txtMaster);
    ui->fsbPeek->setRange(kPeekMin, kPeekMax);
    ui->fsbTimeout->setRange(kTimeoutMin, kTimeoutMax);

    connect(ui->tbsOptions, &QTabBar::currentChanged, this, &frmOptions::tbsOptions_Click);
    connect(ui->chkAutoLoad, &QCheckBox::stateChanged, this, &frmOptions::chkAutoLoad_Click);
    connect(ui->chkPasstime, &QCheckBox::stateChanged, this, &frmOptions::chkPasstime_Click);
    connect(ui->chkTimeout, &QCheckBox::stateChanged, this, &frmOptions::chkTimeout_Click);
    connect(ui->chkOnTop, &QCheckBox::stateChanged, this, &frmOptions::chkOnTop_Click);
    connect(ui->fsbPeek, &QScrollBar::valueChanged, this, &frmOptions::fsbPeek_Change);
    connect(ui->fsbTimeout, &QScrollBar::valueChanged, this, &frmOptions::fsbTimeout_Change);
    connect(ui->cmdSave, &QPushButton::clicked, this, &frmOptions::cmdSave_Click);
    connect(ui->cmdUse, &QPushButton::clicked, this, &frmOptions::cmdUse_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(ui->cmdPW, &QPushButton::clicked, this, &frmOptions::cmdPW_Click);

    // The dialog sees every key press before its controls do.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);
    }
    Form_Load();
}

frmOptions::~frmOptions() = default;

QFrame* frmOptions::pbGeneral(int index) const
{
    return index == 0 ? ui->pbGeneral_0 : index == 1 ? ui->pbGeneral_1 : nullptr;
}

void frmOptions::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        Module1::LoadResStrings(*this);
        ui->chkPasstime->setChecked(gPeekOn);
        // A stored time outside the bar's range shows at the nearest end of the range.
        ui->fsbPeek->setValue(gPeekTime);
        ui->lblPeek->setText(QString::number(ui->fsbPeek->value()) + QStringLiteral(" (secs)"));
        ui->chkTimeout->setChecked(gTimeoutOn);
        ui->fsbTimeout->setValue(gTimeoutTime);
        ui->lblTimeout->setText(
            QString::number(ui->fsbTimeout->value()) + QStringLiteral(" (mins)"));
        ui->chkAutoLoad->setChecked(gAutoLoad);
        ui->lblWarn->setText(
            QStringLiteral("WARNING! If you change the MASTER password you will still need ")
            + QStringLiteral(" the old password to access old data files."));
        ui->lblMaster->setText(QStringLiteral("CURRENT P/W."));
        ui->lblChange->setText(QStringLiteral("NEW P/W?"));
        ui->lblConfirm->setText(QStringLiteral("CONFIRM P/W."));
        ui->lblInform->setText(QString());
        ui->txtMaster->setText(QString());
        ui->txtChange->setText(QString());
        ui->txtConfirm->setText(QString());
        ui->chkOnTop->setChecked(gKeepOnTop);
        // Last, so that only the user's own changes enable them.
        ui->cmdUse->setEnabled(false);
        ui->cmdSave->setEnabled(false);
    });
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // A key that a control passes on reaches its parents too: take it once, from the
        // control that has the focus (or the dialog when none has).
        QWidget* focus = QApplication::focusWidget();
        if (watched == focus || (watched == this && (focus == nullptr || !isAncestorOf(focus)))) {
            auto* key = static_cast<QKeyEvent*>(event);
            const int code = keyCode(*key);
            const int shift = shiftState(*key);
            Form_KeyDown(code, shift);
            // Ctrl+Tab and Ctrl+Shift+Tab only switch pages.
            return code == 9 && (shift & 2) != 0;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::Form_KeyDown(int KeyCode, int Shift)
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_KeyDown"));
    proc.run([&] {
        if (KeyCode != 9) {
            return;
        }
        const int count = ui->tbsOptions->count();
        const int current = ui->tbsOptions->currentIndex();
        if ((Shift & 3) == 2) {
            ui->tbsOptions->setCurrentIndex(current == count - 1 ? 0 : current + 1);
        } else if ((Shift & 3) == 3) {
            ui->tbsOptions->setCurrentIndex(current == 0 ? count - 1 : current - 1);
        }
    });
}

void frmOptions::tbsOptions_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub tbsOptions_Click"));
    proc.run([&] {
        const int selected = ui->tbsOptions->currentIndex();
        for (int i = 0; i < ui->tbsOptions->count(); ++i) {
            QFrame* page = pbGeneral(i);
            if (i != selected) {
                moveLeft(page, kOutOfSight);
                page->setEnabled(false);
                continue;
            }
            moveLeft(page, kPageLeft);
            page->setEnabled(true);
            if (i == 1) {
                moveLeft(ui->Frame2, kOutOfSight);
                ui->txtMaster->setText(QString());
                ui->txtChange->setText(QString());
                ui->txtConfirm->setText(QString());
                const bool fileOpen = gAccountRS && gAccountRS->ActiveConnection();
                if (fileOpen) {
                    ui->lblInform->setText(QStringLiteral("Please CLOSE the open DataBase before")
                        + QStringLiteral("\n") + QStringLiteral("trying to change the password."));
                    ui->lblWarn->setText(QStringLiteral("WARNING! An OPEN DataBase was detected."));
                } else {
                    ui->lblInform->setText(QString());
                    ui->lblWarn->setText(
                        QStringLiteral("WARNING! If you change the MASTER password you will ")
                        + QStringLiteral("still need to use ")
                        + QStringLiteral("the old password to access the old data files."));
                }
                for (QWidget* w : std::initializer_list<QWidget*> { ui->txtMaster, ui->txtChange,
                         ui->txtConfirm, ui->cmdPW, ui->cmdCancel, ui->cmdSave, ui->cmdUse }) {
                    w->setEnabled(!fileOpen);
                }
            } else if (i == 0) {
                moveLeft(ui->Frame2, kButtonsLeft);
                ui->cmdCancel->setEnabled(true);
                ui->cmdSave->setEnabled(true);
                ui->cmdUse->setEnabled(true);
            }
        }
    });
}

void frmOptions::chkAutoLoad_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub chkAutoLoad_Click"));
    // Auto-load acts at the next start only, so it can be saved but not used.
    proc.run([&] { ui->cmdSave->setEnabled(true); });
}

void frmOptions::chkPasstime_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub chkPasstime_Click"));
    proc.run([&] { enableUseAndSave(); });
}

void frmOptions::chkTimeout_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub chkTimeout_Click"));
    proc.run([&] { enableUseAndSave(); });
}

void frmOptions::chkOnTop_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub chkOnTop_Click"));
    proc.run([&] { enableUseAndSave(); });
}

void frmOptions::fsbPeek_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub fsbPeek_Change"));
    proc.run([&] {
        ui->lblPeek->setText(QString::number(ui->fsbPeek->value()) + QStringLiteral(" (secs)"));
        enableUseAndSave();
    });
}

void frmOptions::fsbTimeout_Change()
{
    cw::Proc proc(kModule, QStringLiteral("Sub fsbTimeout_Change"));
    proc.run([&] {
        ui->lblTimeout->setText(
            QString::number(ui->fsbTimeout->value()) + QStringLiteral(" (mins)"));
        enableUseAndSave();
    });
}

bool frmOptions::mayStore() const
{
    return !unlocked || unlocked();
}

void frmOptions::enableUseAndSave()
{
    ui->cmdUse->setEnabled(true);
    ui->cmdSave->setEnabled(true);
}

void frmOptions::cmdSave_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdSave_Click"));
    proc.run([&] {
        if (!mayStore()) {
            return;
        }
        const QString section = settingsSection();
        auto save = [&](const char* key, const QString& value) {
            settings::SaveSetting(host::kAppTitle, section, QString::fromLatin1(key), value);
        };
        save("PeekOn", vb::boolText(ui->chkPasstime->isChecked()));
        gPeekOn = ui->chkPasstime->isChecked();
        save("PeekTime", QString::number(ui->fsbPeek->value()));
        gPeekTime = static_cast<int16_t>(ui->fsbPeek->value());
        save("TimeoutOn", vb::boolText(ui->chkTimeout->isChecked()));
        gTimeoutOn = ui->chkTimeout->isChecked();
        save("TimeoutTime", QString::number(ui->fsbTimeout->value()));
        gTimeoutTime = static_cast<int16_t>(ui->fsbTimeout->value());
        save("AutoLoad", vb::boolText(ui->chkAutoLoad->isChecked()));
        gAutoLoad = ui->chkAutoLoad->isChecked();
        save("KeepOnTop", vb::boolText(ui->chkOnTop->isChecked()));
        gKeepOnTop = ui->chkOnTop->isChecked();
        hide();
    });
}

void frmOptions::cmdUse_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdUse_Click"));
    proc.run([&] {
        if (!mayStore()) {
            return;
        }
        gPeekOn = ui->chkPasstime->isChecked();
        gPeekTime = static_cast<int16_t>(ui->fsbPeek->value());
        gTimeoutOn = ui->chkTimeout->isChecked();
        gTimeoutTime = static_cast<int16_t>(ui->fsbTimeout->value());
        gKeepOnTop = ui->chkOnTop->isChecked();
        hide();
    });
}

void frmOptions::cmdCancel_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdCancel_Click"));
    proc.run([&] { hide(); });
}

void frmOptions::cmdPW_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub cmdPW_Click"));
    proc.run([&] {
        if (!mayStore()) {
            return;
        }
        auto refuse = [&](QLineEdit* box, const QString& message) {
            ui->lblInform->setText(message);
            box->setSelection(0, static_cast<int>(box->text().size()));
        };
        ui->lblInform->setText(QString());
        const QString master = ui->txtMaster->text();
        const QString change = ui->txtChange->text();
        if (master.size() < 4) {
            refuse(ui->txtMaster, QStringLiteral("Incomplete Master P/W entered. Try again."));
            return;
        }
        if (Module1::Encrypt(master) != gStoredPassword) {
            refuse(ui->txtMaster, QStringLiteral("Invalid Master Password, try again!"));
            return;
        }
        if (change.size() < 4) {
            refuse(ui->txtChange,
                QStringLiteral("New Password must be at least 4 characters long, try again!"));
            ui->txtConfirm->setText(QString());
            return;
        }
        if (change != ui->txtConfirm->text()) {
            refuse(ui->txtConfirm,
                QStringLiteral("Password confirmation does not match, try again!"));
            return;
        }
        Module1::SetKey(change);
        const QString verifier = Module1::Encrypt(change);
        if (!settings::SaveSetting(host::kAppTitle, QStringLiteral("Accounts\\") + gUserName,
                QStringLiteral("PW"), verifier)) {
            // The next login would still ask for the old password: keep it in force now too.
            Module1::SetKey(gMasterPassword);
            ui->lblInform->setText(QStringLiteral("Master Password NOT changed! Cannot write to:\n")
                + settings::settingsFile(host::kAppTitle));
            return;
        }
        gMasterPassword = change;
        gStoredPassword = verifier;
        ui->lblInform->setText(QStringLiteral("Master Password successfully changed!"));
    });
}

void frmOptions::reject()
{
    if (ui->cmdCancel->isEnabled()) {
        ui->cmdCancel->click();
    }
}

void frmOptions::closeEvent(QCloseEvent* event)
{
    // The close box leaves like Cancel, whatever the buttons' state.
    event->accept();
}
