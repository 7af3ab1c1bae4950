#include "mainwindow/SkinImage.h"

#include <QMouseEvent>
#include <QPainter>

SkinImage::SkinImage(QWidget* parent)
    : QWidget(parent)
{
}

void SkinImage::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void SkinImage::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull()) {
        return;
    }
    QPainter p(this);
    p.drawPixmap(rect(), m_picture);
}

namespace {

int vbButton(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0;
}

} // namespace

void SkinImage::mousePressEvent(QMouseEvent* event)
{
    m_pressed = true;
    emit MouseDown(vbButton(event->button()));
}

void SkinImage::mouseReleaseEvent(QMouseEvent* event)
{
    emit MouseUp(vbButton(event->button()));
    const bool inside = rect().contains(event->position().toPoint());
    if (m_pressed && inside && event->button() == Qt::LeftButton) {
        m_pressed = false;
        emit Click();
    }
    m_pressed = false;
}
