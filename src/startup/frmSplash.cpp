#include "startup/frmSplash.h"

#include "errortrace/Proc.h"
#include "startup/Module1.h"
#include "startup/Pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(pictures::splash());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    setFixedSize(Image1->pixmap().size());
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        move(s->availableGeometry().center() - rect().center());
    }
    Form_Load();
}

void frmSplash::Form_Load()
{
    cw::Proc proc(QStringLiteral("frmSplash"), QStringLiteral("Sub Form_Load"));
    proc.run([&] { Module1::LoadResStrings(*this); });
}
