#include "platform/ado/AdoErrors.h"

namespace ado {

QString adoErrorText(long number)
{
    switch (number) {
    case errInvalidArgument:
        return QStringLiteral("Arguments are of the wrong type, are out of acceptable range, or "
                              "are in conflict with one another.");
    case errNoCurrentRecord:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case errIllegalOperation:
        return QStringLiteral("Operation is not allowed in this context.");
    case errItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the "
                              "requested name or ordinal.");
    case errObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case errProviderNotFound:
        return QStringLiteral("Provider cannot be found. It may not be properly installed.");
    case errInvalidConnection:
        return QStringLiteral("The connection cannot be used to perform this operation. It is "
                              "either closed or invalid in this context.");
    case errDatabaseExists:
        return QStringLiteral("Database already exists.");
    case errWrongPassword:
        return QStringLiteral("Not a valid password.");
    case errRowNotFound:
        return QStringLiteral("Row cannot be located for updating. Some values may have been "
                              "changed since it was last read.");
    default:
        return {};
    }
}

void raiseAdo(long number, const QString& source)
{
    throw vb::Error{number, adoErrorText(number), source, {}, 0};
}

void raiseProvider(long number, const QString& description)
{
    throw vb::Error{number, description, kSourceJet, {}, 0};
}

} // namespace ado
