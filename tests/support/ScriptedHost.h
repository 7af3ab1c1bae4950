// A host for tests: answers come from a script, and every interaction is recorded.
#pragma once

#include "platform/host/Host.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

class ScriptedHost : public host::Host
{
public:
    struct Entry
    {
        QString kind;  ///< "message", "modal", "file", "keys", "printer", "printer dialog"
        QString title;
        QString text;
        int style = 0;
    };

    ScriptedHost();
    ~ScriptedHost() override;

    // Script
    /// The next message box's answer; whileUp runs while that box is up.
    void answerNext(int result, std::function<void()> whileUp = {});
    /// The next file dialog's answer; whileUp runs while that dialog is up.
    void fileNext(const QString& path, int filterIndex = 1, std::function<void()> whileUp = {});
    void cancelFileNext();
    /// The printer dialog's next answer: true prints, false cancels; whileUp runs while that
    /// dialog is up.
    void printerDialogNext(bool accept, std::function<void()> whileUp = {});
    /// Sets up every printer handed out from now on (page size, margins ...).
    void setPrinterSetup(std::function<void(QPrinter&)> setup)
    {
        m_printerSetup = std::move(setup);
    }
    /// Runs the script when a window of that objectName is shown modally. The script runs at
    /// once, inside showModal; afterwards the window must have hidden itself.
    void onModal(const QString& objectName, std::function<void(QWidget&)> script);
    template <class Form>
    void onModal(const QString& objectName, std::function<void(Form&)> script)
    {
        onModal(objectName, [script](QWidget& w) { script(*qobject_cast<Form*>(&w)); });
    }
    void setKeyState(int virtualKey, short state);
    void setCapsLock(bool on) { setKeyState(20, on ? 1 : 0); }
    /// The default printer handed out: a PDF file (the default), none at all, or one whose
    /// jobs cannot start.
    enum class Printer { Pdf, None, Refusing };
    void setPrinter(Printer kind) { m_printer = kind; }
    /// When false, sendKeys is recorded only; by default the keys are also applied at once.
    void setApplyKeys(bool apply) { m_applyKeys = apply; }

    // Read back
    const QList<Entry>& transcript() const { return m_transcript; }
    QList<Entry> messages() const;
    QList<host::FileRequest> fileRequests() const { return m_fileRequests; }
    QStringList failures() const { return m_failures; }
    QStringList printedFiles() const { return m_printed; }
    void clearTranscript() { m_transcript.clear(); }
    /// Empty when every scripted answer was used and nothing unscripted happened.
    QString drainReport() const;

    // Host
    int message(const host::MessageRequest& request) override;
    void showModal(QWidget& form, QWidget* owner) override;
    host::FileChoice chooseFile(const host::FileRequest& request) override;
    void sendKeys(QWidget* target, const QString& keys) override;
    short keyState(int virtualKey) override;
    void clipboardClear() override;
    void clipboardSetText(const QString& text) override;
    QString clipboardText() override;
    std::unique_ptr<QPrinter> defaultPrinter() override;
    bool choosePrinter(const host::PrinterRequest& request) override;

private:
    struct ModalScript
    {
        QString objectName;
        std::function<void(QWidget&)> script;
    };
    std::deque<std::pair<int, std::function<void()>>> m_answers;
    std::deque<std::pair<host::FileChoice, std::function<void()>>> m_files;
    std::deque<std::pair<bool, std::function<void()>>> m_printerDialogs;
    std::function<void(QPrinter&)> m_printerSetup;
    std::deque<ModalScript> m_modals;
    QList<Entry> m_transcript;
    QList<host::FileRequest> m_fileRequests;
    QStringList m_failures;
    QStringList m_printed;
    QHash<int, short> m_keyStates;
    QString m_clipboard;
    bool m_applyKeys = true;
    Printer m_printer = Printer::Pdf;
    std::unique_ptr<host::HostOverride> m_override;
};

/// Asserts in a test slot that the scripted host has nothing left over and saw nothing
/// unscripted.
#define VERIFY_DRAINED(h) QVERIFY2((h).drainReport().isEmpty(), qPrintable((h).drainReport()))
