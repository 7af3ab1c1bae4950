// An image control of the main window: shows a picture and reports presses and clicks.
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
    void MouseDown(int button);
    void MouseUp(int button);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    QString m_pictureName;
    bool m_pressed = false;
};
