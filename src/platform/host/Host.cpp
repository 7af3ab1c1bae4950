#include "platform/host/Host.h"

#include "platform/host/QtHost.h"
#include "platform/vb/Error.h"

namespace host {

namespace {

Host*& current()
{
    static Host* instance = nullptr;
    return instance;
}

} // namespace

Host& host()
{
    if (current() == nullptr) {
        static QtHost qtHost;
        current() = &qtHost;
    }
    return *current();
}

HostOverride::HostOverride(Host& replacement)
    : m_previous(current())
{
    current() = &replacement;
}

HostOverride::~HostOverride()
{
    current() = m_previous;
}

MessageRequest makeRequest(const QString& prompt, int style, const QString& title)
{
    MessageRequest r;
    r.prompt = prompt;
    r.title = title.isEmpty() ? kAppTitle : title;
    r.style = style;
    r.buttons = style & 0x0F;
    r.icon = style & 0x70;
    r.defaultButton = style & 0x300;
    return r;
}

int MsgBox(const QString& prompt, int style, const QString& title)
{
    return host().message(makeRequest(prompt, style, title));
}

} // namespace host

namespace host {

FileChoice ShowFileDialog(const FileRequest& request)
{
    FileChoice choice = host().chooseFile(request);
    if (choice.cancelled && request.cancelError) {
        vb::raise(32755, QStringLiteral("CommonDialog"));
    }
    return choice;
}

bool ShowPrinterDialog(const PrinterRequest& request)
{
    const bool chosen = host().choosePrinter(request);
    if (!chosen && request.cancelError) {
        vb::raise(32755, QStringLiteral("CommonDialog"));
    }
    return chosen;
}

} // namespace host
