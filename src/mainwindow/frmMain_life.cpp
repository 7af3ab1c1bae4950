// The main window's load, close and settings.
#include "mainwindow/frmMain.h"

#include "dialogs/frmOptions.h"
#include "dialogs/frmSysTray.h"
#include "errortrace/Proc.h"
#include "errortrace/modCatchwell.h"
#include "mainwindow/SkinImage.h"
#include "platform/adoui/DataGrid.h"
#include "platform/settings/SettingsStore.h"
#include "platform/tray/NotifyIcon.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

namespace {

const QString kApp = QStringLiteral("Quorrel - Keyfold");

std::optional<QString>& commandLineOverride()
{
    static std::optional<QString> text;
    return text;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent)
{
    buildControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::setCommandLineText(std::optional<QString> text)
{
    commandLineOverride() = std::move(text);
}

QString frmMain::settingsSection() const
{
    return QStringLiteral("Accounts\\") + gUserName + QStringLiteral("\\Settings");
}

QString frmMain::panelText(int panel) const
{
    auto* label = sbStatusBar->findChild<QLabel*>(QStringLiteral("Panel%1").arg(panel));
    return label != nullptr ? label->text() : QString();
}

void frmMain::setPanelText(int panel, const QString& text)
{
    // While locked, the first panel keeps telling how to unlock: neither a record count nor a
    // file state shows through it.
    if (panel == 1 && m_bLocked && text != kLockedText) {
        return;
    }
    if (auto* label = sbStatusBar->findChild<QLabel*>(QStringLiteral("Panel%1").arg(panel))) {
        label->setText(text);
    }
}

float frmMain::leftTwips() const
{
    return static_cast<float>(x() * vb::kTwipsPerPixel);
}

float frmMain::topTwips() const
{
    return static_cast<float>(y() * vb::kTwipsPerPixel);
}

float frmMain::widthTwips() const
{
    return static_cast<float>(width() * vb::kTwipsPerPixel);
}

float frmMain::heightTwips() const
{
    return static_cast<float>(height() * vb::kTwipsPerPixel);
}

void frmMain::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        const QString section = settingsSection();
        auto setting = [&](const char* key, const QString& def) {
            return settings::GetSetting(kApp, section, QString::fromLatin1(key), def);
        };

        for (int b = 1; b <= 3; ++b) {
            CoolBar1->findChild<QFrame*>(QStringLiteral("Band%1").arg(b))->setProperty("Style", 1);
        }
        UpdateImage(imgTBclose, QStringLiteral("TB-DISABLED"));
        UpdateImage(imgTBsave, QStringLiteral("TB-DISABLED"));
        UpdateImage(imgTBprint, QStringLiteral("TB-DISABLED"));
        setPanelText(1, QStringLiteral("No DataBase Loaded:"));
        Module1::LoadResStrings(*this);

        move(vb::twipsToPixels(vb::cSng(setting("MainLeft", QStringLiteral("1000")))),
            vb::twipsToPixels(vb::cSng(setting("MainTop", QStringLiteral("1000")))));
        adjustSize();
        if (widthTwips() < 10455) {
            resize(vb::twipsToPixels(10455), height());
        }
        if (heightTwips() < 7845) {
            resize(width(), vb::twipsToPixels(7845));
        }
        // A place off every screen (a damaged setting, a screen since removed) would leave the
        // window out of reach: it opens at the first run's place instead.
        if (const QScreen* s = screen();
            s != nullptr && !s->availableVirtualGeometry().intersects(geometry())) {
            move(vb::twipsToPixels(1000), vb::twipsToPixels(1000));
        }

        const double gridWidth = DataGrid1->widthTwips();
        const QString colDefault = vb::cStr(gridWidth * 0.5 - 60.1);
        gPeekOn = vb::cBool(setting("PeekOn", QStringLiteral("True")));
        // A hand-edited time the options would not offer is taken at the nearest end they do
        // offer, so that a revealed field always masks again; a longer time-out is the user's
        // to choose.
        gPeekTime = std::clamp(vb::cInt(setting("PeekTime", QStringLiteral("10"))),
            int16_t(frmOptions::kPeekMin), int16_t(frmOptions::kPeekMax));
        gTimeoutOn = vb::cBool(setting("TimeoutOn", QStringLiteral("True")));
        gTimeoutTime = std::max(vb::cInt(setting("TimeoutTime", QStringLiteral("5"))),
            int16_t(frmOptions::kTimeoutMin));
        gKeepOnTop = vb::cBool(setting("KeepOnTop", QStringLiteral("False")));
        gAutoLoad = vb::cBool(setting("AutoLoad", QStringLiteral("True")));
        // A value the close writes back is marked once it has been read and converted.
        auto read = [&](const char* key) { m_settingsRead.insert(QString::fromLatin1(key)); };
        gDBpath = setting("DBpath", QString());
        read("DBpath");
        gEncryptFlag = vb::cBool(setting("Encrypt", QStringLiteral("False")));
        read("Encrypt");
        gColAccount = vb::cSng(setting("ColAccount", colDefault));
        read("ColAccount");
        gColURL = vb::cSng(setting("ColURL", colDefault));
        read("ColURL");

        // Widths that overflow the grid, or would hide a column, give way to two halves.
        if (double(gColAccount) + double(gColURL) > gridWidth - 299.1
            || !columnWidthShows(gColAccount) || !columnWidthShows(gColURL)) {
            gColAccount = static_cast<float>(gridWidth * 0.5 - 150.1);
            gColURL = gColAccount;
        }
        applyColumnWidths();

        gHideNewFileInfo = vb::cBool(setting("ShowNew", QStringLiteral("False")));
        read("ShowNew");
        gEmptyFile = vb::cBool(setting("EmptyFile", QStringLiteral("False")));
        read("EmptyFile");

        const QStringList parts = GetCommandLine(10);
        if (parts.size() > 1) {
            QString path = parts.mid(1).join(QString());
            path.replace(u'"', u' ');
            path = vb::trim(path);
            if (!path.isEmpty()) {
                // Stored for the next start, which may run in another working folder.
                gDBpath = QFileInfo(path).absoluteFilePath();
                DBconnect(QString());
            }
        } else if (gAutoLoad && !gDBpath.isEmpty()) {
            DBconnect(QString());
        }

        m_sHelpFile
            = QCoreApplication::applicationDirPath() + QStringLiteral("/QuorrelKeyfold.chm");
        removeExtraColumns();

        m_lTickMs = 60000;
        m_iTimeout = gTimeoutTime;
        m_iTimeLeft = m_iTimeout;

        UpdateTools(false);
        DisplayInfo();

        createTrayIcon();

        using modCatchwell::cwOPTION;
        cwOPTION(11, true);
        cwOPTION(12, false);
        cwOPTION(13, false);
        cwOPTION(14, false);
        cwOPTION(15, false);
        cwOPTION(16, QStringLiteral("PNV.LOG"));
        cwOPTION(22, false);
        cwOPTION(23, true);
        cwOPTION(25, 20);
        cwOPTION(26, QStringLiteral("PNV.LOG"));
        cwOPTION(27, true);

        UpdateImage(imgTBontop, gKeepOnTop ? QStringLiteral("LED-GUP") : QStringLiteral("LED-RUP"));
        InitTimer();
    });
    m_settingsAtLoad = carriedSettings();
}

QList<std::pair<QString, QString>> frmMain::carriedSettings() const
{
    return {{QStringLiteral("DBpath"), gDBpath},
            {QStringLiteral("Encrypt"), vb::boolText(gEncryptFlag)},
            {QStringLiteral("ColAccount"), vb::cStrSingle(gColAccount)},
            {QStringLiteral("ColURL"), vb::cStrSingle(gColURL)},
            {QStringLiteral("ShowNew"), vb::boolText(gHideNewFileInfo)},
            {QStringLiteral("EmptyFile"), vb::boolText(gEmptyFile)}};
}

bool frmMain::columnWidthShows(float twips) const
{
    // Narrower than the grid lets a user drag a column is as good as hidden.
    return twips >= DataGrid1->horizontalHeader()->minimumSectionSize() * vb::kTwipsPerPixel;
}

QStringList frmMain::GetCommandLine(int maxArgs)
{
    cw::Proc proc(kModule, QStringLiteral("Function GetCommandLine"));
    QStringList parts;
    proc.run([&] {
        QStringList result(maxArgs + 1);
        const QString text = commandLineOverride().has_value()
            ? *commandLineOverride()
            : QCoreApplication::arguments().mid(1).join(u' ');
        int count = 0;
        bool inPart = false;
        for (const QChar c : text) {
            if (c == u'\t') {
                inPart = false;
                continue;
            }
            if (!inPart) {
                if (count == maxArgs) {
                    break;
                }
                ++count;
                inPart = true;
            }
            result[count] += c;
        }
        parts = result.mid(0, count + 1);
    });
    return parts;
}

void frmMain::createTrayIcon()
{
    m_frmSysTray = std::make_unique<frmSysTray>();
    m_frmSysTray->AddMenuItem(QStringLiteral("&Open Pinvara"), QStringLiteral("open"), true);
    m_frmSysTray->AddMenuItem(QStringLiteral("-"), QString(), false);
    m_frmSysTray->AddMenuItem(QStringLiteral("&Close"), QStringLiteral("close"), false);
    m_frmSysTray->setToolTip(QStringLiteral("Pinvara"));
    m_frmSysTray->setIconHandle(tray::registerIcon(windowIcon()));
    connectTrayEvents();
}

void frmMain::Form_QueryUnload(bool& Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel);
    Q_UNUSED(UnloadMode);
    cw::Proc proc(kModule, QStringLiteral("Sub Form_QueryUnload"));
    proc.run([&] {
        if (m_frmSysTray) {
            m_frmSysTray->Unload();
            m_frmSysTray.reset();
        }
    });
}

void frmMain::Form_Unload(bool& Cancel)
{
    Q_UNUSED(Cancel);
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Unload"));
    proc.run([&] {
        if (gOpenPassword.isEmpty()) {
            CompactAndEncrypt(QString(), QString());
        }
        QList<QWidget*> others;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != this && w->isWindow() && qobject_cast<QMenu*>(w) == nullptr) {
                others.prepend(w);
            }
        }
        for (QWidget* w : others) {
            w->close();
        }
        if (!isMinimized() && !m_wasMinimised) {
            const QString section = settingsSection();
            auto save = [&](const char* key, const QString& value) {
                settings::SaveSetting(kApp, section, QString::fromLatin1(key), value);
            };
            save("MainLeft", vb::cStrSingle(leftTwips()));
            save("MainTop", vb::cStrSingle(topTwips()));
            save("MainWidth", vb::cStrSingle(widthTwips()));
            save("MainHeight", vb::cStrSingle(heightTwips()));
            // When the load stopped early, a value it never read is written back only if the
            // run has since set it: otherwise its start value would replace the stored one.
            const auto now = carriedSettings();
            for (qsizetype i = 0; i < now.size(); ++i) {
                const auto& [key, value] = now[i];
                if (m_settingsRead.contains(key) || value != m_settingsAtLoad.value(i).second) {
                    settings::SaveSetting(kApp, section, key, value);
                }
            }
        }
    });
}

void frmMain::Form_Activate()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Activate"));
}

void frmMain::Form_MouseDown(int, int, float, float)
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_MouseDown"));
}

void frmMain::Form_MouseMove(int, int, float, float)
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_MouseMove"));
}

void frmMain::mnuFileExit_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuFileExit_Click"));
    proc.run([&] { close(); });
}

void frmMain::mnuSysExit_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub mnuSysExit_Click"));
    proc.run([&] {
        bool cancel = false;
        Form_QueryUnload(cancel, 0);
        if (!cancel) {
            close();
        }
    });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!m_unloaded) {
        bool cancel = false;
        Form_QueryUnload(cancel, 0);
        if (cancel) {
            event->ignore();
            return;
        }
        Form_Unload(cancel);
        m_unloaded = true;
    }
    event->accept();
}

void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange) {
        m_wasMinimised = isMinimized();
    }
    // Another window taking the activation is the window's loss of the focus.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        Form_LostFocus();
    }
    QMainWindow::changeEvent(event);
}
