// The desktop implementation of the host seam, on Qt widgets.
#pragma once

#include "platform/host/Host.h"

#include <QList>
#include <QPrinter>
#include <Qt>

namespace host {

class QtHost : public Host
{
public:
    int message(const MessageRequest& request) override;
    void showModal(QWidget& form, QWidget* owner) override;
    FileChoice chooseFile(const FileRequest& request) override;
    void sendKeys(QWidget* target, const QString& keys) override;
    short keyState(int virtualKey) override;
    void clipboardClear() override;
    void clipboardSetText(const QString& text) override;
    QString clipboardText() override;
    std::unique_ptr<QPrinter> defaultPrinter() override;
    bool choosePrinter(const PrinterRequest& request) override;

private:
    /// The printer last chosen in the printer dialog; the desktop's default until then.
    std::unique_ptr<QPrinter> m_chosen;
};

/// "desc|*.a|desc2|*.b" as a Qt name filter list ("desc (*.a);;desc2 (*.b)").
QString qtNameFilters(const QString& filter);

/// One key stroke of a key text.
struct KeyStroke
{
    int key;
    Qt::KeyboardModifiers modifiers;
};

/// The key strokes of a key text: "{tab}", "{home}", "{end}", each optionally preceded by "+"
/// (Shift). Other characters are ignored.
QList<KeyStroke> parseKeys(const QString& keys);

/// Posts the key strokes of a key text ("{tab}", "{home}+{end}") to the focus widget of target's
/// window; they take effect once the caller has returned to the event loop.
void postKeys(QWidget* target, const QString& keys);

} // namespace host
