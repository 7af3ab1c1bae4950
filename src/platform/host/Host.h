// The one seam for every interaction with the user and the desktop: message boxes, modal
// windows, file dialogs, key sending, key state, clipboard and the default printer.
#pragma once

#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace host {

/// A message box as the caller asked for it, with the style value already split.
struct MessageRequest
{
    QString prompt;
    QString title;  ///< never empty: an empty title has become the application title
    int style = 0;  ///< the full style value as given (e.g. 275)
    int buttons = 0;  ///< 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel
    int icon = 0;  ///< 0, 16 stop, 32 question, 48 exclamation, 64 information
    int defaultButton = 0;  ///< 0 first, 256 second, 512 third
};

/// A common-dialog file request: Open or Save.
struct FileRequest
{
    enum Kind { Open, Save };
    Kind kind = Open;
    QString title;
    QString filter;  ///< "description|pattern|description|pattern"
    int filterIndex = 1;  ///< 1-based
    QString fileName;  ///< initial name or folder
    QString initDir;
    bool cancelError = true;  ///< cancel raises error 32755 in the caller
    bool overwritePrompt = false;
    bool fileMustExist = false;
};

/// A common-dialog printer request: the printer dialog's flags as given (e.g. 264).
struct PrinterRequest
{
    int flags = 0;
    bool cancelError = true;  ///< cancel raises error 32755 in the caller
};

/// What the user chose; cancelled when no file was chosen.
struct FileChoice
{
    bool cancelled = true;
    QString fileName;
    int filterIndex = 1;
};

class Host
{
public:
    virtual ~Host() = default;

    /// Shows a message box and returns the button pressed (vbOK 1 ... vbNo 7).
    virtual int message(const MessageRequest& request) = 0;

    /// Shows the window modally (owned by owner when given) and returns once it has hidden
    /// itself or been closed.
    virtual void showModal(QWidget& form, QWidget* owner) = 0;

    /// Shows a file dialog.
    virtual FileChoice chooseFile(const FileRequest& request) = 0;

    /// Sends key strokes to the focused control of target's window: "{tab}" moves the focus
    /// on; "{home}+{end}" selects a box's text from its start.
    virtual void sendKeys(QWidget* target, const QString& keys) = 0;

    /// The key state as GetKeyState reports it: bit 0 toggled, bit 15 held down
    /// (so 1 = toggled on, -127 = toggled on and held, as a 16-bit value).
    virtual short keyState(int virtualKey) = 0;

    virtual void clipboardClear() = 0;
    /// Puts text on the clipboard, marked as a password manager's secret so that clipboard
    /// managers keep it out of their history.
    virtual void clipboardSetText(const QString& text) = 0;
    virtual QString clipboardText() = 0;

    /// A printer set up as the default printer (a PDF file when testing); empty when no
    /// printer is installed or usable.
    virtual std::unique_ptr<QPrinter> defaultPrinter() = 0;

    /// Shows the printer dialog; true when the user chose to print. The printer and settings
    /// chosen become those of defaultPrinter() from then on.
    virtual bool choosePrinter(const PrinterRequest& request) = 0;
};

/// The process-wide host; a QtHost unless a test installed another.
Host& host();

/// Installs a host for a scope and restores the previous one when it ends.
class HostOverride
{
public:
    explicit HostOverride(Host& replacement);
    ~HostOverride();
    HostOverride(const HostOverride&) = delete;
    HostOverride& operator=(const HostOverride&) = delete;

private:
    Host* m_previous;
};

/// The application title that a message box given no title shows.
inline const QString kAppTitle = QStringLiteral("Quorrel - Keyfold");

/// MsgBox(prompt, style, title): splits the style value and fills an empty title.
int MsgBox(const QString& prompt, int style = 0, const QString& title = {});

/// Builds the request MsgBox hands to the host.
MessageRequest makeRequest(const QString& prompt, int style, const QString& title);

} // namespace host

namespace host {

/// Shows a file dialog as the common dialog does: a cancelled request that asked for
/// CancelError raises error 32755 ("Cancel was selected.") in the caller.
FileChoice ShowFileDialog(const FileRequest& request);

/// Shows the printer dialog as the common dialog does: a cancelled request that asked for
/// CancelError raises error 32755 in the caller. True when the user chose to print.
bool ShowPrinterDialog(const PrinterRequest& request);

} // namespace host
