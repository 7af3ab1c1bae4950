#include "startup/frmFirstUse.h"

#include "ui_frmFirstUse.h"

#include "errortrace/Proc.h"
#include "platform/vb/Constants.h"
#include "startup/Module1.h"
#include "startup/Pictures.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>

#include <cmath>

namespace {
const QString kForm = QStringLiteral("frmFirstUse");
}

frmFirstUse::frmFirstUse(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmFirstUse>())
{
    ui->setupUi(this);
    // The rounded outline replaces the frame.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, pictures::firstUseBackground(height()));
    setPalette(pal);
    ui->cmdContinue->setIcon(pictures::continueButton());
    connect(ui->cmdContinue, &QPushButton::clicked, this, &frmFirstUse::cmdContinue_Click);
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        move(s->availableGeometry().center() - rect().center());
    }
    Form_Load();
}

frmFirstUse::~frmFirstUse() = default;

void frmFirstUse::Form_Load()
{
    cw::Proc proc(kForm, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        const QString crlf = QStringLiteral("\r\n");
        QString advice =
            QStringLiteral("Please take care to enter a suitable User Name in the following Login screen.")
            + crlf + crlf
            + QStringLiteral("NOTE: A default user name has been entered but you can change this to something more suitable if you wish.")
            + crlf + crlf + crlf + QStringLiteral("Also take care to enter a strong (MASTER) password!")
            + crlf + QStringLiteral("Data files are encrypted using this Login information so") + crlf
            + QStringLiteral("it is worth paying attention to this detail!");
        if (Module1::CapsLockOn()) {
            advice += crlf + crlf + QStringLiteral("(Beware that your Caps key is ON!)");
        }
        ui->lblWarn->setText(QStringLiteral("Welcome to Pinvara !"));
        ui->lblWarn2->setText(advice);
        pCreateSkin();
    });
}

QRegion frmFirstUse::skinRegion(int width, int height)
{
    constexpr int kInset = 4;
    constexpr qreal kCorner = 50;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(kInset, kInset, width - kInset, height - kInset), kCorner / 2,
                           kCorner / 2);
    return QRegion(outline.toFillPolygon().toPolygon());
}

void frmFirstUse::pCreateSkin()
{
    cw::Proc proc(kForm, QStringLiteral("Sub pCreateSkin"));
    proc.run([&] {
        // Sizes go through twips and back, as the window's scale keeps them.
        const QScreen* s = screen();
        const double dpiX = s != nullptr ? s->logicalDotsPerInchX() : 96.0;
        const double dpiY = s != nullptr ? s->logicalDotsPerInchY() : 96.0;
        const long twipsPerPixelX = std::lround(1440.0 / dpiX);
        const long twipsPerPixelY = std::lround(1440.0 / dpiY);
        const long w = std::lround(double(width()) * twipsPerPixelX) / twipsPerPixelX;
        const long h = std::lround(double(height()) * twipsPerPixelY) / twipsPerPixelY;
        setMask(skinRegion(static_cast<int>(w), static_cast<int>(h)));
    });
}

void frmFirstUse::cmdContinue_Click()
{
    cw::Proc proc(kForm, QStringLiteral("Sub cmdContinue_Click"));
    proc.run([&] { close(); });
}
