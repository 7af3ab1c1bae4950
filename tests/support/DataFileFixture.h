// Builds data files for tests: the template, rows of accounts, and the connection strings.
#pragma once

#include <QString>
#include <QStringList>

namespace testdata {

/// The connection string the main window builds for a data file and database password.
QString connectString(const QString& path, const QString& password);

/// Copies the template data file (unencrypted, empty tblAccount) to `path`.
void copyTemplate(const QString& path);

/// Writes a plaintext data file at `path` holding one row per entry, given as
/// "Account|URL|IDtext|Password" (missing parts are left NULL).
void writePlainFile(const QString& path, const QStringList& rows);

/// Writes the rows as above, then compacts the file into an encrypted one keyed with `password`.
void writeEncryptedFile(const QString& path, const QStringList& rows, const QString& password);

/// The first 16 bytes of a file.
QByteArray fileHeader(const QString& path);

/// The whole content of a file (empty when it cannot be read).
QByteArray fileBytes(const QString& path);

} // namespace testdata
