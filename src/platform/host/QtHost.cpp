#include "platform/host/QtHost.h"

#include "platform/clipboard/SecretClipboard.h"
#include "platform/host/X11Keyboard.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStringList>

namespace host {

namespace {

// The room a title needs in the window manager's frame: its text in a bold title font, and
// about six letter heights for the frame's icon and buttons.
int titleWidth(const QString& title)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

} // namespace

int QtHost::message(const MessageRequest& r)
{
    QMessageBox box;
    box.setWindowTitle(r.title);
    box.setText(r.prompt);
    switch (r.icon) {
    case 16:
        box.setIcon(QMessageBox::Critical);
        break;
    case 32:
        box.setIcon(QMessageBox::Question);
        break;
    case 48:
        box.setIcon(QMessageBox::Warning);
        break;
    case 64:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice
    {
        QString text;
        int result;
        QMessageBox::ButtonRole role;
    };
    QList<Choice> choices;
    switch (r.buttons) {
    case 1:
        choices = {{QStringLiteral("OK"), 1, QMessageBox::AcceptRole},
                   {QStringLiteral("Cancel"), 2, QMessageBox::RejectRole}};
        break;
    case 2:
        choices = {{QStringLiteral("&Abort"), 3, QMessageBox::RejectRole},
                   {QStringLiteral("&Retry"), 4, QMessageBox::AcceptRole},
                   {QStringLiteral("&Ignore"), 5, QMessageBox::AcceptRole}};
        break;
    case 3:
        choices = {{QStringLiteral("&Yes"), 6, QMessageBox::YesRole},
                   {QStringLiteral("&No"), 7, QMessageBox::NoRole},
                   {QStringLiteral("Cancel"), 2, QMessageBox::RejectRole}};
        break;
    case 4:
        choices = {{QStringLiteral("&Yes"), 6, QMessageBox::YesRole},
                   {QStringLiteral("&No"), 7, QMessageBox::NoRole}};
        break;
    case 5:
        choices = {{QStringLiteral("&Retry"), 4, QMessageBox::AcceptRole},
                   {QStringLiteral("Cancel"), 2, QMessageBox::RejectRole}};
        break;
    default:
        choices = {{QStringLiteral("OK"), 1, QMessageBox::AcceptRole}};
        break;
    }
    QList<QPushButton*> buttons;
    for (const Choice& c : choices) {
        buttons << box.addButton(c.text, c.role);
    }
    const int def = r.defaultButton / 256;
    if (def < buttons.size()) {
        box.setDefaultButton(buttons[def]);
    }
    // Escape answers Cancel where there is one, else the only button.
    for (int i = 0; i < choices.size(); ++i) {
        if (choices[i].result == 2 || choices.size() == 1) {
            box.setEscapeButton(buttons[i]);
        }
    }
    // A message box takes the width of its text alone, and a long title ("DATABASE CONNECTION
    // ERROR!") would be cut short in the frame: an invisible strip keeps room for it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth(r.title), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
    for (int i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) {
            return choices[i].result;
        }
    }
    return choices.size() == 1 ? 1 : 2;
}

void QtHost::showModal(QWidget& form, QWidget* owner)
{
    if (owner != nullptr && form.parentWidget() != owner) {
        form.setParent(owner, form.windowFlags() | Qt::Dialog);
    }
    if (auto* dialog = qobject_cast<QDialog*>(&form)) {
        dialog->exec();
        return;
    }
    // A plain widget: run a local loop until it hides itself.
    form.setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    struct HideWatch : QObject
    {
        QEventLoop* loop;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide || e->type() == QEvent::Close) {
                loop->quit();
            }
            return false;
        }
    } watch;
    watch.loop = &loop;
    QPointer<QWidget> guard(&form);
    form.installEventFilter(&watch);
    form.show();
    loop.exec();
    if (guard) {
        guard->removeEventFilter(&watch);
    }
}

QString qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // Descriptions usually show their pattern already; Qt reads the patterns from the
        // last parentheses, so they are written once, at the end.
        const QString shown = QStringLiteral(" (") + patterns.join(u';') + u')';
        if (description.endsWith(shown)) {
            description.chop(shown.size());
        }
        // "*.*" would hide files without a dot here; every file is meant.
        for (QString& pattern : patterns) {
            if (pattern == u"*.*") {
                pattern = QStringLiteral("*");
            }
        }
        out << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return out.join(QStringLiteral(";;"));
}

FileChoice QtHost::chooseFile(const FileRequest& r)
{
    QFileDialog dialog(QApplication::activeWindow(), r.title);
    dialog.setAcceptMode(r.kind == FileRequest::Save ? QFileDialog::AcceptSave
                                                     : QFileDialog::AcceptOpen);
    dialog.setFileMode(r.kind == FileRequest::Save ? QFileDialog::AnyFile
                                                   : QFileDialog::ExistingFile);
    if (r.kind == FileRequest::Save && !r.overwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    const QStringList filters = qtNameFilters(r.filter).split(QStringLiteral(";;"));
    if (!r.filter.isEmpty()) {
        dialog.setNameFilters(filters);
        if (r.filterIndex >= 1 && r.filterIndex <= filters.size()) {
            dialog.selectNameFilter(filters[r.filterIndex - 1]);
        }
    }
    if (!r.initDir.isEmpty()) {
        dialog.setDirectory(r.initDir);
    }
    if (!r.fileName.isEmpty()) {
        dialog.selectFile(r.fileName);
    }
    FileChoice choice;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        choice.cancelled = false;
        choice.fileName = dialog.selectedFiles().constFirst();
        choice.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    return choice;
}

QList<KeyStroke> parseKeys(const QString& keys)
{
    static const struct
    {
        QStringView name;
        int key;
    } names[] = {{u"{tab}", Qt::Key_Tab}, {u"{home}", Qt::Key_Home}, {u"{end}", Qt::Key_End}};
    QList<KeyStroke> strokes;
    const QString k = keys.toLower();
    qsizetype i = 0;
    while (i < k.size()) {
        Qt::KeyboardModifiers mods = Qt::NoModifier;
        if (k[i] == u'+') {
            mods = Qt::ShiftModifier;
            ++i;
        }
        bool matched = false;
        for (const auto& n : names) {
            if (QStringView(k).mid(i).startsWith(n.name)) {
                strokes << KeyStroke{n.key, mods};
                i += n.name.size();
                matched = true;
                break;
            }
        }
        if (!matched) {
            ++i;
        }
    }
    return strokes;
}

void postKeys(QWidget* target, const QString& keys)
{
    QWidget* window = target != nullptr ? target->window() : QApplication::activeWindow();
    if (window == nullptr) {
        return;
    }
    for (const KeyStroke& s : parseKeys(keys)) {
        QWidget* focus = window->focusWidget() != nullptr ? window->focusWidget() : window;
        QCoreApplication::postEvent(focus, new QKeyEvent(QEvent::KeyPress, s.key, s.modifiers));
        QCoreApplication::postEvent(focus, new QKeyEvent(QEvent::KeyRelease, s.key, s.modifiers));
    }
}

void QtHost::sendKeys(QWidget* target, const QString& keys)
{
    postKeys(target, keys);
}

short QtHost::keyState(int virtualKey)
{
    // Only the Caps Lock toggle is asked for; without an X display (offscreen) there is no
    // lock to report.
    constexpr int kCapital = 20;
    return virtualKey == kCapital && x11CapsLockOn() ? 1 : 0;
}

void QtHost::clipboardClear()
{
    clipboard::clear();
}

void QtHost::clipboardSetText(const QString& text)
{
    // Everything the program puts on the clipboard is a handed-out account field.
    clipboard::setSecretText(text);
}

QString QtHost::clipboardText()
{
    return clipboard::text();
}

std::unique_ptr<QPrinter> QtHost::defaultPrinter()
{
    if (m_chosen) {
        // The printer chosen in the printer dialog stays the default from then on.
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(m_chosen->outputFormat());
        if (m_chosen->outputFormat() == QPrinter::NativeFormat) {
            printer->setPrinterName(m_chosen->printerName());
        }
        printer->setOutputFileName(m_chosen->outputFileName());
        printer->setPageLayout(m_chosen->pageLayout());
        printer->setCopyCount(m_chosen->copyCount());
        printer->setCollateCopies(m_chosen->collateCopies());
        printer->setColorMode(m_chosen->colorMode());
        printer->setDuplex(m_chosen->duplex());
        return printer->isValid() ? std::move(printer) : nullptr;
    }
    // Without a printer installed, QPrinter quietly becomes a PDF writer with no file name,
    // which prints nothing: report "no printer" instead.
    QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (chosen.isNull()) {
        const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
        if (all.isEmpty()) {
            return nullptr;
        }
        chosen = all.constFirst();
    }
    auto printer = std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
    if (!printer->isValid()) {
        return nullptr;
    }
    return printer;
}

bool QtHost::choosePrinter(const PrinterRequest& request)
{
    // With no printer installed the dialog still offers printing to a PDF file.
    std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    // The common dialog's flags that have a counterpart here: 4 no selection, 8 no page
    // numbers; the rest are Windows matters.
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile
        | QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
    if ((request.flags & 4) == 0) {
        options |= QAbstractPrintDialog::PrintSelection;
    }
    if ((request.flags & 8) == 0) {
        options |= QAbstractPrintDialog::PrintPageRange;
    }
    dialog.setOptions(options);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    m_chosen = std::move(printer);
    return true;
}

} // namespace host
