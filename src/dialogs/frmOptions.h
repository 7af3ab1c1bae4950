// The options dialog: the user's options for peek, time-out, keep-on-top and auto-load, and the
// master password change. It works on the process-wide values and the user's settings.
#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QFrame;

namespace Ui {
class frmOptions;
}

class frmOptions : public QDialog
{
    Q_OBJECT

public:
    /// The ranges of the peek time (seconds) and the time-out (minutes) the dialog offers.
    static constexpr int kPeekMin = 5;
    static constexpr int kPeekMax = 20;
    static constexpr int kTimeoutMin = 1;
    static constexpr int kTimeoutMax = 20;

    explicit frmOptions(QWidget* parent = nullptr);
    ~frmOptions() override;

    void Form_KeyDown(int KeyCode, int Shift);
    void tbsOptions_Click();
    void chkAutoLoad_Click();
    void chkPasstime_Click();
    void chkTimeout_Click();
    void chkOnTop_Click();
    void fsbPeek_Change();
    void fsbTimeout_Change();
    void cmdSave_Click();
    void cmdUse_Click();
    void cmdCancel_Click();
    void cmdPW_Click();

    /// The two pages (0 General, 1 Master).
    QFrame* pbGeneral(int index) const;

    /// Asked before Save, Use or the master password change stores anything: true when the
    /// window these options apply to is unlocked, or the master password has just unlocked it.
    /// Unset, everything may be stored.
    std::function<bool()> unlocked;

public slots:
    /// Esc: reaches Cancel while it is enabled.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void enableUseAndSave();
    bool mayStore() const;

    std::unique_ptr<Ui::frmOptions> ui;
};
