// The error report window: the error, the call tree and the system description, with
// Continue, Break, Help, Print and the knowledge-base lookup.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmCATCHWELL;
}

class frmCATCHWELL : public QDialog
{
    Q_OBJECT

public:
    explicit frmCATCHWELL(QWidget* parent = nullptr);
    ~frmCATCHWELL() override;

    /// Fills the window from the error table and the call tree, as the report shows them.
    void fillReport();

    /// The Windows directory (empty here: the call fails).
    QString pfSys() const;

    /// Every pointer-move hint ends here; the window has no status bar to show it in.
    void UpdateStatusBar(const QString& text);

    /// The system box's text, line ends as given.
    QString sysText() const;
    void setSysText(const QString& text);

    /// True once the system view has been collected by the window itself.
    bool sysInfoLoaded() const { return SysInfoLoaded; }

    void Combo1_Click();
    void errText_Click();
    void vtCtrlContinue_Click();
    void vtCtrlMore_Click();
    void vtHelp_Click();
    void cwPrint_Click();
    void cmdWWW_Click();

    /// The lines that Print sends to the printer for the view chosen in the view list.
    QStringList printLines() const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void Form_Paint();
    void centre();
    void buildCallTree();
    void setComboIndex(int index);
    void setErrTextIndex(int index);

    std::unique_ptr<Ui::frmCATCHWELL> ui;
    bool SysInfoLoaded = false;
    QString m_sysText;  // as given: the box shows it without its carriage returns
};

namespace modCatchwell {

/// The report window, loaded (Form_Load) on first use.
frmCATCHWELL& loadReportForm();

/// The loaded report window, or nullptr.
frmCATCHWELL* loadedReportForm();

} // namespace modCatchwell
