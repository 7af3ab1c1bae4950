// The password generator: a random password of the chosen kind, case and length.
#pragma once

#include <QDialog>

#include <memory>

class QRadioButton;

namespace Ui {
class frmRandomiser;
}

class frmRandomiser : public QDialog
{
    Q_OBJECT

public:
    explicit frmRandomiser(QWidget* parent = nullptr);
    ~frmRandomiser() override;

    /// True when the dialog was left by Accept, False by Cancel; the caller resets it.
    bool Accepted() const { return m_bAccepted; }
    void setAccepted(bool accepted) { m_bAccepted = accepted; }

    /// The option button arrays (0 to 2).
    QRadioButton* optType(int index) const;
    QRadioButton* optCase(int index) const;

    /// The text box's maximum length as set; a longer text already in the box is kept.
    int txtRandomMaxLength() const { return m_iMaxLength; }

    void cmdGen_Click();
    void cmdAccept_Click();
    void cmdCancel_Click();
    void optType_Click(int index);
    void sldNumChars_Change();
    void txtRandom_Change();

private:
    void Form_Load();
    void DisplayNC();
    void setMaxLength(int length);
    void applyMaxLength();

    std::unique_ptr<Ui::frmRandomiser> ui;
    bool m_bAccepted = false;
    int m_iMaxLength = 0;
};
