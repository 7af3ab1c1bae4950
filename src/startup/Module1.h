// Module1: the string table, the single-instance check, the Caps Lock test and the routines
// the windows share (temporary files, resource items, browser start, printing).
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class QPrinter;
class QTextDocument;
class QWidget;

namespace Module1 {

inline const QString kModule = QStringLiteral("Module1");

// --- String table -------------------------------------------------------------------------

/// The text of a string-table id; a missing id raises error 326.
QString LoadResString(int id);

/// Puts the table's texts into a window by the ids its design stored: the window's and its
/// labels' "Tag" properties, its menu items' texts, its tab strips' tab data (Tag) and tool
/// tips, its toolbar buttons' tool tips, its list views' header Tags (Qt::UserRole), and the
/// "Tag" and tool tip of every other control. Each assignment that fails is skipped.
void LoadResStrings(QWidget& frm);

// --- Start-up -----------------------------------------------------------------------------

/// 1 when a running instance was found and brought to the front, 0 otherwise.
int16_t MultiInst();

/// True when the Caps Lock key is toggled on (key state 1, or -127 while also held down).
bool CapsLockOn();

// --- Shared routines ----------------------------------------------------------------------

/// Takes the window out of the stay-on-top band, keeping its place and size.
void MakeNormal(QWidget* hWnd);

/// Starts the desktop's web browser on the address with the whole command line of the
/// desktop's entry for web pages, the address as one argument; true when the browser started
/// and did not fail at once. An address beginning with "-" starts nothing.
bool StartNewBrowser(const QString& url);

/// The program the desktop opens ".html" files with; code is 32 or more when one was found.
QString GetBrowserName(long& code);

/// The temporary folder, with its closing "/".
QString GetTempDir();
/// This user's own folder in the temporary folder, with its closing "/": the program's working
/// files go there, never loose in a folder that other users may write. Callers make sure of it
/// (ado::requirePrivateFolder) before they write in it.
QString GetPrivateTempDir();

/// The text before the first NUL (the whole text when it has none).
QString TrimNull(const QString& s);
QString StripTerminator(const QString& s);

/// Writes the compiled-in resource item ":/" + name, of type "CUSTOM", to dest. Returns 0, or
/// the error number of the failure (it never raises and never calls the trap).
long SaveResItemToDisk(const QString& name, const QString& type, const QString& dest);

/// Makes a temporary file name in folder (the temporary folder when ""), from the first three
/// characters of prefix. With unique 0 the file is created empty under a name not yet used;
/// otherwise the name is made from unique and no file is created. False when no name was made.
bool GetTempFile(QString folder, const QString& prefix, int16_t unique, QString& name);

/// The default printer's page width in twips; nothing is printed.
long GetPrinterWidth();

/// Lays the rich text out with the line width it will have on the printer between the
/// margins (twips); returns that line width in twips.
long WYSIWYG_RTF(QTextDocument& rtb, long leftMargin, long rightMargin);

/// Prints the rich text on the default printer between the margins (twips), page by page.
void PrintRTF(QTextDocument& rtb, long leftMargin, long topMargin, long rightMargin,
              long bottomMargin);

/// The default printer kept as the rich text's layout target; empty when none. Made by the
/// first WYSIWYG_RTF, released by the print view.
extern std::unique_ptr<QPrinter> gPrinterDC;

/// Starts a program detached with its arguments; true when it started.
using ProcessStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

/// Replaces how StartNewBrowser starts the browser (tests); an empty starter restores
/// host::startProgram.
void setProcessStarter(ProcessStarter starter);

} // namespace Module1
