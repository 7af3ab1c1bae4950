// The main window: the account data file, its grid and editor, and the window's life cycle.
#pragma once

#include "platform/vb/Error.h"

#include <QDate>
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;
class QToolBar;
class SkinImage;
class frmRandomiser;
class frmSysTray;

namespace ado {
class Recordset;
} // namespace ado

namespace cw {
class LocalTrap;
} // namespace cw

namespace adoui {
class DataControl;
class DataGrid;
class FieldBinding;
} // namespace adoui

class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    inline static const QString kModule = QStringLiteral("frmMain");
    /// The first status panel's text while the window is locked.
    inline static const QString kLockedText
        = QStringLiteral("SECURITY TIME OUT! ...REFRESH PASSWORD!");

    /// Builds the window's controls and runs its load.
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // ---- Life cycle: load, close, settings and exit (frmMain_life.cpp) ----
    void Form_Load();
    void Form_QueryUnload(bool& Cancel, int UnloadMode);
    void Form_Unload(bool& Cancel);
    void Form_Activate();
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void mnuFileExit_Click();
    void mnuSysExit_Click();

    /// The program's command line split at TAB characters: index 0 is empty, parts from 1.
    QStringList GetCommandLine(int maxArgs = 10);

    // ---- Data file: connection and compaction (frmMain_data.cpp) ----
    bool DBconnect(const QString& sPW);
    bool CompactAndEncrypt(const QString& sDest, const QString& sPW);
    void UpdateLastload(const QString& path);

    // ---- Data file commands (frmMain_files.cpp) ----
    void mnuNewDB_Click();
    void mnuFileOpen_Click();
    void mnuOpenSpecial_Click();
    void mnuFileSaveAs_Click();
    void mnuFileClose_Click();

    // ---- Account editor (frmMain_editor.cpp) ----
    void DisplayInfo();
    void RefreshTextControls();
    void cmdAdd_Click();
    void cmdClear_Click();
    void mnuAddEntry_Click();
    void mnuDeleteEntry_Click();
    // Each box's text changed (typed, pasted or shown by the binding).
    void txtAccount_Change();
    void txtURL_Change();
    void txtID_Change();
    void txtPW_Change();
    void txtHint_Change();
    void txtINFO_Change();
    void txtKey1_Change();
    void txtKey2_Change();
    void txtKey3_Change();
    void txtKey4_Change();
    void txtKey1Label_Change();
    void txtKey2Label_Change();
    void txtKey3Label_Change();
    void txtKey4Label_Change();
    // A character key typed into a box; 0 swallows it.
    void txtAccount_KeyPress(int& KeyAscii);
    void txtURL_KeyPress(int& KeyAscii);
    void txtID_KeyPress(int& KeyAscii);
    void txtPW_KeyPress(int& KeyAscii);
    void txtHint_KeyPress(int& KeyAscii);
    void txtKey1_KeyPress(int& KeyAscii);
    void txtKey2_KeyPress(int& KeyAscii);
    void txtKey3_KeyPress(int& KeyAscii);
    void txtKey4_KeyPress(int& KeyAscii);
    void txtKey1Label_KeyPress(int& KeyAscii);
    void txtKey2Label_KeyPress(int& KeyAscii);
    void txtKey3Label_KeyPress(int& KeyAscii);
    void txtKey4Label_KeyPress(int& KeyAscii);

    // ---- Grid, filters and sorting (frmMain_grid.cpp) ----
    void cmdFilter_Click();
    void cmdFilter2_Click();
    void cmdClearFilter_Click();
    void txtFilter_KeyPress(int& KeyAscii);
    void txtFilter2_KeyPress(int& KeyAscii);
    void DataGrid1_ColResize(int ColIndex, int& Cancel);
    void DataGrid1_HeadClick(int ColIndex);
    void DataGrid1_KeyPress(int& KeyAscii);
    /// A move by the grid or the navigator bar could not save the row it was leaving.
    void Adodc1_Error(const vb::Error& error);
    /// The direction of the next header-click sort: False sorts ascending next.
    bool SortAscending = false;

    // ---- Hand-out, peek, security lock and keep-on-top (frmMain_handout.cpp) ----
    void InitTimer();
    void cmdAccount_Click();
    void cmdName_Click();
    void cmdURL_Click();
    void cmdHint_Click();
    void cmdInfo_Click();
    void cmdKey1_Click();
    void cmdKey2_Click();
    void cmdKey3_Click();
    void cmdKey4_Click();
    void cmdSP_Click();
    void cmdPassword_Click();
    void cmdRP_Click();
    void cmdGoUrl_Click();
    void Timer1_Timer();
    void Timer2_Timer();
    void timOnTop_Timer();
    void Form_LostFocus();
    bool ConfirmPassword();
    void StartURL();

    // ---- Skinned image buttons and tool state (frmMain_toolbar.cpp) ----
    void UpdateTools(bool pictures);
    void UpdateImage(SkinImage* image, const QString& pictureName);
    /// The mouse handlers of the 29 image buttons: the image's name picks its pictures and the
    /// command its click runs.
    void img_MouseDown(SkinImage* image, int Button, int Shift, float X, float Y);
    void img_MouseUp(SkinImage* image, int Button, int Shift, float X, float Y);
    void img_Click(SkinImage* image);
    /// The cool bar's mouse, in twips within the cool bar: a left-button drag moves the window.
    void CoolBar1_MouseDown(int Button, int Shift, float X, float Y);
    void CoolBar1_MouseMove(int Button, int Shift, float X, float Y);
    void CoolBar1_Click();
    float m_sngDragX = 0;
    float m_sngDragY = 0;

    // ---- Menus, help, printed report and tray events (frmMain_menus.cpp) ----
    void mnuFilePrint_Click();
    void mnuViewOptions_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void m_frmSysTray_MenuClick(int Index, const QString& Key);
    void m_frmSysTray_SysTrayDoubleClick(int Button);
    void m_frmSysTray_SysTrayMouseDown(int Button);

    // Members shared by the window's procedures
    bool m_bLocked = false;
    int32_t m_lTickMs = 0;
    int16_t m_iTimeout = 0;
    int16_t m_iTimeLeft = 0;
    QString m_sLastPath;
    QString m_sConnect;
    std::unique_ptr<frmSysTray> m_frmSysTray;
    QString m_sHelpFile;

    /// The status bar's panel text (1 to 3).
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString& text);

    /// The window's place and size in twips.
    float leftTwips() const;
    float topTwips() const;
    float widthTwips() const;
    float heightTwips() const;

    /// Test seams: the command-line text (without the program name) and today's date.
    static void setCommandLineText(std::optional<QString> text);
    static void setToday(std::function<QDate()> today);
    /// The connection string for a data file and its database password.
    static QString connectionString(const QString& path, const QString& password);
    /// The two compaction strings: the current file under its password, and the target.
    static QString compactSource(const QString& path, const QString& password);
    static QString compactDestination(const QString& path, const QString& password);
    /// The in-place compaction's temporary file for a day, in this user's private folder
    /// (Module1::GetPrivateTempDir()).
    static QString compactTempFile(const QDate& day);

    /// Test seam: runs between the compacted copy being written beside the data file and its
    /// rename over the data file.
    static void setBeforeReplaceHook(std::function<void()> hook);

    // Controls
    QFrame* CoolBar1 = nullptr;
    QFrame* fraToolbar = nullptr;
    QFrame* Frame4 = nullptr;
    QFrame* Frame1 = nullptr;
    QToolBar* tbToolBar = nullptr;
    adoui::DataGrid* DataGrid1 = nullptr;
    adoui::DataControl* Adodc1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLineEdit* txtAccount = nullptr;
    QLineEdit* txtURL = nullptr;
    QLineEdit* txtID = nullptr;
    QLineEdit* txtPW = nullptr;
    QPlainTextEdit* txtHint = nullptr;
    QLineEdit* txtKey1Label = nullptr;
    QLineEdit* txtKey1 = nullptr;
    QLineEdit* txtKey2Label = nullptr;
    QLineEdit* txtKey2 = nullptr;
    QLineEdit* txtKey3Label = nullptr;
    QLineEdit* txtKey3 = nullptr;
    QLineEdit* txtKey4Label = nullptr;
    QLineEdit* txtKey4 = nullptr;
    QPlainTextEdit* txtINFO = nullptr;
    QRadioButton* optField[2] = {};
    QLineEdit* txtFilter = nullptr;
    QLineEdit* txtFilter2 = nullptr;
    QPushButton* cmdFilter = nullptr;
    QPushButton* cmdFilter2 = nullptr;
    QPushButton* cmdClearFilter = nullptr;
    QPlainTextEdit* txtDataInform = nullptr;
    QPushButton* cmdPassword = nullptr;
    QLabel* Label7 = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* timOnTop = nullptr;
    SkinImage* imgTBopen = nullptr;
    SkinImage* imgTBclose = nullptr;
    SkinImage* imgTBnew = nullptr;
    SkinImage* imgTBunlock = nullptr;
    SkinImage* imgTBsave = nullptr;
    SkinImage* imgTBprint = nullptr;
    SkinImage* imgTBoptions = nullptr;
    SkinImage* imgTBhelp = nullptr;
    SkinImage* imgTBinfo = nullptr;
    SkinImage* imgTBontop = nullptr;
    SkinImage* imgTBmin = nullptr;
    SkinImage* imgTBexit = nullptr;
    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuListPopup = nullptr;
    QMenu* mnuSysPopup = nullptr;

    /// The bound edit boxes, in the order of the record's fields.
    QList<adoui::FieldBinding*> bindings() const { return m_bindings; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Layout (frmMain_layout.cpp)
    void buildControls();
    void buildToolbarBands();
    void buildEditor();
    void buildFilter();
    void buildMenus();
    // Life cycle
    QString settingsSection() const;
    void createTrayIcon();
    /// The values the close writes back besides the window's place, as key and stored text.
    QList<std::pair<QString, QString>> carriedSettings() const;
    /// False for a column width (twips) so narrow that the column could not be seen.
    bool columnWidthShows(float twips) const;
    // Data file
    void removeExtraColumns();
    std::optional<vb::Error> savePendingEdit(ado::Recordset& rs);
    void applyColumnWidths();
    // Data file commands
    /// The common dialog: shows an Open or Save dialog starting at name; Cancel raises 32755.
    QString showFileDialog(bool save, const QString& title, const QString& filter,
        const QString& name);
    /// Asks for a file to write to, running beforeDialog before each dialog: No to the
    /// overwrite question asks again; Cancel, the open data file itself, or the master password
    /// refused after the lock fell under a dialog give an empty name.
    QString chooseFileToWrite(const QString& title, const QString& filter, bool offerLastName,
        const std::function<void()>& beforeDialog);
    /// An open data file: the data control's recordset has an active connection.
    bool dataFileOpen() const;
    /// True when path names the data file the window has open (links and ".." resolved).
    bool isOpenDataFile(const QString& path) const;
    /// Writes a keyed, encrypted data file from the template at path; false when it failed.
    bool createDataFile(const QString& path);
    /// Puts the previous file back after a Save As that left no usable copy.
    void reconnectAfterSaveAs(const QString& previousPath, const QString& previousPassword);
    QString m_dlgFileName; // the file name the common dialog was left with
    // Account editor
    void connectEditor();
    /// The body of the boxes' Change and KeyPress handlers.
    void restartTimeout();
    void enterMovesOn(int& KeyAscii);
    // Grid, filters and sorting
    void connectGrid();
    /// The body of the filter boxes' KeyPress handlers.
    void filterKey(int& KeyAscii, void (frmMain::*filter)());
    /// The body of the two filter commands: `criteria` takes the field and the trimmed text.
    void applyFilter(const QString& text, const QString& criteria, const QString& errorPrefix);
    /// Drops the filter and rebuilds the view with every row, in the data source's order or,
    /// with keepSort, in the present one; steps that fail are reported through the trap.
    void showAllRows(cw::LocalTrap& trap, ado::Recordset& rs, bool keepSort);
    // Hand-out, peek, security lock and keep-on-top
    void connectHandout();
    void revealField(QLineEdit* box);
    /// The unlock button's work once the master password was given.
    void endLock();
    /// True at once when the window is not locked; while it is, asks for the master password
    /// and, when given, ends the lock as the unlock button does. The file and options commands
    /// run only once this is true, and a command acts on what its dialogs answered only once
    /// it is true again afterwards: the lock may have fallen while a dialog was up.
    bool unlockedForCommand();
    /// Closes the windows that show the account listing in clear.
    void closeListings();
    frmRandomiser* m_frmRandomiser = nullptr;
    // Skinned image buttons and tool state
    void connectImages();
    /// The window's control or menu item of that name, found once and then remembered.
    QObject* toolItem(const char* name);
    QHash<QString, QPointer<QObject>> m_toolItems;
    // Menus, help, printed report and tray events
    void PrintData();
    void connectMenuCommands();
    void connectTrayEvents();
    void showFromTray();

    QList<adoui::FieldBinding*> m_bindings;
    bool m_unloaded = false;
    bool m_wasMinimised = false;
    QSet<QString> m_settingsRead;  ///< settings the load read and converted
    /// carriedSettings() as the load left them.
    QList<std::pair<QString, QString>> m_settingsAtLoad;
};
