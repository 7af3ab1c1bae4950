#include "TestMain.h"
#include "dialogs/frmSysTray.h"
#include "errortrace/modCatchwell.h"
#include "platform/tray/NotifyIcon.h"
#include "platform/vb/Constants.h"

#include <QAction>
#include <QPixmap>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kDescription = u"A P.I.N. (Personal Identification Number) Control Utility."_s;

// Every event the component raises, in order, as short texts.
void watch(frmSysTray& tray, QStringList& events)
{
    QObject::connect(&tray, &frmSysTray::SysTrayMouseDown, &tray,
                     [&events](int b) { events << u"down%1"_s.arg(b); });
    QObject::connect(&tray, &frmSysTray::SysTrayMouseUp, &tray,
                     [&events](int b) { events << u"up%1"_s.arg(b); });
    QObject::connect(&tray, &frmSysTray::SysTrayMouseMove, &tray,
                     [&events] { events << u"move"_s; });
    QObject::connect(&tray, &frmSysTray::SysTrayDoubleClick, &tray,
                     [&events](int b) { events << u"double%1"_s.arg(b); });
    QObject::connect(&tray, &frmSysTray::MenuClick, &tray, [&events](int i, const QString& key) {
        events << u"menu%1:%2"_s.arg(i).arg(key);
    });
}

// The menu as the main window fills it.
void fillAsOwner(frmSysTray& tray)
{
    QCOMPARE(tray.AddMenuItem(u"&Open Pinvara"_s, u"open"_s, true), int16_t(0));
    QCOMPARE(tray.AddMenuItem(u"-"_s, QString(), false), int16_t(1));
    QCOMPARE(tray.AddMenuItem(u"&Close"_s, u"close"_s, false), int16_t(2));
}

uint32_t newIcon(Qt::GlobalColor colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return tray::registerIcon(QIcon(pixmap));
}

} // namespace

class tst_frmSysTray : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadAndUnload();
    void menuAsOwnerFillsIt();
    void defaultIndex_data();
    void defaultIndex();
    void toolTip_data();
    void toolTip();
    void unchangedFullTipSendsNothing();
    void iconHandle();
    void removeMenuItem();
    void enableMenuItem();
    void callbacks_data();
    void callbacks();
    void mouseMoveInTwips();
    void menuChoice();
    void rightClickShowsMenu();
    void traceStaysBalanced();
};

void tst_frmSysTray::init()
{
    tray::clearRecordedCalls();
}

// The icon was not added at load with the file description, or stayed behind after unload.
void tst_frmSysTray::loadAndUnload()
{
    auto component = std::make_unique<frmSysTray>();
    QCOMPARE(frmSysTray::caption(), u"Sys Tray Interface"_s);
    QCOMPARE(tray::recordedCalls().size(), 1);
    const tray::NotifyCall add = tray::recordedCalls().at(0);
    QCOMPARE(add.message, tray::NIM_ADD);
    QCOMPARE(add.flags, 7U);
    QCOMPARE(add.tip, kDescription);
    const tray::NotifyIconData& nid = component->iconRecord();
    QCOMPARE(nid.cbSize, 88U);
    QCOMPARE(nid.uCallbackMessage, 0x200U);
    QCOMPARE(nid.uID, nid.hIcon);
    QCOMPARE(add.icon, nid.hIcon);
    QCOMPARE(nid.szTip.size(), 64);
    QCOMPARE(component->ToolTip(), kDescription);
    QCOMPARE(component->menuCount(), 1);

    component->Unload();
    component.reset();
    QCOMPARE(tray::recordedCalls().size(), 2);
    QCOMPARE(tray::recordedCalls().at(1).message, tray::NIM_DELETE);
}

// Items got the wrong indices, keys or separator, or the first item was not the default.
void tst_frmSysTray::menuAsOwnerFillsIt()
{
    frmSysTray component;
    fillAsOwner(component);
    QCOMPARE(component.menuCount(), 3);
    QCOMPARE(component.menuItem(0)->text(), u"&Open Pinvara"_s);
    QCOMPARE(component.menuTag(0), u"open"_s);
    QVERIFY(component.menuItem(1)->isSeparator());
    QVERIFY(!component.menuItem(2)->isSeparator());
    QCOMPARE(component.menuTag(2), u"close"_s);
    QCOMPARE(component.DefaultMenuIndex(), 0);

    frmSysTray plain;
    plain.AddMenuItem(u"A"_s, u"a"_s, false);
    plain.AddMenuItem(u"B"_s, u"b"_s, true);
    plain.AddMenuItem(u"C"_s, u"c"_s, true);
    QCOMPARE(plain.DefaultMenuIndex(), 2);
}

void tst_frmSysTray::defaultIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("-1") << -1 << 0;
    QTest::newRow("past end") << 3 << 0;
    QTest::newRow("far past end") << 1000 << 0;
    QTest::newRow("last") << 2 << 2;
    QTest::newRow("middle") << 1 << 1;
}

// An index outside the menu was kept as the default item.
void tst_frmSysTray::defaultIndex()
{
    QFETCH(int, index);
    QFETCH(int, expected);
    frmSysTray component;
    fillAsOwner(component);
    component.setDefaultMenuIndex(1);
    component.setDefaultMenuIndex(index);
    QCOMPARE(component.DefaultMenuIndex(), expected);
}

void tst_frmSysTray::toolTip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const QString x63(63, u'x');
    QTest::newRow("short") << u"Pinvara"_s << u"Pinvara"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("trailing blanks kept") << u"a  "_s << u"a  "_s;
    QTest::newRow("63") << x63 << x63;
    QTest::newRow("64") << x63 + u'y' << x63;
    QTest::newRow("100") << QString(100, u'z') << QString(63, u'z');
}

// The tip read back with its NUL or filling blanks, kept more than 63 characters, lost its
// closing NUL, or was not sent to the icon.
void tst_frmSysTray::toolTip()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    frmSysTray component;
    tray::clearRecordedCalls();
    component.setToolTip(text);
    QCOMPARE(component.ToolTip(), expected);
    const QString& field = component.iconRecord().szTip;
    QCOMPARE(field.size(), 64);
    QCOMPARE(field.at(expected.size()), QChar(0));
    QCOMPARE(field.mid(expected.size() + 1), QString(63 - expected.size(), u' '));
    QCOMPARE(tray::recordedCalls().size(), 1);
    QCOMPARE(tray::recordedCalls().at(0).message, tray::NIM_MODIFY);
    QCOMPARE(tray::recordedCalls().at(0).flags, tray::NIF_TIP);
    QCOMPARE(tray::recordedCalls().at(0).tip, expected);
}

// The unchanged-tip test compared the wrong things: only a 63-character text fills the
// field exactly and is then not sent again; a shorter one is always sent.
void tst_frmSysTray::unchangedFullTipSendsNothing()
{
    frmSysTray component;
    component.setToolTip(QString(63, u'q'));
    tray::clearRecordedCalls();
    component.setToolTip(QString(63, u'q'));
    QCOMPARE(tray::recordedCalls().size(), 0);
    component.setToolTip(u"Pinvara"_s);
    component.setToolTip(u"Pinvara"_s);
    QCOMPARE(tray::recordedCalls().size(), 2);
}

// A new picture was not sent, an unchanged one was sent again, or the registry handed the
// same icon two handles.
void tst_frmSysTray::iconHandle()
{
    frmSysTray component;
    const uint32_t red = newIcon(Qt::red);
    QVERIFY(red != 0);
    QVERIFY(red != component.IconHandle());
    QCOMPARE(tray::iconOf(red).pixmap(16).toImage().pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(tray::registerIcon(tray::iconOf(red)), red);
    QCOMPARE(tray::registerIcon(QIcon()), 0U);
    QVERIFY(tray::iconOf(0).isNull());

    tray::clearRecordedCalls();
    component.setIconHandle(red);
    QCOMPARE(component.IconHandle(), red);
    QCOMPARE(tray::recordedCalls().size(), 1);
    QCOMPARE(tray::recordedCalls().at(0).message, tray::NIM_MODIFY);
    QCOMPARE(tray::recordedCalls().at(0).flags, tray::NIF_ICON);
    QCOMPARE(tray::recordedCalls().at(0).icon, red);
    component.setIconHandle(red);
    QCOMPARE(tray::recordedCalls().size(), 1);
}

// Removing shifted the wrong items, destroyed element 0, or acted on an index outside the menu.
void tst_frmSysTray::removeMenuItem()
{
    frmSysTray first;
    fillAsOwner(first);
    QCOMPARE(first.RemoveMenuItem(0), 0);
    QCOMPARE(first.menuCount(), 3);
    QCOMPARE(first.menuItem(0)->text(), QString());
    QCOMPARE(first.menuTag(0), u"open"_s);
    QVERIFY(first.menuItem(0)->isVisible());

    frmSysTray middle;
    fillAsOwner(middle);
    QCOMPARE(middle.RemoveMenuItem(1), 0);
    QCOMPARE(middle.menuCount(), 2);
    QCOMPARE(middle.menuItem(1)->text(), u"&Close"_s);
    QCOMPARE(middle.menuTag(1), u"close"_s);
    QVERIFY(!middle.menuItem(1)->isSeparator());
    QCOMPARE(middle.RemoveMenuItem(2), 0);
    QCOMPARE(middle.RemoveMenuItem(-1), 0);
    QCOMPARE(middle.menuCount(), 2);

    // A default left past the end is not adjusted, and the menu then shows no bold item.
    frmSysTray last;
    fillAsOwner(last);
    last.setDefaultMenuIndex(2);
    last.RemoveMenuItem(2);
    QCOMPARE(last.DefaultMenuIndex(), 2);
    tray::MenuOverride chooser([](QMenu& menu) {
        [&] { QCOMPARE(menu.defaultAction(), nullptr); }();
        return static_cast<QAction*>(nullptr);
    });
    last.ShowMenu();
}

// Enabling touched an item outside the menu or the wrong item.
void tst_frmSysTray::enableMenuItem()
{
    frmSysTray component;
    fillAsOwner(component);
    component.EnableMenuItem(2, false);
    QVERIFY(!component.menuItem(2)->isEnabled());
    QVERIFY(component.menuItem(0)->isEnabled());
    component.EnableMenuItem(3, false);
    component.EnableMenuItem(-1, false);
    component.EnableMenuItem(2, true);
    QVERIFY(component.menuItem(2)->isEnabled());
}

void tst_frmSysTray::callbacks_data()
{
    QTest::addColumn<uint32_t>("mouse");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("0x200 move") << 0x200U << QStringList{u"move"_s};
    QTest::newRow("0x201 left down") << 0x201U << QStringList{u"down1"_s};
    QTest::newRow("0x202 left up") << 0x202U << QStringList{u"up1"_s};
    QTest::newRow("0x203 left double") << 0x203U << QStringList{u"double1"_s};
    QTest::newRow("0x204 right down") << 0x204U << QStringList{u"down2"_s};
    QTest::newRow("0x205 right up") << 0x205U << QStringList{u"up2"_s};
    QTest::newRow("0x206 right double") << 0x206U << QStringList{u"double2"_s};
    QTest::newRow("0x207 middle down") << 0x207U << QStringList{};
    QTest::newRow("0x208 middle up") << 0x208U << QStringList{};
    QTest::newRow("0x209 middle double") << 0x209U << QStringList{};
    QTest::newRow("0x20A wheel") << 0x20AU << QStringList{};
    QTest::newRow("0x1FF") << 0x1FFU << QStringList{};
}

// A mouse message raised the wrong event, or one that means nothing here raised one.
void tst_frmSysTray::callbacks()
{
    QFETCH(uint32_t, mouse);
    QFETCH(QStringList, events);
    frmSysTray component;
    QStringList seen;
    watch(component, seen);
    component.windowMessage(tray::WM_MOUSEMOVE, 0, mouse);
    QCOMPARE(seen, events);
    // Other window messages are not the icon's callback.
    component.windowMessage(0x201, 0, mouse);
    QCOMPARE(seen, events);
}

// The position was not converted from twips before decoding, or a fraction broke the match.
void tst_frmSysTray::mouseMoveInTwips()
{
    frmSysTray component;
    QStringList seen;
    watch(component, seen);
    component.Form_MouseMove(0, 0, 0x204 * vb::kTwipsPerPixel + 7.0F, 0);
    component.Form_MouseMove(0, 0, 0x205 * vb::kTwipsPerPixel - 7.0F, 0);
    component.Form_MouseMove(0, 0, 0x204, 0);
    QCOMPARE(seen, (QStringList{u"down2"_s, u"up2"_s}));
}

// A click on the icon did not become the press and release (or double click) the owner
// expects, in that order.
void tst_frmSysTray::rightClickShowsMenu()
{
    frmSysTray component;
    fillAsOwner(component);
    QStringList seen;
    watch(component, seen);

    tray::activate(&component, tray::WM_MOUSEMOVE, QSystemTrayIcon::Trigger);
    QCOMPARE(seen, (QStringList{u"down1"_s, u"up1"_s}));
    seen.clear();
    tray::activate(&component, tray::WM_MOUSEMOVE, QSystemTrayIcon::DoubleClick);
    QCOMPARE(seen, (QStringList{u"double1"_s, u"up1"_s}));
    seen.clear();
    tray::activate(&component, tray::WM_MOUSEMOVE, QSystemTrayIcon::MiddleClick);
    QCOMPARE(seen, QStringList{});

    // The owner opens the menu on the right button's press, as the main window does.
    connect(&component, &frmSysTray::SysTrayMouseDown, &component, [&component](int button) {
        if (button == 2) {
            component.ShowMenu();
        }
    });
    tray::MenuOverride chooser([&component](QMenu&) { return component.menuItem(2); });
    tray::activate(&component, tray::WM_MOUSEMOVE, QSystemTrayIcon::Context);
    QCOMPARE(seen, (QStringList{u"down2"_s, u"menu2:close"_s, u"up2"_s}));
}

// A chosen item raised no event, the wrong index or key, or the default item was not bold.
void tst_frmSysTray::menuChoice()
{
    frmSysTray component;
    fillAsOwner(component);
    QStringList seen;
    watch(component, seen);
    QAction* shownDefault = nullptr;
    {
        tray::MenuOverride chooser([&](QMenu& menu) {
            shownDefault = menu.defaultAction();
            return component.menuItem(0);
        });
        component.ShowMenu();
    }
    QCOMPARE(shownDefault, component.menuItem(0));
    {
        tray::MenuOverride chooser([](QMenu&) { return static_cast<QAction*>(nullptr); });
        component.ShowMenu();
    }
    component.mnuSysTray_Click(2);
    QCOMPARE(seen, (QStringList{u"menu0:open"_s, u"menu2:close"_s}));
}

// A member left the procedure trace deeper or shallower than it found it.
void tst_frmSysTray::traceStaysBalanced()
{
    const long depth = modCatchwell::cwTraceDepth();
    {
        frmSysTray component;
        fillAsOwner(component);
        component.setToolTip(u"Pinvara"_s);
        component.setIconHandle(newIcon(Qt::blue));
        component.setDefaultMenuIndex(7);
        component.RemoveMenuItem(1);
        component.windowMessage(tray::WM_MOUSEMOVE, 0, 0x201);
        QCOMPARE(modCatchwell::cwTraceDepth(), depth);
    }
    QCOMPARE(modCatchwell::cwTraceDepth(), depth);
}

PINVARA_TEST_MAIN(tst_frmSysTray)
#include "tst_frmSysTray.moc"
