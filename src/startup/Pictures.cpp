#include "startup/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pictures {

namespace {

const QColor kDeep(20, 48, 96);
const QColor kLight(120, 170, 230);

QIcon symbol(const std::function<void(QPainter&)>& draw)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return QIcon(pm);
}

} // namespace

QPixmap splash()
{
    QPixmap pm(420, 240);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, pm.height());
    sky.setColorAt(0, kLight);
    sky.setColorAt(1, kDeep);
    p.fillRect(pm.rect(), sky);

    // A key: ring, shaft and two teeth.
    p.setPen(QPen(QColor(240, 200, 60), 10, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(90, 120), 34, 34);
    p.drawLine(QPointF(124, 120), QPointF(230, 120));
    p.drawLine(QPointF(200, 120), QPointF(200, 145));
    p.drawLine(QPointF(222, 120), QPointF(222, 140));

    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans Serif"), 30, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(180, 40, 230, 60), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Pinvara"));
    QFont line(QStringLiteral("Sans Serif"), 11);
    p.setFont(line);
    p.drawText(QRect(180, 170, 230, 40), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Accounts, passwords and PINs"));
    p.setPen(QPen(Qt::white, 2));
    p.drawRect(pm.rect().adjusted(1, 1, -2, -2));
    return pm;
}

QIcon okButton()
{
    return symbol([](QPainter& p) {
        p.setPen(QPen(QColor(30, 140, 60), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(6, 17);
        tick.lineTo(13, 25);
        tick.lineTo(26, 8);
        p.drawPath(tick);
    });
}

QIcon cancelButton()
{
    return symbol([](QPainter& p) {
        p.setPen(QPen(QColor(190, 40, 40), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(8, 8, 24, 24);
        p.drawLine(24, 8, 8, 24);
    });
}

QIcon continueButton()
{
    return symbol([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kDeep);
        p.drawPolygon(QPolygonF({QPointF(8, 6), QPointF(26, 16), QPointF(8, 26)}));
    });
}

QBrush firstUseBackground(int height)
{
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, QColor(250, 246, 225));
    g.setColorAt(1, QColor(214, 226, 245));
    return QBrush(g);
}

} // namespace pictures
