#include "mainwindow/SkinImage.h"

#include "platform/vb/Constants.h"

#include <QMouseEvent>
#include <QPainter>

namespace skin {

int button(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : b == Qt::MiddleButton ? 4 : 0;
}

int buttons(Qt::MouseButtons held)
{
    return (held & Qt::LeftButton ? 1 : 0) | (held & Qt::RightButton ? 2 : 0)
        | (held & Qt::MiddleButton ? 4 : 0);
}

int shift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

float twips(qreal pixels)
{
    return static_cast<float>(pixels * vb::kTwipsPerPixel);
}

} // namespace skin

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

void SkinImage::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    const QPointF at = event->position();
    emit MouseDown(skin::button(event->button()), skin::shift(event->modifiers()),
        skin::twips(at.x()), skin::twips(at.y()));
}

void SkinImage::mouseMoveEvent(QMouseEvent* event)
{
    // Taken here, so that a drag that began on the image never reaches the frames below.
    event->accept();
}

void SkinImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is one click: its second press and release do nothing, so a command does
    // not run twice and the keep-on-top lamp keeps showing the state its click set.
    m_pressed = false;
    m_doubleClicked = true;
    event->accept();
}

void SkinImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_doubleClicked) {
        m_doubleClicked = false;
        return;
    }
    const QPointF at = event->position();
    emit MouseUp(skin::button(event->button()), skin::shift(event->modifiers()),
        skin::twips(at.x()), skin::twips(at.y()));
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(at.toPoint());
    m_pressed = false;
    if (click) {
        emit Click();
    }
}
