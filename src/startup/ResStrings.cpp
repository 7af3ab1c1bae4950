// The string table and LoadResStrings.
#include "startup/Module1.h"

#include "errortrace/Proc.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Error.h"
#include "resources/Resources.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>

#include <algorithm>

namespace Module1 {

namespace {

// strings.txt holds one entry a line: the id, one blank, the text in double quotes. The quotes
// keep leading and trailing blanks; the text runs to the last quote of the line.
QHash<int, QString> readTable()
{
    resources::initResources();
    QHash<int, QString> table;
    QFile file(QStringLiteral(":/strings.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return table;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const qsizetype open = line.indexOf(u'"');
        const qsizetype close = line.lastIndexOf(u'"');
        if (line.startsWith(u'#') || open < 1 || close <= open) {
            continue;
        }
        bool ok = false;
        const int id = line.left(open).trimmed().toInt(&ok);
        if (ok) {
            table.insert(id, line.mid(open + 1, close - open - 1));
        }
    }
    return table;
}

const QHash<int, QString>& table()
{
    static const QHash<int, QString> loaded = readTable();
    return loaded;
}

QString tagOf(const QObject& o)
{
    return o.property("Tag").toString();
}

// The lenient conversion, rounded as the platform rounds to an integer.
double leadingNumber(const QString& text)
{
    return vb::roundHalfEven(vb::val(text));
}

// A control's caption, for the kinds that have one; others fail like a missing property.
void setCaption(QObject& o, const QString& text)
{
    if (auto* b = qobject_cast<QAbstractButton*>(&o)) {
        b->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(&o)) {
        g->setTitle(text);
    } else if (auto* l = qobject_cast<QLabel*>(&o)) {
        l->setText(text);
    } else {
        vb::raise(438);
    }
}

void setToolTip(QObject& o, const QString& text)
{
    if (auto* w = qobject_cast<QWidget*>(&o)) {
        w->setToolTip(text);
    } else if (auto* a = qobject_cast<QAction*>(&o)) {
        a->setToolTip(text);
    } else {
        vb::raise(438);
    }
}

QString toolTipOf(const QObject& o)
{
    if (auto* w = qobject_cast<const QWidget*>(&o)) {
        return w->toolTip();
    }
    return o.property("toolTip").toString();
}

bool isMenuItem(const QAction& a)
{
    const QObjectList owners = a.associatedObjects();
    return std::any_of(owners.begin(), owners.end(), [](QObject* w) {
        return qobject_cast<QMenu*>(w) != nullptr || qobject_cast<QMenuBar*>(w) != nullptr;
    });
}

// Controls of this window only: a dialog parented to it keeps its own strings (menus are
// popup windows of their own but belong to the window).
bool onWindow(const QObject& o, const QWidget& frm)
{
    for (const QObject* p = o.parent(); p != nullptr; p = p->parent()) {
        if (p == &frm) {
            return true;
        }
        if (auto* w = qobject_cast<const QWidget*>(p); w != nullptr && w->isWindow()
                                                            && qobject_cast<const QMenu*>(w) == nullptr) {
            return false;
        }
    }
    return false;
}

void loadHeaders(QAbstractItemModel& model, cw::ResumeNext& next)
{
    for (int c = 0; c < model.columnCount(); ++c) {
        next([&] {
            const QString tag = model.headerData(c, Qt::Horizontal, Qt::UserRole).toString();
            model.setHeaderData(c, Qt::Horizontal, LoadResString(vb::cInt(tag)));
        });
    }
}

} // namespace

QString LoadResString(int id)
{
    const auto it = table().constFind(id);
    if (it == table().constEnd()) {
        vb::raise(326, {},
                  QStringLiteral("Resource with identifier '%1' not found").arg(id));
    }
    return *it;
}

void LoadResStrings(QWidget& frm)
{
    cw::Proc proc(kModule, QStringLiteral("Sub LoadResStrings"));
    cw::ResumeNext next;
    next([&] { frm.setWindowTitle(LoadResString(vb::cInt(tagOf(frm)))); });
    // The table holds no font (ids 20 and 21), so the window keeps its designed font.
    next([&] {
        QFont font = frm.font();
        font.setFamily(LoadResString(20));
        frm.setFont(font);
    });
    next([&] {
        QFont font = frm.font();
        font.setPointSize(vb::cInt(LoadResString(21)));
        frm.setFont(font);
    });

    const QList<QObject*> controls = frm.findChildren<QObject*>();
    for (QObject* o : controls) {
        if (!onWindow(*o, frm)) {
            continue;
        }
        if (auto* label = qobject_cast<QLabel*>(o)) {
            next([&] { label->setText(LoadResString(vb::cInt(tagOf(*label)))); });
        } else if (auto* action = qobject_cast<QAction*>(o)) {
            if (isMenuItem(*action)) {
                next([&] { action->setText(LoadResString(vb::cInt(action->text()))); });
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(o)) {
            for (int i = 0; i < tabs->count(); ++i) {
                next([&] { tabs->setTabText(i, LoadResString(vb::cInt(tabs->tabData(i).toString()))); });
                next([&] { tabs->setTabToolTip(i, LoadResString(vb::cInt(tabs->tabToolTip(i)))); });
            }
        } else if (auto* bar = qobject_cast<QToolBar*>(o)) {
            const QList<QAction*> buttons = bar->actions();
            for (QAction* b : buttons) {
                next([&] { b->setToolTip(LoadResString(vb::cInt(b->toolTip()))); });
            }
        } else if (auto* tree = qobject_cast<QTreeWidget*>(o)) {
            loadHeaders(*tree->model(), next);
        } else if (auto* grid = qobject_cast<QTableWidget*>(o)) {
            loadHeaders(*grid->model(), next);
        } else if (qobject_cast<QWidget*>(o) != nullptr) {
            next([&] {
                const double n = leadingNumber(tagOf(*o));
                if (n > 0) {
                    setCaption(*o, LoadResString(vb::cInt(n)));
                }
            });
            next([&] {
                const double n = leadingNumber(toolTipOf(*o));
                if (n >= 1) {
                    setToolTip(*o, LoadResString(vb::cInt(n)));
                }
            });
        }
    }
}

} // namespace Module1
