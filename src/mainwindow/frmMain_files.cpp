// The data file commands: new, open, open with a password, save as and close.
#include "mainwindow/frmMain.h"

#include "dialogs/frmImport.h"
#include "dialogs/frmNewFile.h"
#include "errortrace/Proc.h"
#include "platform/ado/FileLock.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SafeFile.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kOpenFilter = QStringLiteral("Passwords (*.pnv)|*.pnv|All Files (*.*)|*.*");

// The commands end quietly on Cancel in a file dialog and on any other error of theirs.
cw::Proc::Verdict quietly(const vb::Error&)
{
    gDialogOpen = false;
    return cw::Proc::Verdict::Handled;
}

// Yes (go on), No (choose again) or Cancel (stop) for a file that is there already.
int askOverwrite(const QString& path)
{
    return host::MsgBox(QStringLiteral("THIS FILE ALREADY EXISTS!\r\n\r\nDo You Want To Overwrite:\r\n")
            + path + QStringLiteral("\r\n"),
        vb::vbYesNoCancel + vb::vbCritical + vb::vbDefaultButton2, QStringLiteral("FILE EXISTS!"));
}

} // namespace

QString frmMain::showFileDialog(
    bool save, const QString& title, const QString& filter, const QString& name)
{
    host::FileRequest request;
    request.kind = save ? host::FileRequest::Save : host::FileRequest::Open;
    request.title = title;
    request.filter = filter;
    request.filterIndex = 1;
    request.fileName = name;
    request.cancelError = true;
    m_dlgFileName = name;
    const host::FileChoice choice = host::ShowFileDialog(request);
    m_dlgFileName = choice.fileName;
    return choice.fileName;
}

QString frmMain::chooseFileToWrite(const QString& title, const QString& filter,
    bool offerLastName, const std::function<void()>& beforeDialog)
{
    for (;;) {
        if (beforeDialog) {
            beforeDialog();
        }
        gDialogOpen = true;
        const QString path
            = showFileDialog(true, title, filter, offerLastName ? m_dlgFileName : QString());
        gDialogOpen = false;
        if (path.isEmpty() || !unlockedForCommand()) {
            return {};
        }
        if (!QFileInfo::exists(path)) {
            return path;
        }
        const int answer = askOverwrite(path);
        if (answer == vb::vbNo) {
            continue;
        }
        // The file open in this window cannot be replaced: the command ends as for any file
        // that cannot be deleted.
        if (answer != vb::vbYes || !unlockedForCommand() || isOpenDataFile(path)) {
            return {};
        }
        // Nor is a file its owner made read-only, even when the mode would not stop this user.
        if (!ado::isWritableFile(path)) {
            host::MsgBox(QStringLiteral("The file\r\n") + path
                    + QStringLiteral("\r\nis read-only, so it has not been replaced: "
                                     "it stays as it is."),
                vb::vbCritical, QStringLiteral("FILE IS READ-ONLY!"));
            return {};
        }
        return path;
    }
}

bool frmMain::dataFileOpen() const
{
    const ado::Recordset* rs = Adodc1->Recordset();
    return rs != nullptr && rs->ActiveConnection() != nullptr;
}

bool frmMain::isOpenDataFile(const QString& path) const
{
    if (!dataFileOpen()) {
        return false;
    }
    return ado::sameFile(path, gDBpath);
}

bool frmMain::createDataFile(const QString& path)
{
    // A file that another instance is working on cannot be replaced under it: the claim on it
    // fails and New ends as for any file that cannot be deleted. Held until the rename.
    std::shared_ptr<ado::FileLock> claim;
    if (QFileInfo::exists(path)) {
        claim = ado::FileLock::acquire(path);
    }
    // The new file is made and keyed beside its target and only then renamed over it, so a
    // New that fails leaves a file of that name as it was.
    const QString side = ado::sideFile(path, QStringLiteral(".new"));
    // However it ends, the working copy goes; unless the new file is in place, so does the
    // data file path that named it.
    struct Cleanup
    {
        QString side;
        QString previousPath;
        bool placed = false;
        ~Cleanup()
        {
            QFile::remove(side);
            if (!placed) {
                gDBpath = previousPath;
            }
        }
    } cleanup { side, gDBpath };
    cw::LocalTrap trap(QStringLiteral("New Data File Error:"),
        QStringLiteral("NEW DATA FILE ERROR!"), {});

    QFile::remove(side);
    bool written = false;
    trap([&] {
        const long failure = Module1::SaveResItemToDisk(
            QStringLiteral("DATABASE"), QStringLiteral("CUSTOM"), side);
        if (failure != 0) {
            vb::raise(failure, {},
                QStringLiteral("Could not write a working copy beside '%1'.").arg(path));
        }
        written = true;
    });
    if (!written) {
        return false;
    }
    gDBpath = side;
    gOpenPassword.clear();
    // The compaction keys a file it has open, or one when the window never opened any. After
    // a Close the data control still holds its closed recordset, and the compaction would then
    // leave the template unencrypted: open the template in it first.
    ado::Recordset* rs = Adodc1->Recordset();
    if (rs != nullptr && rs->ActiveConnection() == nullptr) {
        Adodc1->setConnectionString(connectionString(side, QString()));
        Adodc1->setRecordSource(QStringLiteral("Select * from tblAccount"));
        Adodc1->Refresh();
    }
    if (!CompactAndEncrypt(QString(), QString())) {
        return false;
    }
    trap([&] {
        ado::replaceFile(side, path, [](const QString&) {});
        cleanup.placed = true;
    });
    if (cleanup.placed) {
        gDBpath = path;
    }
    return cleanup.placed;
}

void frmMain::mnuNewDB_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuNewDB_Click"));
    proc.run(
        [&] {
            if (!unlockedForCommand()) {
                return;
            }
            const QString path = chooseFileToWrite(QStringLiteral("Choose Data File to Create"),
                QStringLiteral("PWdata (*.pnv)|*.pnv"), true, {});
            if (path.isEmpty() || !createDataFile(path)) {
                return;
            }
            if (DBconnect(QString()) && !gHideNewFileInfo) {
                gDialogOpen = true;
                host::host().showModal(frmNewFile::instance(), this);
                gDialogOpen = false;
            }
        },
        quietly);
}

void frmMain::mnuFileOpen_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileOpen_Click"));
    proc.run(
        [&] {
            if (!unlockedForCommand()) {
                return;
            }
            gDialogOpen = true;
            const QString name
                = showFileDialog(false, QStringLiteral("Open"), kOpenFilter, m_sLastPath);
            gDialogOpen = false;
            if (!name.isEmpty() && unlockedForCommand()) {
                gDBpath = name;
                DBconnect(QString());
            }
        },
        quietly);
}

void frmMain::mnuOpenSpecial_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuOpenSpecial_Click"));
    proc.run(
        [&] {
            if (!unlockedForCommand()) {
                return;
            }
            bool ok = false;
            {
                gDialogOpen = true;
                frmImport dialog;
                host::host().showModal(dialog, nullptr);
                gDialogOpen = false;
                gOpenPassword = dialog.txtPassword()->text();
                ok = dialog.OK;
            }
            if (!ok || !unlockedForCommand()) {
                gOpenPassword.clear();
                return;
            }
            gDialogOpen = true;
            const QString name = showFileDialog(false,
                QStringLiteral("Open DataFile using Password"), kOpenFilter, m_sLastPath);
            gDialogOpen = false;
            if (name.isEmpty() || !unlockedForCommand()) {
                gOpenPassword.clear();
                return;
            }
            gDBpath = name;
            if (!DBconnect(gOpenPassword)) {
                gOpenPassword.clear();
            }
        },
        [](const vb::Error& e) {
            gOpenPassword.clear();
            return quietly(e);
        });
}

void frmMain::mnuFileSaveAs_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileSaveAs_Click"));
    proc.run(
        [&] {
            if (!dataFileOpen() || !unlockedForCommand()) {
                return;
            }
            const QString path = chooseFileToWrite(QStringLiteral("Save Data File As..."),
                QStringLiteral("Password Files (*.pnv)|*.pnv"), false, [] {
                    if (!gOpenPassword.isEmpty()) {
                        host::MsgBox(QStringLiteral("PLEASE NOTE:\r\n\r\n"
                                                    "The DataFile will be saved using your usual "
                                                    "Login Password.\r\n"
                                                    "NOT the \"open\" password you supplied "
                                                    "earlier!"),
                            vb::vbExclamation, QStringLiteral("NOTE SAVE PASSWORD!"));
                    }
                });
            if (path.isEmpty()) {
                return;
            }

            // The old file of that name stays until the compaction has put the new copy in
            // its place, which it reports only once it has.
            const QString previousPath = gDBpath;
            const QString previousPassword = gOpenPassword;
            if (CompactAndEncrypt(path, gOpenPassword)) {
                gDBpath = path;
                if (DBconnect(QString())) {
                    gOpenPassword.clear();
                } else {
                    reconnectAfterSaveAs(previousPath, previousPassword);
                }
            } else {
                host::MsgBox(QStringLiteral("SaveAs operation failed"), vb::vbCritical,
                    QStringLiteral("SAVE AS - FAILURE"));
                reconnectAfterSaveAs(previousPath, previousPassword);
            }
            gDialogOpen = false;
        },
        quietly);
}

void frmMain::reconnectAfterSaveAs(const QString& previousPath, const QString& previousPassword)
{
    gDBpath = previousPath;
    gOpenPassword = previousPassword;
    if (!DBconnect(previousPassword)) {
        gOpenPassword.clear();
    }
}

void frmMain::mnuFileClose_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileClose_Click"));
    proc.run([&] {
        if (!dataFileOpen() || !unlockedForCommand()) {
            return;
        }
        ado::Recordset* rs = Adodc1->Recordset();
        auto onRecord = [&rs] { return !rs->IsBOF() && !rs->IsEOF(); };
        if (gOpenPassword.isEmpty()) {
            m_sLastPath = gDBpath;
            CompactAndEncrypt(QString(), QString());
        } else {
            // A file opened with another password keeps it: no compaction, which would key
            // it with the login password. A new row still being typed is dropped.
            if (onRecord() && rs->EditMode() == ado::adEditAdd) {
                Adodc1->Refresh();
                rs = Adodc1->Recordset();
            }
            if (onRecord()) {
                rs->Update();
            }
            rs->Close();
            rs->setActiveConnection(nullptr);
            Adodc1->setConnectionString(QString());
            Adodc1->setRecordSource(QString());
        }
        RefreshTextControls();
        setPanelText(1, QStringLiteral("No Data File Loaded."));
        setPanelText(2, QString());
        UpdateTools(true);
        DataGrid1->setDataSource(nullptr);
        DataGrid1->setDataSource(Adodc1);
        DataGrid1->ClearFields();
        DataGrid1->Refresh();
        gOpenPassword.clear();
    });
}
