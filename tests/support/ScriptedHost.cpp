#include "ScriptedHost.h"

#include "platform/host/QtHost.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPrinter>
#include <QStandardPaths>
#include <QUuid>

namespace {

// The scripted hosts alive, oldest first; the newest is the one installed.
QList<ScriptedHost*>& liveHosts()
{
    static QList<ScriptedHost*> hosts;
    return hosts;
}

// Takes the next scripted answer off its queue, running what was to happen while its dialog is
// up before the answer is given.
template <class Answer>
Answer takeNext(std::deque<std::pair<Answer, std::function<void()>>>& queue)
{
    auto [answer, whileUp] = std::move(queue.front());
    queue.pop_front();
    if (whileUp) {
        whileUp();
    }
    return answer;
}

} // namespace

ScriptedHost::ScriptedHost()
    : m_override(std::make_unique<host::HostOverride>(*this))
{
    liveHosts().append(this);
}

ScriptedHost::~ScriptedHost()
{
    // Printed documents are the test's to read while the host lives; none is left behind.
    for (const QString& path : std::as_const(m_printed)) {
        QFile::remove(path);
    }
    // A fixture replacing a host that a failed check left behind makes the new one before the
    // old one goes. The newer hosts are taken off and put back over what this one covered, so
    // the newest stays installed and the desktop host never comes back in its place.
    QList<ScriptedHost*>& hosts = liveHosts();
    const qsizetype at = hosts.indexOf(this);
    for (qsizetype i = hosts.size() - 1; i > at; --i) {
        hosts[i]->m_override.reset();
    }
    m_override.reset();
    hosts.removeAt(at);
    for (qsizetype i = at; i < hosts.size(); ++i) {
        hosts[i]->m_override = std::make_unique<host::HostOverride>(*hosts[i]);
    }
}

void ScriptedHost::answerNext(int result, std::function<void()> whileUp)
{
    m_answers.push_back({result, std::move(whileUp)});
}

void ScriptedHost::fileNext(const QString& path, int filterIndex, std::function<void()> whileUp)
{
    m_files.push_back({host::FileChoice{false, path, filterIndex}, std::move(whileUp)});
}

void ScriptedHost::cancelFileNext()
{
    m_files.push_back({host::FileChoice{}, {}});
}

void ScriptedHost::printerDialogNext(bool accept, std::function<void()> whileUp)
{
    m_printerDialogs.push_back({accept, std::move(whileUp)});
}

void ScriptedHost::onModal(const QString& objectName, std::function<void(QWidget&)> script)
{
    m_modals.push_back(ModalScript{objectName, std::move(script)});
}

void ScriptedHost::setKeyState(int virtualKey, short state)
{
    m_keyStates[virtualKey] = state;
}

QList<ScriptedHost::Entry> ScriptedHost::messages() const
{
    QList<Entry> out;
    for (const Entry& e : m_transcript) {
        if (e.kind == u"message") {
            out << e;
        }
    }
    return out;
}

QString ScriptedHost::drainReport() const
{
    QStringList problems = m_failures;
    if (!m_answers.empty()) {
        problems << QStringLiteral("%1 message answer(s) left over").arg(m_answers.size());
    }
    if (!m_files.empty()) {
        problems << QStringLiteral("%1 file answer(s) left over").arg(m_files.size());
    }
    if (!m_printerDialogs.empty()) {
        problems << QStringLiteral("%1 printer dialog answer(s) left over")
                        .arg(m_printerDialogs.size());
    }
    for (const ModalScript& m : m_modals) {
        problems << QStringLiteral("modal script for %1 never ran").arg(m.objectName);
    }
    return problems.join(u'\n');
}

int ScriptedHost::message(const host::MessageRequest& r)
{
    m_transcript << Entry{QStringLiteral("message"), r.title, r.prompt, r.style};
    if (m_answers.empty()) {
        m_failures << QStringLiteral("unscripted message box: [%1] %2").arg(r.title, r.prompt);
        // The default button answers, as Enter would.
        static const int results[6][3] = {{1, 1, 1}, {1, 2, 2}, {3, 4, 5},
                                          {6, 7, 2}, {6, 7, 7}, {4, 2, 2}};
        return results[qBound(0, r.buttons, 5)][qBound(0, r.defaultButton / 256, 2)];
    }
    return takeNext(m_answers);
}

void ScriptedHost::showModal(QWidget& form, QWidget*)
{
    m_transcript << Entry{QStringLiteral("modal"), form.windowTitle(), form.objectName(), 0};
    if (m_modals.empty() || m_modals.front().objectName != form.objectName()) {
        m_failures << QStringLiteral("unscripted modal window: %1").arg(form.objectName());
        form.hide();
        return;
    }
    ModalScript next = std::move(m_modals.front());
    m_modals.pop_front();
    form.show();
    next.script(form);
    if (form.isVisible()) {
        m_failures << QStringLiteral("modal window %1 did not hide itself").arg(form.objectName());
        form.hide();
    }
}

host::FileChoice ScriptedHost::chooseFile(const host::FileRequest& r)
{
    m_fileRequests << r;
    m_transcript << Entry{QStringLiteral("file"), r.title, r.filter, r.filterIndex};
    if (m_files.empty()) {
        m_failures << QStringLiteral("unscripted file dialog: %1").arg(r.title);
        return host::FileChoice{};
    }
    return takeNext(m_files);
}

void ScriptedHost::sendKeys(QWidget* target, const QString& keys)
{
    m_transcript << Entry{QStringLiteral("keys"), QString(), keys, 0};
    if (!m_applyKeys) {
        return;
    }
    QWidget* window = target != nullptr ? target->window() : QApplication::activeWindow();
    if (window == nullptr) {
        return;
    }
    for (const host::KeyStroke& s : host::parseKeys(keys)) {
        QWidget* focus = window->focusWidget() != nullptr ? window->focusWidget() : window;
        QKeyEvent press(QEvent::KeyPress, s.key, s.modifiers);
        QApplication::sendEvent(focus, &press);
        QKeyEvent release(QEvent::KeyRelease, s.key, s.modifiers);
        QApplication::sendEvent(focus, &release);
    }
}

short ScriptedHost::keyState(int virtualKey)
{
    return m_keyStates.value(virtualKey, 0);
}

void ScriptedHost::clipboardClear()
{
    m_clipboard.clear();
}

void ScriptedHost::clipboardSetText(const QString& text)
{
    m_clipboard = text;
}

QString ScriptedHost::clipboardText()
{
    return m_clipboard;
}

std::unique_ptr<QPrinter> ScriptedHost::defaultPrinter()
{
    if (m_printer == Printer::None) {
        m_transcript << Entry{QStringLiteral("printer"), QString(), QString(), 0};
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    const QString folder = m_printer == Printer::Refusing ? QStringLiteral("/nonexistent-folder")
                                                          : QDir::tempPath();
    const QString path = QDir(folder).filePath(
        QStringLiteral("print-%1.pdf").arg(QUuid::createUuid().toString(QUuid::Id128)));
    printer->setOutputFileName(path);
    m_printed << path;
    m_transcript << Entry{QStringLiteral("printer"), QString(), path, 0};
    if (m_printerSetup) {
        m_printerSetup(*printer);
    }
    return printer;
}

bool ScriptedHost::choosePrinter(const host::PrinterRequest& r)
{
    m_transcript << Entry{QStringLiteral("printer dialog"), QString(), QString(), r.flags};
    if (m_printerDialogs.empty()) {
        m_failures << QStringLiteral("unscripted printer dialog");
        return false;
    }
    return takeNext(m_printerDialogs);
}
