// Error numbers, texts and sources of the data layer, as the ADO/Jet stack reports them.
#pragma once

#include "platform/vb/Error.h"

#include <QString>

namespace ado {

/// "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another."
inline constexpr long errInvalidArgument = 3001;
/// "Either BOF or EOF is True, or the current record has been deleted. ..."
inline constexpr long errNoCurrentRecord = 3021;
/// "Operation is not allowed in this context." (also: Close with an edit pending)
inline constexpr long errIllegalOperation = 3219;
/// "Item cannot be found in the collection corresponding to the requested name or ordinal."
inline constexpr long errItemNotFound = 3265;
/// "Operation is not allowed when the object is closed."
inline constexpr long errObjectClosed = 3704;
/// "Provider cannot be found. It may not be properly installed."
inline constexpr long errProviderNotFound = 3706;
/// "The connection cannot be used to perform this operation. ..."
inline constexpr long errInvalidConnection = 3709;
/// Jet's "Database already exists." (compaction onto an existing file)
inline constexpr long errDatabaseExists = 3204;
/// The provider's unspecified error (E_FAIL): missing, empty or unrecognised files, engine faults.
inline constexpr long errProviderUnspecified = -2147467259;
/// The provider's authentication failure: wrong database password ("Not a valid password.").
inline constexpr long errWrongPassword = -2147217843;
/// The provider's "cannot find the input table or query" error.
inline constexpr long errTableNotFound = -2147217865;
/// "Row cannot be located for updating. ...": a write that found no row to change.
inline constexpr long errRowNotFound = -2147217864;

/// Source texts carried by the errors.
inline const QString kSourceJet = QStringLiteral("Microsoft JET Database Engine");
inline const QString kSourceRecordset = QStringLiteral("ADODB.Recordset");
inline const QString kSourceConnection = QStringLiteral("ADODB.Connection");
inline const QString kSourceFields = QStringLiteral("ADODB.Fields");

/// The standard ADO description of one of the numbers above (empty for others).
QString adoErrorText(long number);

/// Throws a vb::Error with the ADO number, its standard text and the given source.
[[noreturn]] void raiseAdo(long number, const QString& source = kSourceRecordset);

/// Throws a provider (Jet) error with its own description.
[[noreturn]] void raiseProvider(long number, const QString& description);

} // namespace ado
