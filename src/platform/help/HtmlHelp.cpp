#include "platform/help/HtmlHelp.h"

#include "platform/help/HelpWindow.h"
#include "platform/vb/Error.h"

#include <QPointer>

namespace help {

namespace {

QPointer<HelpWindow>& current()
{
    static QPointer<HelpWindow> window;
    return window;
}

// The numbers a caller sees: a file that cannot be shown, and a call the viewer cannot do.
constexpr long kBadFile = 53;
constexpr long kBadCall = 5;

} // namespace

HelpWindow* openHelpWindow()
{
    return current().data();
}

HelpWindow* HtmlHelp(QWidget* caller, const QString& helpFile, int command, uintptr_t data)
{
    if (command != HH_DISPLAY_TOPIC) {
        vb::raise(kBadCall, {}, QStringLiteral("The help viewer has no command %1.").arg(command));
    }
    HelpWindow* window = current();
    // One window for one file and owner; anything else gets a window of its own.
    if (window != nullptr
        && (window->fileName() != helpFile || window->parentWidget() != caller)) {
        window->close();
        window = nullptr;
    }
    std::unique_ptr<HelpWindow> made;
    if (window == nullptr) {
        auto file = std::make_unique<ChmFile>();
        if (!file->open(helpFile)) {
            vb::raise(kBadFile, {}, file->error());
        }
        made = std::make_unique<HelpWindow>(std::move(file), caller);
        window = made.get();
    }
    QString page = window->file().defaultTopic();
    if (data != 0) {
        page = QString::fromUtf8(reinterpret_cast<const char*>(data));
        if (!page.startsWith(u'/')) {
            page.prepend(u'/');
        }
    }
    if (!window->file().contains(HelpWindow::topicUrl(page).path())) {
        vb::raise(kBadFile, {},
            QStringLiteral("The help file \"%1\" has no page \"%2\".").arg(helpFile, page));
    }
    if (made) {
        current() = made.release();
    }
    window->showTopic(page);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace help
