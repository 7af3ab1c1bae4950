#include "platform/adoui/KeyPress.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace adoui {

namespace {

// The text of a key that types no character. X11 gives the Delete key the text DEL, though it
// deletes as Backspace does rather than type.
bool typesNothing(const QString& text)
{
    return text.isEmpty() || text == QStringView(u"\x7f");
}

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
        if (event->type() == QEvent::InputMethod) {
            // Text composed by a dead key or an input method arrives here, not as key presses;
            // each of its characters is offered to the handler like a typed one.
            auto* im = static_cast<QInputMethodEvent*>(event);
            const QString kept = passing(im->commitString());
            if (kept != im->commitString()) {
                im->setCommitString(kept, im->replacementStart(), im->replacementLength());
            }
            return false;
        }
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        auto* key = static_cast<QKeyEvent*>(event);
        int code = keyAscii(key);
        if (code >= 0) {
            m_handler(code);
            return code == 0;
        }
        // A key typing several characters at once goes through whole or not at all.
        return !typesNothing(key->text()) && passing(key->text()) != key->text();
    }

private:
    /// The characters of `text` that the handler lets through.
    QString passing(const QString& text)
    {
        QString kept;
        for (const QChar c : text) {
            int code = c.unicode();
            m_handler(code);
            if (code != 0) {
                kept += c;
            }
        }
        return kept;
    }

    std::function<void(int&)> m_handler;
};

} // namespace

int keyAscii(const QKeyEvent* event)
{
    const QString text = event->text();
    if (typesNothing(text) || text.size() != 1 || text[0].isSurrogate()) {
        return -1;
    }
    return text[0].unicode();
}

void onKeyPress(QWidget* box, std::function<void(int&)> handler)
{
    box->installEventFilter(new KeyPressHook(box, std::move(handler)));
}

} // namespace adoui
