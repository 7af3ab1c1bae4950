#include "platform/adoui/KeyPress.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace adoui {

namespace {

class KeyPressHook : public QObject
{
public:
    KeyPressHook(QWidget* box, std::function<void(int&)> handler)
        : QObject(box)
        , m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        int code = keyAscii(static_cast<QKeyEvent*>(event));
        if (code < 0) {
            return false;
        }
        m_handler(code);
        return code == 0;
    }

private:
    std::function<void(int&)> m_handler;
};

} // namespace

int keyAscii(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() != 1 || text[0].isSurrogate()) {
        return -1;
    }
    return text[0].unicode();
}

void onKeyPress(QWidget* box, std::function<void(int&)> handler)
{
    box->installEventFilter(new KeyPressHook(box, std::move(handler)));
}

} // namespace adoui
