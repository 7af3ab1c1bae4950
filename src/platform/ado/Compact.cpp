#include "platform/ado/Compact.h"

#include "platform/ado/AdoErrors.h"
#include "platform/ado/Connection.h"
#include "platform/ado/FileLock.h"
#include "platform/ado/SafeFile.h"
#include "platform/ado/SqlCipher.h"

#include <QFile>
#include <QFileInfo>

namespace ado {

void CompactDatabase(const QString& sourceConnection, const QString& destinationConnection,
                     Connection* open)
{
    const auto source = ConnectionString::parse(sourceConnection);
    const auto destination = ConnectionString::parse(destinationConnection);
    source.requireJetProvider();
    destination.requireJetProvider();

    const QString target = destination.dataSource();
    if (target.isEmpty()) {
        raiseProvider(errProviderUnspecified, QStringLiteral("Not a valid file name."));
    }
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
        raiseProvider(errDatabaseExists, adoErrorText(errDatabaseExists));
    }
    // Asking for encryption without a key would write the accounts in plaintext.
    const QByteArray key = destination.password().toUtf8();
    if (key.isEmpty() && destination.encryptDatabase()) {
        raiseProvider(errWrongPassword, adoErrorText(errWrongPassword));
    }

    detail::Database own;
    detail::Database* db = &own;
    std::shared_ptr<FileLock> lock;
    if (open != nullptr && open->State() == adStateOpen && !open->isReadOnly()
        && open->properties().password() == source.password()
        && sameFile(open->dataSource(), source.dataSource())) {
        db = &open->database(); // keyed already, and holding the file's lock
    } else {
        requireDataFile(source.dataSource());
        lock = FileLock::acquire(source.dataSource());
        openDataFile(own, source.dataSource(), source.password());
    }

    const detail::Status s = db->exportTo(target, key, detail::preferredPageSize());
    own.close();
    if (s.code == detail::kCreateFailed) {
        // The target could not be created (or appeared meanwhile): it is not ours to remove.
        raiseProvider(errProviderUnspecified,
                      QStringLiteral("Could not create file '%1'.").arg(target));
    }
    if (!s.ok()) {
        QFile::remove(target);
        raiseProvider(errProviderUnspecified, s.message);
    }
}

void installCompactedCopy(const QString& copy, const QString& dest, const QString& password,
                          const std::function<void()>& beforeRename)
{
    replaceFile(
        copy, dest,
        [&password](const QString& candidate) {
            detail::Database check;
            openDataFile(check, candidate, password, DataFileOpen::EncryptedOnly);
        },
        beforeRename);
}

} // namespace ado
