#include "platform/host/PasswordMask.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>

namespace host {

namespace {

class AsteriskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return u'*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

QStyle* newAsteriskStyle()
{
    return new AsteriskStyle;
}

void maskWithAsterisks(QLineEdit& box)
{
    // One style serves every box; it goes with the application (a widget never owns its style).
    static QPointer<QStyle> shared;
    if (shared.isNull()) {
        shared = newAsteriskStyle();
        shared->setParent(qApp);
    }
    box.setStyle(shared);
}

} // namespace host
