#include "dialogs/frmRandomiser.h"
#include "ui_frmRandomiser.h"

#include "errortrace/Proc.h"
#include "platform/vb/Convert.h"

#include <QRandomGenerator>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kModule = u"frmRandomiser"_s;

enum Kind { AlphaNumeric = 0, Alpha = 1, Numeric = 2 };
enum Case { Mixed = 0, Upper = 1, Lower = 2 };

// Letters left out because they are easily mistaken for digits or for each other.
bool confusable(int c)
{
    return c == 'I' || c == 'i' || c == 'L' || c == 'l' || c == 'O' || c == 'o';
}

bool rejected(int c, int kind)
{
    return (kind == Numeric && c > '9') || (kind == Alpha && c >= '0' && c <= '9')
           || (c >= 58 && c <= 64) || (c >= 91 && c <= 96) || confusable(c);
}

// One character code from 48 to 122 that the kind allows, every allowed code equally likely.
int drawCode(int kind)
{
    // The system's cryptographic source, not a clock-seeded generator: a password must not be
    // reproducible from the moment Generate was clicked.
    QRandomGenerator* source = QRandomGenerator::system();
    int c = 0;
    do {
        // Seven random bits, redrawn above 74, give each of the 75 codes exactly equal odds.
        quint32 bits = 0;
        do {
            bits = source->generate() & 0x7FU;
        } while (bits >= 75U);
        c = 48 + static_cast<int>(bits);
    } while (rejected(c, kind));
    return c;
}

} // namespace

frmRandomiser::frmRandomiser(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmRandomiser>())
{
    ui->setupUi(this);
    for (int i = 0; i < 3; ++i) {
        connect(optType(i), &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                optType_Click(i);
            }
        });
    }
    connect(ui->cmdGen, &QPushButton::clicked, this, &frmRandomiser::cmdGen_Click);
    connect(ui->cmdAccept, &QPushButton::clicked, this, &frmRandomiser::cmdAccept_Click);
    connect(ui->cmdCancel, &QPushButton::clicked, this, &frmRandomiser::cmdCancel_Click);
    connect(ui->sldNumChars, &QSlider::valueChanged, this, &frmRandomiser::sldNumChars_Change);
    connect(ui->txtRandom, &QLineEdit::textChanged, this, &frmRandomiser::applyMaxLength);
    connect(ui->txtRandom, &QLineEdit::textChanged, this, &frmRandomiser::txtRandom_Change);
    Form_Load();
}

frmRandomiser::~frmRandomiser() = default;

QRadioButton* frmRandomiser::optType(int index) const
{
    switch (index) {
    case 0:
        return ui->optType_0;
    case 1:
        return ui->optType_1;
    case 2:
        return ui->optType_2;
    default:
        return nullptr;
    }
}

QRadioButton* frmRandomiser::optCase(int index) const
{
    switch (index) {
    case 0:
        return ui->optCase_0;
    case 1:
        return ui->optCase_1;
    case 2:
        return ui->optCase_2;
    default:
        return nullptr;
    }
}

void frmRandomiser::setMaxLength(int length)
{
    m_iMaxLength = length;
    applyMaxLength();
}

// A line edit cuts its text to a shorter maximum, but a lower limit must only stop typing:
// the box's own limit never drops below the length of the text it holds.
void frmRandomiser::applyMaxLength()
{
    const auto held = static_cast<int>(ui->txtRandom->text().size());
    ui->txtRandom->setMaxLength(std::max(m_iMaxLength, held));
}

void frmRandomiser::Form_Load()
{
    cw::Proc proc(kModule, u"Sub Form_Load"_s);
    proc.run([&] {
        setMaxLength(ui->sldNumChars->value());
        ui->txtRandom->setText(QString());
        if (ui->txtRandom->isVisibleTo(this)) {
            ui->txtRandom->setFocus();
        }
        DisplayNC();
    });
}

void frmRandomiser::cmdGen_Click()
{
    cw::Proc proc(kModule, u"Sub cmdGen_Click"_s);
    proc.run([&] {
        int kind = AlphaNumeric;
        if (ui->optType_1->isChecked()) {
            kind = Alpha;
        } else if (ui->optType_2->isChecked()) {
            kind = Numeric;
        }
        const int n = ui->sldNumChars->value();
        QString password;
        password.reserve(n);
        for (int i = 0; i < n; ++i) {
            password += QChar(drawCode(kind));
        }
        // The case applies after drawing, so both cases are drawn and then converted.
        if (ui->optCase_1->isChecked()) {
            password = password.toUpper();
        } else if (ui->optCase_2->isChecked()) {
            password = password.toLower();
        }
        ui->txtRandom->setText(password);
    });
}

void frmRandomiser::cmdAccept_Click()
{
    cw::Proc proc(kModule, u"Sub cmdAccept_Click"_s);
    proc.run([&] {
        m_bAccepted = true;
        hide();
    });
}

void frmRandomiser::cmdCancel_Click()
{
    cw::Proc proc(kModule, u"Sub cmdCancel_Click"_s);
    proc.run([&] {
        m_bAccepted = false;
        hide();
    });
}

void frmRandomiser::optType_Click(int index)
{
    cw::Proc proc(kModule, u"Sub optType_Click"_s);
    proc.run([&] {
        ui->frmCase->setEnabled(index != Numeric);
        for (int i = 0; i < 3; ++i) {
            optCase(i)->setEnabled(ui->frmCase->isEnabled());
        }
    });
}

void frmRandomiser::sldNumChars_Change()
{
    cw::Proc proc(kModule, u"Sub sldnumChars_Change"_s);
    proc.run([&] {
        DisplayNC();
        setMaxLength(ui->sldNumChars->value());
    });
}

void frmRandomiser::txtRandom_Change()
{
    cw::Proc proc(kModule, u"Sub txtRandom_Change"_s);
    proc.run([&] { ui->cmdAccept->setEnabled(!ui->txtRandom->text().isEmpty()); });
}

void frmRandomiser::DisplayNC()
{
    cw::Proc proc(kModule, u"Sub DisplayNC"_s);
    proc.run([&] { ui->lblPWC->setText(vb::str(ui->sldNumChars->value()) + u": Characters"_s); });
}
