#include "dialogs/frmNewFile.h"
#include "ui_frmNewFile.h"

#include "errortrace/Proc.h"
#include "startup/Globals.h"

#include <QPointer>

namespace {

const QString kModule = QStringLiteral("frmNewFile");

QPointer<frmNewFile>& shared()
{
    static QPointer<frmNewFile> form;
    return form;
}

} // namespace

frmNewFile& frmNewFile::instance()
{
    if (shared().isNull()) {
        shared() = new frmNewFile;
    }
    return *shared();
}

frmNewFile::frmNewFile(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::frmNewFile>())
{
    ui->setupUi(this);
    connect(ui->Check1, &QCheckBox::toggled, this, &frmNewFile::Check1_Click);
    connect(ui->OKButton, &QPushButton::clicked, this, &frmNewFile::OKButton_Click);
    Form_Load();
}

frmNewFile::~frmNewFile() = default;

QPlainTextEdit* frmNewFile::Text1() const
{
    return ui->Text1;
}

QCheckBox* frmNewFile::Check1() const
{
    return ui->Check1;
}

void frmNewFile::Form_Load()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Form_Load"));
    proc.run([&] {
        // A text box on this desktop breaks lines at a line feed alone.
        ui->Text1->setPlainText(QStringLiteral("INFORMATION\n\n"
                                               "A new Data File has been created and it\n"
                                               "is ready for input.\n\n"
                                               "Click the ADD NEW button to create\n"
                                               "its first password record."));
    });
}

void frmNewFile::Check1_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub Check1_Click"));
    proc.run([&] { gHideNewFileInfo = ui->Check1->isChecked(); });
}

void frmNewFile::OKButton_Click()
{
    cw::Proc proc(kModule, QStringLiteral("Sub OKButton_Click"));
    proc.run([&] { hide(); });
}

void frmNewFile::reject()
{
    hide();
}
