// Temporary bodies so the interface builds; replaced by the implementation.
#include "platform/ado/AdoErrors.h"
#include "platform/ado/Compact.h"
#include "platform/ado/Connection.h"
#include "platform/ado/Recordset.h"
#include "platform/ado/SqlCipher.h"

namespace ado {
QString adoErrorText(long) { return {}; }
void raiseAdo(long number, const QString& source) { vb::raise(number, source, QStringLiteral("?")); }
void raiseProvider(long number, const QString& d) { vb::raise(number, kSourceJet, d); }
ConnectionString ConnectionString::parse(const QString&) { return {}; }
QString ConnectionString::value(const QString&) const { return {}; }
bool ConnectionString::contains(const QString&) const { return false; }
QString ConnectionString::provider() const { return {}; }
QString ConnectionString::dataSource() const { return {}; }
QString ConnectionString::password() const { return {}; }
int ConnectionString::engineType() const { return 0; }
bool ConnectionString::encryptDatabase() const { return false; }
void ConnectionString::requireJetProvider() const {}
Connection::Connection() = default;
Connection::~Connection() = default;
void Connection::Open(const QString&) {}
void Connection::Close() {}
int Connection::State() const { return 0; }
QString Connection::ConnectionString() const { return {}; }
const ado::ConnectionString& Connection::properties() const { return m_props; }
QString Connection::dataSource() const { return {}; }
detail::Database& Connection::database() { return *m_db; }
void openDataFile(detail::Database&, const QString&, const QString&) {}
void CompactDatabase(const QString&, const QString&) {}

struct Recordset::Store {};
struct Recordset::Criterion {};
QString Field::Name() const { return {}; }
QString Field::Value() const { return {}; }
void Field::setValue(const QString&) {}
Recordset::Recordset(QObject* parent) : QObject(parent) {}
Recordset::~Recordset() = default;
void Recordset::Open(const QString&, std::shared_ptr<Connection>) {}
void Recordset::Close() {}
int Recordset::State() const { return 0; }
QString Recordset::Source() const { return {}; }
std::shared_ptr<Connection> Recordset::ActiveConnection() const { return m_conn; }
void Recordset::setActiveConnection(std::shared_ptr<Connection>) {}
int Recordset::FieldCount() const { return 0; }
QStringList Recordset::fieldNames() const { return {}; }
int Recordset::fieldIndex(const QString&) const { return -1; }
Field Recordset::Fields(const QString&) { return Field(this, 0); }
Field Recordset::Fields(int i) { return Field(this, i); }
QString Recordset::fieldValue(int) const { return {}; }
void Recordset::setFieldValue(int, const QString&) {}
QString Recordset::Sort() const { return {}; }
void Recordset::setSort(const QString&) {}
QString Recordset::Filter() const { return {}; }
void Recordset::setFilter(const QString&) {}
long Recordset::RecordCount() const { return 0; }
bool Recordset::IsBOF() const { return true; }
bool Recordset::IsEOF() const { return true; }
long Recordset::AbsolutePosition() const { return -1; }
void Recordset::setAbsolutePosition(long) {}
void Recordset::MoveFirst() {}
void Recordset::MoveLast() {}
void Recordset::MoveNext() {}
void Recordset::MovePrevious() {}
void Recordset::Move(long) {}
void Recordset::Find(const QString&, long, int) {}
void Recordset::AddNew() {}
void Recordset::Update() {}
void Recordset::CancelUpdate() {}
void Recordset::Delete() {}
int Recordset::EditMode() const { return 0; }
int Recordset::viewCount() const { return 0; }
QString Recordset::viewValue(int, int) const { return {}; }
int Recordset::currentIndex() const { return -1; }
} // namespace ado
namespace ado::detail {
Database::~Database() = default;
}
