#include "dialogs/frmSysTray.h"

#include "errortrace/Proc.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QStyle>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kModule = u"fSysTray"_s;

// The file description from the program's version information; the icon shows it until the
// owner sets a tip of its own.
const QString kFileDescription = u"A P.I.N. (Personal Identification Number) Control Utility."_s;

// The tip field: the text and its NUL, space-filled to the field's length. A longer text is
// cut to leave room for the NUL, so the field always ends where the text does.
QString tipField(const QString& text)
{
    QString field = text.left(tray::kTipLength - 1) + QChar(0);
    return field.leftJustified(tray::kTipLength, u' ');
}

// The window's own icon: the program's icon, or a stock one when the program has none, so
// the notification area never gets an empty picture.
QIcon windowIcon()
{
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull() && QApplication::style() != nullptr) {
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    }
    return icon;
}

// A caption of "-" makes the item a separator line, drawn without the caption's text.
void setCaption(QAction& item, const QString& caption)
{
    const bool separator = caption == u"-"_s;
    item.setProperty("Caption", caption);
    item.setText(separator ? QString() : caption);
    item.setSeparator(separator);
}

QString captionOf(const QAction& item)
{
    return item.property("Caption").toString();
}

} // namespace

frmSysTray::frmSysTray(QObject* parent)
    : QObject(parent)
{
    setObjectName(u"frmSysTray"_s);
    m_mnuPopup.setObjectName(u"mnuPopup"_s);
    m_mnuPopup.setTitle(u"&Popup"_s);
    mnuSysTray.append(newItem());
    Form_Load();
}

frmSysTray::~frmSysTray()
{
    Unload();
}

QString frmSysTray::caption()
{
    return u"Sys Tray Interface"_s;
}

void frmSysTray::Form_Load()
{
    cw::Proc proc(kModule, u"Sub Form_Load"_s);
    proc.run([&] {
        const uint32_t ownIcon = tray::registerIcon(windowIcon());
        m_nid.hWnd = this;
        m_nid.uID = ownIcon;
        m_nid.uFlags = tray::NIF_MESSAGE | tray::NIF_ICON | tray::NIF_TIP;
        m_nid.uCallbackMessage = tray::WM_MOUSEMOVE;
        m_nid.hIcon = ownIcon;
        m_nid.szTip = tipField(kFileDescription);
        m_nid.cbSize = 88;
        m_bLoaded = true;
        tray::Shell_NotifyIcon(tray::NIM_ADD, m_nid);
    });
}

void frmSysTray::Unload()
{
    if (m_bLoaded) {
        Form_QueryUnload();
    }
}

void frmSysTray::Form_QueryUnload()
{
    cw::Proc proc(kModule, u"Sub Form_QueryUnload"_s);
    proc.run([&] {
        m_bLoaded = false;
        tray::Shell_NotifyIcon(tray::NIM_DELETE, m_nid);
    });
}

QString frmSysTray::ToolTip() const
{
    cw::Proc proc(kModule, u"Property (Get) ToolTip"_s);
    QString result;
    proc.run([&] { result = tray::tipText(m_nid.szTip); });
    return result;
}

void frmSysTray::setToolTip(const QString& text)
{
    cw::Proc proc(kModule, u"Property (Let) ToolTip"_s);
    proc.run([&] {
        // Only an unchanged text of the field's full length compares equal, so nearly every
        // assignment is sent.
        if (m_nid.szTip != text + QChar(0)) {
            m_nid.szTip = tipField(text);
            m_nid.uFlags = tray::NIF_TIP;
            tray::Shell_NotifyIcon(tray::NIM_MODIFY, m_nid);
        }
    });
}

uint32_t frmSysTray::IconHandle() const
{
    cw::Proc proc(kModule, u"Property (Get) IconHandle"_s);
    uint32_t result = 0;
    proc.run([&] { result = m_nid.hIcon; });
    return result;
}

void frmSysTray::setIconHandle(uint32_t handle)
{
    cw::Proc proc(kModule, u"Property (Let) IconHandle"_s);
    proc.run([&] {
        if (handle != m_nid.hIcon) {
            m_nid.hIcon = handle;
            m_nid.uFlags = tray::NIF_ICON;
            tray::Shell_NotifyIcon(tray::NIM_MODIFY, m_nid);
        }
    });
}

QAction* frmSysTray::newItem()
{
    const int index = static_cast<int>(mnuSysTray.size());
    auto* item = new QAction(&m_mnuPopup);
    item->setObjectName(u"mnuSysTray_"_s + QString::number(index));
    m_mnuPopup.addAction(item);
    // Items never move: removing one copies the later captions down and drops the last
    // element, so an item's index is fixed when it is made.
    connect(item, &QAction::triggered, this, [this, index] { mnuSysTray_Click(index); });
    return item;
}

int16_t frmSysTray::AddMenuItem(const QString& caption, const QString& key, bool isDefault)
{
    cw::Proc proc(kModule, u"Function AddMenuItem"_s);
    int16_t result = 0;
    proc.run([&] {
        int index = 0;
        if (!m_bFirstItem) {
            m_bFirstItem = true;
        } else {
            index = static_cast<int>(mnuSysTray.size());
            if (index > 32767) {
                vb::raise(6);
            }
            mnuSysTray.append(newItem());
        }
        QAction& item = *mnuSysTray.at(index);
        item.setVisible(true);
        item.setData(key);
        setCaption(item, caption);
        if (isDefault) {
            m_lDefaultIndex = index;
        }
        result = static_cast<int16_t>(index);
    });
    return result;
}

bool frmSysTray::ValidIndex(int32_t index) const
{
    cw::Proc proc(kModule, u"Function ValidIndex"_s);
    bool result = false;
    proc.run([&] { result = index >= 0 && index < mnuSysTray.size(); });
    return result;
}

void frmSysTray::EnableMenuItem(int32_t index, bool enabled)
{
    cw::Proc proc(kModule, u"Sub EnableMenuItem"_s);
    proc.run([&] {
        if (ValidIndex(index)) {
            mnuSysTray.at(index)->setEnabled(enabled);
        }
    });
}

int32_t frmSysTray::RemoveMenuItem(int32_t index)
{
    cw::Proc proc(kModule, u"Function RemoveMenuItem"_s);
    proc.run([&] {
        if (!ValidIndex(index)) {
            return;
        }
        // Element 0 is never destroyed: it only loses its caption.
        if (index == 0) {
            setCaption(*mnuSysTray.at(0), QString());
            return;
        }
        for (qsizetype i = index + 1; i < mnuSysTray.size(); ++i) {
            setCaption(*mnuSysTray.at(i - 1), captionOf(*mnuSysTray.at(i)));
            mnuSysTray.at(i - 1)->setData(mnuSysTray.at(i)->data());
        }
        delete mnuSysTray.takeLast();
    });
    return 0;
}

int32_t frmSysTray::DefaultMenuIndex() const
{
    cw::Proc proc(kModule, u"Property (Get) DefaultMenuIndex"_s);
    int32_t result = 0;
    proc.run([&] { result = m_lDefaultIndex; });
    return result;
}

void frmSysTray::setDefaultMenuIndex(int32_t index)
{
    cw::Proc proc(kModule, u"Property (Let) DefaultMenuIndex"_s);
    proc.run([&] { m_lDefaultIndex = ValidIndex(index) ? index : 0; });
}

QString frmSysTray::menuTag(int index) const
{
    const QAction* item = menuItem(index);
    return item == nullptr ? QString() : item->data().toString();
}

void frmSysTray::ShowMenu()
{
    cw::Proc proc(kModule, u"Function ShowMenu"_s);
    proc.run([&] {
        // A default index left past the end by a removal shows no item in bold.
        m_mnuPopup.setDefaultAction(ValidIndex(m_lDefaultIndex) ? mnuSysTray.at(m_lDefaultIndex)
                                                                : nullptr);
        // The menu window takes the foreground itself, so it closes when the user clicks
        // elsewhere.
        tray::popupMenu(m_mnuPopup, QCursor::pos());
    });
}

void frmSysTray::windowMessage(uint32_t message, uint32_t /*wParam*/, uint32_t lParam)
{
    if (message == tray::WM_MOUSEMOVE) {
        // The x position of a mouse move is the signed low word of lParam, in pixels; the
        // window measures in twips.
        const auto x = static_cast<int16_t>(lParam & 0xFFFFu);
        Form_MouseMove(0, 0, static_cast<float>(x) * vb::kTwipsPerPixel, 0.0F);
    }
}

void frmSysTray::Form_MouseMove(int /*button*/, int /*shift*/, float x, float /*y*/)
{
    cw::Proc proc(kModule, u"Sub Form_MouseMove"_s);
    proc.run([&] {
        const auto message = static_cast<long>(std::lround(x / vb::kTwipsPerPixel));
        switch (message) {
        case tray::WM_MOUSEMOVE:
            emit SysTrayMouseMove();
            break;
        case tray::WM_LBUTTONDOWN:
            emit SysTrayMouseDown(1);
            break;
        case tray::WM_LBUTTONUP:
            emit SysTrayMouseUp(1);
            break;
        case tray::WM_LBUTTONDBLCLK:
            emit SysTrayDoubleClick(1);
            break;
        case tray::WM_RBUTTONDOWN:
            emit SysTrayMouseDown(2);
            break;
        case tray::WM_RBUTTONUP:
            emit SysTrayMouseUp(2);
            break;
        case tray::WM_RBUTTONDBLCLK:
            emit SysTrayDoubleClick(2);
            break;
        default:
            break;
        }
    });
}

void frmSysTray::mnuSysTray_Click(int index)
{
    cw::Proc proc(kModule, u"Sub mnuSysTray_Click"_s);
    proc.run([&] { emit MenuClick(index, menuTag(index)); });
}
