// The skinned image buttons, the cool bar's drag, and the state of the tools for the open
// data file.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"
#include "mainwindow/SkinImage.h"
#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Error.h"
#include "platform/tray/NotifyIcon.h"
#include "resources/Resources.h"
#include "startup/Globals.h"
#include "startup/Module1.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolBar>

namespace {

// One image button: its picture base name (released base + "UP", pressed base + "DOWN") and
// what its click runs. The click calls the command's handler itself, whatever the state of the
// command's own button or menu item; only the image's own state can stop it.
struct SkinButton
{
    const char* image;
    const char* base;  // the keep-on-top indicator has none: its pictures follow the option
    void (*click)(frmMain&);
};

const SkinButton kButtons[] = {
    { "imgAccount", "PEEK", [](frmMain& w) { w.cmdAccount_Click(); } },
    { "imgName", "PEEK", [](frmMain& w) { w.cmdName_Click(); } },
    { "imgURL", "PEEK", [](frmMain& w) { w.cmdURL_Click(); } },
    { "imgHint", "PEEK", [](frmMain& w) { w.cmdHint_Click(); } },
    { "imgInfo", "PEEK", [](frmMain& w) { w.cmdInfo_Click(); } },
    { "imgSP", "PEEK", [](frmMain& w) { w.cmdSP_Click(); } },
    { "imgKey1", "PEEK", [](frmMain& w) { w.cmdKey1_Click(); } },
    { "imgKey2", "PEEK", [](frmMain& w) { w.cmdKey2_Click(); } },
    { "imgKey3", "PEEK", [](frmMain& w) { w.cmdKey3_Click(); } },
    { "imgKey4", "PEEK", [](frmMain& w) { w.cmdKey4_Click(); } },
    { "imgRP", "YELLOW", [](frmMain& w) { w.cmdRP_Click(); } },
    { "imgGoUrl", "BLUE", [](frmMain& w) { w.cmdGoUrl_Click(); } },
    { "imgAddNew", "PLUS", [](frmMain& w) { w.cmdAdd_Click(); } },
    { "imgDelete", "X", [](frmMain& w) { w.cmdClear_Click(); } },
    { "imgFilter1", "V", [](frmMain& w) { w.cmdFilter_Click(); } },
    { "imgFilter2", "V", [](frmMain& w) { w.cmdFilter2_Click(); } },
    { "imgClearFilter", "CLR", [](frmMain& w) { w.cmdClearFilter_Click(); } },
    { "imgTBopen", "OPEN", [](frmMain& w) { w.mnuFileOpen_Click(); } },
    { "imgTBclose", "TB-CLOSE", [](frmMain& w) { w.mnuFileClose_Click(); } },
    { "imgTBnew", "TB-NEW", [](frmMain& w) { w.mnuNewDB_Click(); } },
    { "imgTBunlock", "TB-UNLOCK", [](frmMain& w) { w.mnuOpenSpecial_Click(); } },
    { "imgTBsave", "SAVE",
        [](frmMain& w) {
            gDialogOpen = true;
            w.mnuFileSaveAs_Click();
            gDialogOpen = false;
        } },
    { "imgTBprint", "PRINT", [](frmMain& w) { w.mnuFilePrint_Click(); } },
    { "imgTBoptions", "TB-OPTIONS", [](frmMain& w) { w.mnuViewOptions_Click(); } },
    { "imgTBhelp", "TB-HELP", [](frmMain& w) { w.mnuHelpContents_Click(); } },
    { "imgTBinfo", "TB-INFO", [](frmMain& w) { w.mnuHelpAbout_Click(); } },
    { "imgTBontop", nullptr, [](frmMain&) { gKeepOnTop = !gKeepOnTop; } },
    // Hidden in the notification area, the window counts as having a dialog up: keep-on-top
    // must not raise it. The tray icon brings it back. A desktop without a notification area
    // would leave a hidden window out of reach, so there it is minimised instead.
    { "imgTBmin", "MIN",
        [](frmMain& w) {
            if (!tray::available()) {
                w.showMinimized();
                return;
            }
            gDialogOpen = true;
            w.hide();
        } },
    { "imgTBexit", "EXIT", [](frmMain& w) { w.close(); } },
};

const SkinButton& buttonOf(const SkinImage* image)
{
    for (const SkinButton& b : kButtons) {
        if (image->objectName() == QLatin1String(b.image)) {
            return b;
        }
    }
    vb::raise(91);  // not one of the image buttons
}

QString procedure(const SkinImage* image, const char* event)
{
    return QStringLiteral("Sub ") + image->objectName() + u'_' + QLatin1String(event);
}

// The cool bar's own mouse events (the parts its bands' frames leave uncovered) go to the
// window's handlers; the frames carried in the bands keep theirs.
class CoolBarMouse : public QObject
{
public:
    CoolBarMouse(frmMain& window)
        : QObject(&window)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
            && type != QEvent::MouseButtonRelease) {
            return false;
        }
        if (watched != m_window.CoolBar1) {
            return true;  // a band's frame: not the cool bar's
        }
        const auto* e = static_cast<QMouseEvent*>(event);
        const int shift = skin::shift(e->modifiers());
        const float x = skin::twips(e->position().x());
        const float y = skin::twips(e->position().y());
        if (type == QEvent::MouseButtonPress) {
            m_window.CoolBar1_MouseDown(skin::button(e->button()), shift, x, y);
        } else if (type == QEvent::MouseMove) {
            m_window.CoolBar1_MouseMove(skin::buttons(e->buttons()), shift, x, y);
        } else if (e->button() == Qt::LeftButton) {
            m_window.CoolBar1_Click();
        }
        return true;
    }

private:
    frmMain& m_window;
};

template <class T>
T* named(const QObject* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (found == nullptr) {
        vb::raise(91);
    }
    return found;
}

} // namespace

void frmMain::connectImages()
{
    resources::initResources();
    for (const SkinButton& b : kButtons) {
        auto* image = named<SkinImage>(this, QLatin1String(b.image));
        // The pictures the images are created with; later swaps go through UpdateImage.
        const QString design = image->objectName() == u"imgAddNew"
            ? QStringLiteral("design/ADDNEW")
            : b.base == nullptr ? QStringLiteral("LED-GUP")
                                : QLatin1String(b.base) + QStringLiteral("UP");
        image->setPicture(QPixmap(QStringLiteral(":/") + design));
        image->setPictureName(design);
        connect(image, &SkinImage::MouseDown, this,
            [this, image](int button, int shift, float x, float y) {
                img_MouseDown(image, button, shift, x, y);
            });
        connect(image, &SkinImage::MouseUp, this,
            [this, image](int button, int shift, float x, float y) {
                img_MouseUp(image, button, shift, x, y);
            });
        connect(image, &SkinImage::Click, this, [this, image] { img_Click(image); });
    }

    auto* mouse = new CoolBarMouse(*this);
    CoolBar1->installEventFilter(mouse);
    fraToolbar->installEventFilter(mouse);
    Frame4->installEventFilter(mouse);
    // The band's decoration is no frame: the cool bar can be grabbed through it.
    if (auto* banner = CoolBar1->findChild<SkinImage*>(QStringLiteral("Image1"))) {
        banner->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
}

void frmMain::img_MouseDown(SkinImage* image, int, int, float, float)
{
    cw::Proc proc(kModule, procedure(image, "MouseDown"));
    proc.run([&] {
        const SkinButton& b = buttonOf(image);
        if (b.base == nullptr) {
            // The indicator shows its present state pressed.
            UpdateImage(
                image, gKeepOnTop ? QStringLiteral("LED-GDOWN") : QStringLiteral("LED-RDOWN"));
        } else {
            UpdateImage(image, QLatin1String(b.base) + QStringLiteral("DOWN"));
        }
    });
}

void frmMain::img_MouseUp(SkinImage* image, int, int, float, float)
{
    cw::Proc proc(kModule, procedure(image, "MouseUp"));
    proc.run([&] {
        const SkinButton& b = buttonOf(image);
        if (b.base == nullptr) {
            // Released, the indicator already shows the state its click is about to set.
            UpdateImage(image, gKeepOnTop ? QStringLiteral("LED-RUP") : QStringLiteral("LED-GUP"));
        } else {
            UpdateImage(image, QLatin1String(b.base) + QStringLiteral("UP"));
        }
    });
}

void frmMain::img_Click(SkinImage* image)
{
    cw::Proc proc(kModule, procedure(image, "Click"));
    proc.run([&] { buttonOf(image).click(*this); });
}

void frmMain::CoolBar1_MouseDown(int, int, float X, float Y)
{
    cw::Proc proc(kModule, QStringLiteral("Sub CoolBar1_MouseDown"));
    proc.run([&] {
        m_sngDragX = X;
        m_sngDragY = Y;
    });
}

void frmMain::CoolBar1_MouseMove(int Button, int, float X, float Y)
{
    cw::Proc proc(kModule, QStringLiteral("Sub CoolBar1_MouseMove"));
    proc.run([&] {
        // The left button alone drags; with another button held as well nothing moves.
        if (Button != 1) {
            return;
        }
        move(vb::twipsToPixels(leftTwips() - (m_sngDragX - X)), y());
        move(x(), vb::twipsToPixels(topTwips() - (m_sngDragY - Y)));
    });
}

void frmMain::CoolBar1_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub CoolBar1_Click"));
}

void frmMain::UpdateTools(bool pictures)
{
    cw::Proc proc(kModule, QStringLiteral("Sub UpdateTools"));
    proc.run([&] {
        const bool open = dataFileOpen();
        const bool records = open && Adodc1->Recordset()->RecordCount() >= 1;

        auto enable = [this](const char* name, bool on) {
            QObject* item = toolItem(name);
            if (auto* action = qobject_cast<QAction*>(item)) {
                action->setEnabled(on);
            } else if (auto* widget = qobject_cast<QWidget*>(item)) {
                widget->setEnabled(on);
            } else {
                vb::raise(438);
            }
        };
        // The hidden standard toolbar's buttons, found by their keys.
        auto button = [this](const char* key, bool on) {
            const QList<QAction*> actions = tbToolBar->actions();
            for (QAction* a : actions) {
                if (a->objectName() == QLatin1String(key)) {
                    a->setEnabled(on);
                    return;
                }
            }
            vb::raise(35601);  // element not found
        };

        enable("mnuDeleteEntry", records);
        enable("cmdClear", records);
        enable("cmdRP", records);
        Adodc1->setEnabled(records);
        enable("mnuAddEntry", open);
        enable("cmdAdd", open);
        enable("mnuFileOpen", !open);
        enable("mnuOpenSpecial", !open);
        enable("mnuFileClose", open);
        enable("mnuFileSaveAs", open);
        enable("mnuFilePrint", open);
        enable("mnuNewDB", !open);
        button("SaveAs", open);
        imgTBsave->setEnabled(open);
        button("Print", open);
        imgTBprint->setEnabled(open);
        imgTBclose->setEnabled(open);
        button("Open", !open);
        imgTBopen->setEnabled(!open);
        imgTBunlock->setEnabled(!open);
        imgTBnew->setEnabled(!open);

        if (pictures) {
            const QString disabled = QStringLiteral("TB-DISABLED");
            if (open) {
                UpdateImage(imgTBsave, QStringLiteral("SAVEUP"));
                UpdateImage(imgTBprint, QStringLiteral("PRINTUP"));
                UpdateImage(imgTBclose, QStringLiteral("TB-CLOSEUP"));
                UpdateImage(imgTBopen, disabled);
                UpdateImage(imgTBunlock, disabled);
                UpdateImage(imgTBnew, disabled);
            } else {
                UpdateImage(imgTBsave, disabled);
                UpdateImage(imgTBprint, disabled);
                UpdateImage(imgTBclose, disabled);
                UpdateImage(imgTBopen, QStringLiteral("OPENUP"));
                UpdateImage(imgTBunlock, QStringLiteral("TB-UNLOCKUP"));
                UpdateImage(imgTBnew, QStringLiteral("TB-NEWUP"));
            }
        }

        Frame2->setEnabled(open);
        // The lock keeps the filter hidden, whatever happens to the file meanwhile.
        Frame3->setVisible(open && !m_bLocked);

        for (const char* name : { "txtAccount", "cmdAccount", "txtURL", "cmdURL", "cmdGoUrl",
                 "txtID", "cmdName", "txtPW", "cmdSP", "txtHint", "cmdHint", "txtINFO", "cmdInfo",
                 "txtKey1Label", "txtKey1", "cmdKey1", "txtKey2Label", "txtKey2", "cmdKey2",
                 "txtKey3Label", "txtKey3", "cmdKey3", "txtKey4Label", "txtKey4", "cmdKey4" }) {
            enable(name, records);
        }
    });
}

QObject* frmMain::toolItem(const char* name)
{
    // The tools' state is set on every change of a bound box: searching the window's tree for
    // some forty names each time would cost more than everything else the change does.
    const QString key = QLatin1String(name);
    QPointer<QObject>& item = m_toolItems[key];
    if (item.isNull()) {
        item = named<QObject>(this, key);
    }
    return item;
}

void frmMain::UpdateImage(SkinImage* image, const QString& pictureName)
{
    cw::Proc proc(kModule, QStringLiteral("Function UpdateImage"));
    proc.run([&] {
        if (!Module1::GetTempFile(QString(), QStringLiteral("pnv"), 0, gTempImageFile)) {
            return;
        }
        // Written, loaded and deleted at once: the file never outlives the swap, whatever
        // happens to the picture.
        struct Remove
        {
            QString path;
            ~Remove() { QFile::remove(path); }
        } remove { gTempImageFile };
        const QString type = QStringLiteral("CUSTOM");
        if (Module1::SaveResItemToDisk(pictureName, type, gTempImageFile) != 0) {
            return;
        }
        QPixmap picture(gTempImageFile);
        if (picture.isNull()) {
            vb::raise(481);  // invalid picture
        }
        image->setPicture(picture);
        image->setPictureName(pictureName);
    });
}
