#include "platform/ado/Compact.h"

#include "platform/ado/AdoErrors.h"
#include "platform/ado/Connection.h"
#include "platform/ado/SqlCipher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace ado {

void CompactDatabase(const QString& sourceConnection, const QString& destinationConnection)
{
    const auto source = ConnectionString::parse(sourceConnection);
    const auto destination = ConnectionString::parse(destinationConnection);
    source.requireJetProvider();
    destination.requireJetProvider();

    const QString target = destination.dataSource();
    if (target.isEmpty()) {
        raiseProvider(errProviderUnspecified, QStringLiteral("Not a valid file name."));
    }
    if (QFileInfo::exists(target)) {
        raiseProvider(errDatabaseExists, adoErrorText(errDatabaseExists));
    }

    detail::Database db;
    openDataFile(db, source.dataSource(), source.password());

    // Export into a fresh file beside the target and rename it into place only once it has been
    // reopened with its key, so a failure never leaves a partial target behind.
    QString scratch;
    {
        QTemporaryFile reserve(QFileInfo(target).absolutePath() + QStringLiteral("/.pnvcompact-XXXXXX"));
        if (!reserve.open()) {
            raiseProvider(errProviderUnspecified,
                          QStringLiteral("Could not create file '%1'.").arg(target));
        }
        scratch = reserve.fileName();
    }
    QFile::remove(scratch);

    const QByteArray key = destination.password().toUtf8();
    detail::Status s = db.exportTo(scratch, key);
    db.close();
    if (s.ok()) {
        detail::Database verify;
        try {
            openDataFile(verify, scratch, destination.password());
        } catch (const vb::Error& e) {
            s = {detail::kSqliteCorrupt, e.description};
        }
    }
    if (!s.ok()) {
        QFile::remove(scratch);
        raiseProvider(errProviderUnspecified, s.message);
    }
    if (!QFile::rename(scratch, target)) {
        QFile::remove(scratch);
        raiseProvider(errDatabaseExists, adoErrorText(errDatabaseExists));
    }
}

} // namespace ado
