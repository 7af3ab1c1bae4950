#include "platform/vb/Error.h"

#include <QHash>

namespace vb {

QString ownSource()
{
    return QStringLiteral("Pinvara");
}

QString errorText(long number)
{
    static const QHash<long, QString> texts = {
        {3, QStringLiteral("Return without GoSub")},
        {5, QStringLiteral("Invalid procedure call or argument")},
        {6, QStringLiteral("Overflow")},
        {7, QStringLiteral("Out of memory")},
        {9, QStringLiteral("Subscript out of range")},
        {10, QStringLiteral("This array is fixed or temporarily locked")},
        {11, QStringLiteral("Division by zero")},
        {13, QStringLiteral("Type mismatch")},
        {14, QStringLiteral("Out of string space")},
        {28, QStringLiteral("Out of stack space")},
        {35, QStringLiteral("Sub or Function not defined")},
        {48, QStringLiteral("Error in loading DLL")},
        {51, QStringLiteral("Internal error")},
        {52, QStringLiteral("Bad file name or number")},
        {53, QStringLiteral("File not found")},
        {54, QStringLiteral("Bad file mode")},
        {55, QStringLiteral("File already open")},
        {57, QStringLiteral("Device I/O error")},
        {58, QStringLiteral("File already exists")},
        {61, QStringLiteral("Disk full")},
        {62, QStringLiteral("Input past end of file")},
        {67, QStringLiteral("Too many files")},
        {68, QStringLiteral("Device unavailable")},
        {70, QStringLiteral("Permission denied")},
        {71, QStringLiteral("Disk not ready")},
        {75, QStringLiteral("Path/File access error")},
        {76, QStringLiteral("Path not found")},
        {91, QStringLiteral("Object variable or With block variable not set")},
        {92, QStringLiteral("For loop not initialized")},
        {93, QStringLiteral("Invalid pattern string")},
        {94, QStringLiteral("Invalid use of Null")},
        {380, QStringLiteral("Invalid property value")},
        {424, QStringLiteral("Object required")},
        {438, QStringLiteral("Object doesn't support this property or method")},
        {440, QStringLiteral("Automation error")},
        {481, QStringLiteral("Invalid picture")},
        {482, QStringLiteral("Printer error")},
        {521, QStringLiteral("Can't open Clipboard")},
        {32755, QStringLiteral("Cancel was selected.")},
    };
    const auto it = texts.constFind(number);
    return it != texts.constEnd() ? *it : QStringLiteral("Application-defined or object-defined error");
}

void raise(long number, const QString& source, const QString& description)
{
    Error e;
    e.number = number;
    e.source = source.isEmpty() ? ownSource() : source;
    e.description = description.isEmpty() ? errorText(number) : description;
    throw e;
}

void ErrObject::set(const Error& e)
{
    number = e.number;
    description = e.description;
    source = e.source;
    helpFile = e.helpFile;
    helpContext = e.helpContext;
    line = 0;
}

void ErrObject::clear()
{
    *this = ErrObject{};
}

Error ErrObject::toError() const
{
    return Error{number, description, source, helpFile, helpContext};
}

ErrObject& Err()
{
    static ErrObject err;
    return err;
}

} // namespace vb
