// The notice shown after a new data file was created; one instance that only hides itself.
#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmNewFile;
}
class QCheckBox;
class QPlainTextEdit;

class frmNewFile : public QDialog
{
    Q_OBJECT

public:
    /// The shared instance, loaded on first use; it keeps its state while hidden.
    static frmNewFile& instance();

    explicit frmNewFile(QWidget* parent = nullptr);
    ~frmNewFile() override;

    QPlainTextEdit* Text1() const;
    QCheckBox* Check1() const;

    void Check1_Click();
    void OKButton_Click();

    /// Escape and the window's close box hide the notice as OK does.
    void reject() override;

private:
    void Form_Load();

    std::unique_ptr<Ui::frmNewFile> ui;
};
