// The account listing as rich text, laid out for the printer's line width: printed, saved as
// a rich text file, or edited through a right-click menu.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QStatusBar;
class QTextEdit;
class QToolBar;

namespace Ui {
class frmPrint;
}

class frmPrint : public QDialog
{
    Q_OBJECT

public:
    inline static const QString kModule = QStringLiteral("frmPrint");

    /// The window's common dialog: the settings of its next file or printer dialog.
    struct CommonDialog
    {
        QString DialogTitle;
        QString Filter;
        QString FileName;
        int Flags = 0;
        bool CancelError = false;

        /// The save dialog; a cancel raises error 32755 when CancelError is set.
        void ShowSave();
        /// The printer dialog; the printer chosen becomes the default printer.
        void ShowPrinter();
    };

    /// Loads the window: the listing is filled from gAccountRS.
    explicit frmPrint(QWidget* parent = nullptr);
    ~frmPrint() override;

    void FillRTF();
    void InsertText(const QString& text, bool bold);
    void PrintText();
    void PrintSetup();
    void SaveData();

    void tbPrint_ButtonClick(const QString& key);
    void RTB_MouseDown(int Button, int Shift, float X, float Y);
    void mnuCopy_Click();
    void mnuCut_Click();
    void mnuDelete_Click();
    void mnuPaste_Click();
    void mnuSelectAll_Click();

    QTextEdit* RTB = nullptr;
    QToolBar* tbPrint = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    CommonDialog CommonDialog1;
    QMenu* mnuPopUp = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuFileBar = nullptr;
    QAction* mnuSelectAll = nullptr;

    /// The line width the listing is laid out for, in twips.
    long lineWidth() const { return m_lineWidth; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    /// The selected text onto the emptied clipboard (nothing selected: it stays empty).
    void copySelection();

    std::unique_ptr<Ui::frmPrint> ui;
    long m_lineWidth = 0;
    bool m_unloaded = false;
};
