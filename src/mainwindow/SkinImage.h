// An image control of the main window: shows a picture and reports the mouse as the window's
// handlers expect it (button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; X and Y
// in twips within the image).
#pragma once

#include <QPixmap>
#include <QWidget>

class SkinImage : public QWidget
{
    Q_OBJECT

public:
    explicit SkinImage(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return m_picture; }
    /// The name of the picture last loaded into the image.
    QString pictureName() const { return m_pictureName; }
    void setPictureName(const QString& name) { m_pictureName = name; }

signals:
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);
    /// A left-button press and release over the image.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QString m_pictureName;
    bool m_pressed = false;
    bool m_doubleClicked = false;
};

namespace skin {

/// The mouse button of an event as a Button argument (1 left, 2 right, 4 middle).
int button(Qt::MouseButton b);
/// The buttons held as a Button argument of a move (the sum of the buttons).
int buttons(Qt::MouseButtons held);
/// The modifier keys as a Shift argument (1 Shift, 2 Ctrl, 4 Alt).
int shift(Qt::KeyboardModifiers modifiers);
/// A mouse position in pixels as an X or Y argument (twips).
float twips(qreal pixels);

} // namespace skin
