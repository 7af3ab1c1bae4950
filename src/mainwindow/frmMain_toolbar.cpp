// The skinned image buttons and the state of the tools for the open data file.
#include "mainwindow/frmMain.h"

#include "errortrace/Proc.h"
#include "mainwindow/SkinImage.h"
#include "platform/vb/Error.h"
#include "startup/Module1.h"

#include <QFile>
#include <QPixmap>

void frmMain::UpdateTools(bool)
{
    cw::Proc proc(kModule, QStringLiteral("Sub UpdateTools"));
}

void frmMain::UpdateImage(SkinImage* image, const QString& pictureName)
{
    cw::Proc proc(kModule, QStringLiteral("Function UpdateImage"));
    proc.run([&] {
        QString file;
        if (!Module1::GetTempFile(QString(), QStringLiteral("pnv"), 0, file)) {
            return;
        }
        // The temporary file goes whatever happens to the picture.
        struct Remove
        {
            QString path;
            ~Remove() { QFile::remove(path); }
        } remove { file };
        if (Module1::SaveResItemToDisk(pictureName, QStringLiteral("CUSTOM"), file) != 0) {
            return;
        }
        QPixmap picture(file);
        if (picture.isNull()) {
            vb::raise(481);
        }
        image->setPicture(picture);
        image->setPictureName(pictureName);
    });
}
