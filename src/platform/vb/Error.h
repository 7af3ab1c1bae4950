// The one exception type of the program: a run-time error shaped like the VB error object.
#pragma once

#include <QString>

namespace vb {

/// A run-time error: number, description, source, help file and help context.
struct Error
{
    long number = 0;
    QString description;
    QString source;
    QString helpFile;
    long helpContext = 0;
};

/// The source text that errors raised by the program itself carry ("Pinvara").
QString ownSource();

/// The standard description of a run-time error number, as Error$(n) gives it.
QString errorText(long number);

/// Err.Raise: throws vb::Error. An empty description takes the standard text of the number,
/// an empty source takes ownSource().
[[noreturn]] void raise(long number, const QString& source = {}, const QString& description = {});

/// The Err object: the error last caught by a trap or a step runner (number 0 when none).
class ErrObject
{
public:
    long number = 0;
    QString description;
    QString source;
    QString helpFile;
    long helpContext = 0;
    long line = 0;

    void set(const Error& e);
    void clear();
    Error toError() const;
};

ErrObject& Err();

} // namespace vb
