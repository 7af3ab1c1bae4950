// The data file: connection, compaction and the file name in the status bar.
#include "mainwindow/frmMain.h"

#include "cipher/StringCipher.h"
#include "errortrace/Proc.h"
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/adoui/DataGrid.h"
#include "platform/host/Host.h"
#include "platform/vb/Constants.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kSuffix = QStringLiteral("R7305");
const QString kRecordSource = QStringLiteral("Select * from tblAccount");

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

bool fsyncPath(const QString& path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Puts the compacted copy in place of the data file so that the data file is, at every
// moment, either the old file or the complete new one: the copy is written beside it, forced
// to disk, proven to open under its password, and only then renamed over it.
void replaceDataFile(const QString& compacted, const QString& dataFile, const QString& password)
{
    const QFileInfo target(dataFile);
    const QString side = target.absolutePath() + QStringLiteral("/.") + target.fileName()
        + QStringLiteral(".compact");
    struct Cleanup
    {
        QString path;
        bool keep = false;
        ~Cleanup()
        {
            if (!keep) {
                QFile::remove(path);
            }
        }
    } cleanup { side };

    QFile::remove(side);
    if (!QFile::copy(compacted, side)) {
        vb::raise(75, {}, QStringLiteral("Could not write %1").arg(side));
    }
    if (!fsyncPath(side, O_RDONLY)) {
        vb::raise(57, {}, QStringLiteral("Could not flush %1 to disk").arg(side));
    }
    {
        ado::Connection check;
        check.Open(frmMain::connectionString(side, password));
        check.Close();
    }
    if (beforeReplaceHook()) {
        beforeReplaceHook()();
    }
    if (::rename(QFile::encodeName(side).constData(), QFile::encodeName(dataFile).constData())
        != 0) {
        vb::raise(75, {}, QStringLiteral("Could not replace %1").arg(dataFile));
    }
    cleanup.keep = true;
    fsyncPath(target.absolutePath(), O_RDONLY | O_DIRECTORY);
}

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
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + path
        + QStringLiteral(";Mode=ReadWrite|Share Deny None;Extended Properties=\"\";"
                         "Jet OLEDB:System database=\"\";Jet OLEDB:Registry Path=\"\";"
                         "Jet OLEDB:Database Password=")
        + password
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
        + password + QStringLiteral(";Data Source=") + path;
}

QString frmMain::compactDestination(const QString& path, const QString& password)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
        + QStringLiteral(";Jet OLEDB:Engine Type=5;"
                         "Jet OLEDB:Encrypt Database=True;Jet OLEDB:Database Password=")
        + password;
}

QString frmMain::compactTempFile(const QDate& day)
{
    return Module1::GetTempDir() + day.toString(QStringLiteral("MM-dd-yyyy"))
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
            if (path.isEmpty() || !info.isFile() || info.isHidden()) {
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
    cw::LocalTrap trap(QStringLiteral("DataCompact Error:"),
        QStringLiteral("DATABASE COMPACT ERROR!"),
        { ado::errIllegalOperation, ado::errObjectClosed, ado::errProviderUnspecified });
    bool result = false;
    QString path;
    QString targetPassword;
    QString sourcePassword;
    QString target;

    trap([&] { DisplayInfo(); });
    trap([&] { path = gDBpath; });
    if (path.isEmpty()) {
        return result;
    }
    trap([&] {
        targetPassword = Module1::Decrypt(gStoredPassword) + kSuffix;
        sourcePassword = sPW.isEmpty() ? targetPassword : sPW + kSuffix;
    });
    ado::Recordset* rs = nullptr;
    trap([&] { rs = Adodc1->Recordset(); });
    if (rs != nullptr) {
        bool closedAlready = false;
        trap([&] { closedAlready = !rs->ActiveConnection(); });
        if (closedAlready) {
            return sDest.isEmpty();
        }
        if (trap.test([&] { return !rs->IsBOF() && !rs->IsEOF(); })) {
            trap([&] {
                if (rs->EditMode() != ado::adEditDelete) {
                    rs->Update();
                }
            });
            if (trap.test([&] { return !rs->IsBOF() && !rs->IsEOF(); })) {
                trap([&] { rs->Update(); });
            }
        }
        trap([&] { rs->Close(); });
        trap([&] { rs->setActiveConnection(nullptr); });
        trap([&] { Adodc1->setConnectionString(QString()); });
        trap([&] { Adodc1->setRecordSource(QString()); });
    }
    trap([&] {
        target = sDest.isEmpty() ? compactTempFile(today()) : sDest;
        if (QFileInfo::exists(target)) {
            QFile::remove(target);
        }
    });
    trap([&] {
        ado::CompactDatabase(
            compactSource(path, sourcePassword), compactDestination(target, targetPassword));
    });
    if (sDest.isEmpty()) {
        trap([&] {
            if (QFileInfo::exists(target)) {
                replaceDataFile(target, path, targetPassword);
                QFile::remove(target);
                result = true;
            }
        });
    } else {
        result = true;
    }
    trap([&] { DisplayInfo(); });
    return result;
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
