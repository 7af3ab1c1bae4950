// The data file: connection, compaction and the file name in the status bar.
#include "mainwindow/frmMain.h"

#include "cipher/StringCipher.h"
#include "errortrace/Proc.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/FileLock.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SafeFile.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kSuffix = QStringLiteral("R7305");
const QString kRecordSource = QStringLiteral("Select * from tblAccount");
const QString kCompactTitle = QStringLiteral("DATABASE COMPACT ERROR!");

std::function<QDate()>& todayFunction()
{
    static std::function<QDate()> f;
    return f;
}

std::function<void()>& beforeReplaceHook()
{
    static std::function<void()> f;
    return f;
}

QDate today()
{
    return todayFunction() ? todayFunction()() : QDate::currentDate();
}

// Removes the compaction's temporary copy however the compaction ends.
struct TempCopy
{
    QString path;
    ~TempCopy()
    {
        if (!path.isEmpty()) {
            QFile::remove(path);
        }
    }
};

} // namespace

void frmMain::setToday(std::function<QDate()> f)
{
    todayFunction() = std::move(f);
}

void frmMain::setBeforeReplaceHook(std::function<void()> hook)
{
    beforeReplaceHook() = std::move(hook);
}

QString frmMain::connectionString(const QString& path, const QString& password)
{
    using ado::ConnectionString;
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=")
        + ConnectionString::quoteValue(path)
        + QStringLiteral(";Mode=ReadWrite|Share Deny None;Extended Properties=\"\";"
                         "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
                         "Jet OLEDB:Database Password=")
        + ConnectionString::quoteValue(password)
        + QStringLiteral(";Jet OLEDB:Engine Type=5;Jet OLEDB:Database Locking Mode=1;"
                         "Jet OLEDB:Global Partial Bulk Ops=2;"
                         "Jet OLEDB:Global Bulk Transactions=1;"
                         "Jet OLEDB:New Database Password=\"\";"
                         "Jet OLEDB:Create System Database=False;"
                         "Jet OLEDB:Encrypt Database=False;"
                         "Jet OLEDB:Don't Copy Locale on Compact=False;"
                         "Jet OLEDB:Compact Without Replica Repair=False;Jet OLEDB:SFP=False");
}

QString frmMain::compactSource(const QString& path, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Locking Mode=0;"
                          "User ID=\"Admin\";Jet OLEDB:Database Password=")
        + ado::ConnectionString::quoteValue(password) + QStringLiteral(";Data Source=")
        + ado::ConnectionString::quoteValue(path);
}

QString frmMain::compactDestination(const QString& path, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=")
        + ado::ConnectionString::quoteValue(path)
        + QStringLiteral(";Jet OLEDB:Engine Type=5;"
                         "Jet OLEDB:Encrypt Database=True;Jet OLEDB:Database Password=")
        + ado::ConnectionString::quoteValue(password);
}

QString frmMain::compactTempFile(const QDate& day)
{
    // The shared temporary folder is open to every local user: the copy lives in a folder of
    // its own that only this user can enter.
    return Module1::GetPrivateTempDir() + day.toString(QStringLiteral("MM-dd-yyyy"))
        + QStringLiteral("_PNVcompact.pnv");
}

bool frmMain::DBconnect(const QString& sPW)
{
    cw::Proc proc(kModule, QStringLiteral("Function DBconnect"));
    bool result = false;
    proc.run(
        [&] {
            const QString path = gDBpath;
            const QFileInfo info(path);
            // A leading dot only keeps a name out of folder listings; such a file is a data
            // file like any other, so only a missing or non-regular one is passed over.
            if (path.isEmpty() || !info.isFile()) {
                return;
            }
            const QString password
                = (sPW.isEmpty() ? Module1::Decrypt(gStoredPassword) : sPW) + kSuffix;
            m_sConnect = connectionString(path, password);
            Adodc1->setConnectionString(m_sConnect);
            Adodc1->setRecordSource(kRecordSource);
            Adodc1->Refresh();
            ado::Recordset* rs = Adodc1->Recordset();
            rs->setSort(QStringLiteral("Account ASC"));
            setPanelText(
                1, QString::number(rs->RecordCount()) + QStringLiteral(" Accounts stored."));
            DisplayInfo();
            UpdateLastload(path);
            removeExtraColumns();
            UpdateTools(true);
            result = true;
        },
        [&](const vb::Error& e) {
            gDBpath.clear();
            if (e.number == ado::errWrongPassword) {
                host::MsgBox(QStringLiteral("User: ") + gUserName
                        + QStringLiteral("'s Login password does not\r\n"
                                         "match the embedded DataBase password:\r\n"
                                         "Please use the 'Open Special' Menu command."),
                    vb::vbCritical, QStringLiteral("PASSWORD MISMATCH!"));
            } else {
                host::MsgBox(QStringLiteral("Database Connection Error:\r\n")
                        + QString::number(e.number) + QStringLiteral(": \r\n") + e.description,
                    vb::vbCritical, QStringLiteral("DATABASE CONNECTION ERROR!"));
            }
            result = false;
            return cw::Proc::Verdict::Handled;
        });
    return result;
}

bool frmMain::CompactAndEncrypt(const QString& sDest, const QString& sPW)
{
    cw::Proc proc(kModule, QStringLiteral("Function CompactAndEncrypt"));
    cw::LocalTrap trap(QStringLiteral("DataCompact Error:"), kCompactTitle,
        { ado::errIllegalOperation, ado::errObjectClosed, ado::errProviderUnspecified });
    bool result = false;
    QString path;
    QString targetPassword;
    QString sourcePassword;

    trap([&] { DisplayInfo(); });
    trap([&] { path = gDBpath; });
    if (path.isEmpty()) {
        return result;
    }
    trap([&] {
        targetPassword = Module1::Decrypt(gStoredPassword) + kSuffix;
        sourcePassword = sPW.isEmpty() ? targetPassword : sPW + kSuffix;
    });
    // A copy written over the file it is made from would destroy it.
    if (!sDest.isEmpty() && ado::sameFile(sDest, path)) {
        return result;
    }
    ado::Recordset* rs = nullptr;
    trap([&] { rs = Adodc1->Recordset(); });
    std::optional<vb::Error> unsaved;
    // The working connection is kept open (and the file claimed) until the copy is made, which
    // then needs no second opening of the file.
    std::shared_ptr<ado::Connection> working;
    if (rs != nullptr) {
        trap([&] { working = rs->ActiveConnection(); });
        if (!working) {
            return sDest.isEmpty();
        }
        unsaved = savePendingEdit(*rs);
        if (unsaved) {
            host::MsgBox(
                QStringLiteral("The current account could not be saved to the data file\r\n")
                    + path + QStringLiteral("\r\n\r\nReason: ") + unsaved->description
                    + QStringLiteral("\r\n\r\nThe data file keeps the accounts saved before "
                                     "and has not been compacted."),
                vb::vbCritical, kCompactTitle);
            trap([&] { rs->CancelUpdate(); });
        }
        trap([&] { rs->Close(); });
        trap([&] { rs->setActiveConnection(nullptr); });
        trap([&] { Adodc1->setConnectionString(QString()); });
        trap([&] { Adodc1->setRecordSource(QString()); });
    }
    if (unsaved) {
        working.reset();
        trap([&] { DisplayInfo(); });
        return result;
    }
    if (sDest.isEmpty() && QFileInfo::exists(path) && !ado::isWritableFile(path)) {
        host::MsgBox(QStringLiteral("The data file\r\n") + path
                + QStringLiteral("\r\nis read-only, so it has not been compacted: "
                                 "it stays as it is."),
            vb::vbCritical, kCompactTitle);
        trap([&] { DisplayInfo(); });
        return result;
    }

    // The copy replaces a file only when this compaction wrote it, under the claim on both
    // files, so no other process is working on either of them meanwhile.
    TempCopy temp;
    std::shared_ptr<ado::FileLock> sourceLock;
    std::shared_ptr<ado::FileLock> targetLock;
    bool compacted = false;
    trap([&] {
        ado::requirePrivateFolder(Module1::GetPrivateTempDir());
        temp.path = compactTempFile(today());
        if (QFileInfo::exists(temp.path)) {
            QFile::remove(temp.path);
        }
    });
    if (!temp.path.isEmpty()) {
        trap([&] {
            sourceLock = ado::FileLock::acquire(path);
            if (!sDest.isEmpty() && QFileInfo::exists(sDest)) {
                targetLock = ado::FileLock::acquire(sDest);
            }
            ado::CompactDatabase(compactSource(path, sourcePassword),
                compactDestination(temp.path, targetPassword), working.get());
            compacted = true;
        });
    }
    if (compacted) {
        trap([&] {
            ado::installCompactedCopy(temp.path, sDest.isEmpty() ? path : sDest, targetPassword,
                beforeReplaceHook());
            result = true;
        });
    }
    working.reset();
    targetLock.reset();
    sourceLock.reset();
    trap([&] { DisplayInfo(); });
    return result;
}

std::optional<vb::Error> frmMain::savePendingEdit(ado::Recordset& rs)
{
    cw::Proc proc(kModule, QStringLiteral("Function savePendingEdit"));
    // A pending edit or new row is saved before the file is closed; a failure is given back so
    // that the close can tell the user rather than compact the file without it.
    cw::ResumeNext next;
    auto onRecord = [&] { return !rs.IsBOF() && !rs.IsEOF(); };
    vb::Err().clear();
    if (next.test(onRecord)) {
        vb::Err().clear();
        next([&] {
            if (rs.EditMode() != ado::adEditDelete) {
                rs.Update();
            }
        });
        if (vb::Err().number == 0 && next.test(onRecord)) {
            vb::Err().clear();
            next([&] { rs.Update(); });
        }
    }
    if (vb::Err().number != 0) {
        return vb::Err().toError();
    }
    return std::nullopt;
}

void frmMain::UpdateLastload(const QString& path)
{
    cw::Proc proc(kModule, QStringLiteral("Sub UpdateLastload"));
    proc.run([&] {
        if (path.isEmpty()) {
            return;
        }
        gLastLoad = path;
        const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
        setPanelText(2, path.mid(cut + 1));
    });
}

void frmMain::removeExtraColumns()
{
    adoui::GridColumns columns = DataGrid1->Columns();
    for (int i = columns.Count() - 1; i >= 0; --i) {
        const QString field = columns.Item(i).DataField();
        if (field != u"Account" && field != u"URL") {
            columns.Remove(i);
        }
    }
    applyColumnWidths();
}

void frmMain::applyColumnWidths()
{
    adoui::GridColumns columns = DataGrid1->Columns();
    for (int i = 0; i < columns.Count(); ++i) {
        const QString field = columns.Item(i).DataField();
        if (field == u"Account" && columnWidthShows(gColAccount)) {
            columns.Item(i).setWidth(gColAccount);
        } else if (field == u"URL" && columnWidthShows(gColURL)) {
            columns.Item(i).setWidth(gColURL);
        }
    }
}
