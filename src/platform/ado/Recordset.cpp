#include "platform/ado/Recordset.h"

#include "platform/ado/AdoErrors.h"
#include "platform/ado/Connection.h"
#include "platform/ado/SqlCipher.h"

#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace ado {

namespace {

// Case folding of UTF-8 text into a comparable byte string; byte order of UTF-8 is code point
// order. Account names are nearly always ASCII: foldAscii folds those without QString, writing
// in.size() bytes to `out`, and returns false for any other text, which foldUnicode folds.
bool foldAscii(std::string_view in, char* out)
{
    unsigned char high = 0;
    for (size_t i = 0; i < in.size(); ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        high |= c;
        out[i] = static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + 32 : c);
    }
    return high < 0x80;
}

void foldUnicode(std::string_view in, std::string& out)
{
    const QByteArray folded = QString::fromUtf8(in.data(), static_cast<qsizetype>(in.size()))
                                  .toCaseFolded()
                                  .toUtf8();
    out.assign(folded.constData(), static_cast<size_t>(folded.size()));
}

std::string folded(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string_view in(utf8.constData(), static_cast<size_t>(utf8.size()));
    std::string out(in.size(), '\0');
    if (!foldAscii(in, out.data())) {
        foldUnicode(in, out);
    }
    return out;
}

QString quoteIdentifier(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Rows are stored in chunks of one huge page each where the system offers them: loading a large
// file then takes a few hundred page faults instead of many thousands.
constexpr size_t kChunkSize = detail::kHugePage;

struct ChunkFree
{
    size_t size = 0;
    void operator()(char* p) const { detail::freeLarge(p, size); }
};
using Chunk = std::unique_ptr<char[], ChunkFree>;

Chunk newChunk(size_t bytes)
{
    const size_t size = (bytes + kChunkSize - 1) / kChunkSize * kChunkSize;
    return Chunk(static_cast<char*>(detail::allocateLarge(size)), ChunkFree{size});
}

} // namespace

// The rows in memory: each row is one block in a large chunk, its cells' lengths first (-1 for
// NULL) and then the cells back to back as UTF-8. This keeps a 100,000-row table close to its
// text size and costs one small copy per row to load.
struct Recordset::Store
{
    struct Row
    {
        const char* base = nullptr;
        qint64 rowid = 0;
        bool alive = true;
    };

    QStringList names;
    int cols = 0;
    std::vector<Chunk> chunks;
    size_t chunkUsed = kChunkSize;
    detail::LargeVector<Row> rows;
    // Folded copies of one field's values for Sort, Filter and Find, built on first use. They
    // live back to back in one arena (a changed value is appended; the old bytes stay until the
    // next load), and `rank` numbers the distinct keys in order so that a Sort in either
    // direction is a counting sort. Any change of a key drops the ranks.
    struct Keys
    {
        bool built = false;
        detail::LargeBytes arena;
        detail::LargeVector<std::pair<quint32, quint32>> spans; // offset, length (kNullKey: NULL)
        detail::LargeVector<int> rank;
        int rankCount = 0;

        static constexpr quint32 kNullKey = 0xffffffffu;
        bool isNull(int row) const { return spans[static_cast<size_t>(row)].second == kNullKey; }
        std::string_view at(int row) const
        {
            const auto& [off, len] = spans[static_cast<size_t>(row)];
            return len == kNullKey ? std::string_view() : std::string_view(arena.data() + off, len);
        }
    };
    std::vector<Keys> keys;
    std::string scratch;

    size_t headerSize() const { return static_cast<size_t>(cols) * sizeof(qint32); }

    char* alloc(size_t n)
    {
        n = (n + alignof(qint32) - 1) & ~(alignof(qint32) - 1); // the next header stays aligned
        if (n > kChunkSize / 4) {
            chunks.push_back(newChunk(n));
            char* p = chunks.back().get();
            // Keep filling the previous chunk: move the big one before it.
            if (chunks.size() > 1) {
                std::swap(chunks[chunks.size() - 1], chunks[chunks.size() - 2]);
            }
            return p;
        }
        if (chunks.empty() || chunkUsed + n > kChunkSize) {
            chunks.push_back(newChunk(kChunkSize));
            chunkUsed = 0;
        }
        char* p = chunks.back().get() + chunkUsed;
        chunkUsed += n;
        return p;
    }

    qint32 length(const char* base, int col) const
    {
        qint32 l = 0;
        std::memcpy(&l, base + static_cast<size_t>(col) * sizeof(qint32), sizeof l);
        return l;
    }

    std::string_view raw(int row, int col, bool* isNull = nullptr) const
    {
        const char* base = rows[static_cast<size_t>(row)].base;
        const char* p = base + headerSize();
        for (int c = 0; c < col; ++c) {
            p += std::max(length(base, c), 0);
        }
        const qint32 l = length(base, col);
        if (isNull) {
            *isNull = l < 0;
        }
        return {p, static_cast<size_t>(std::max(l, 0))};
    }

    /// A new block holding the cells (nullptr = NULL).
    const char* block(const char* const* cells, const qint32* cellLens)
    {
        size_t total = headerSize();
        for (int c = 0; c < cols; ++c) {
            total += cells[c] ? static_cast<size_t>(cellLens[c]) : 0;
        }
        char* base = alloc(total);
        char* p = base + headerSize();
        for (int c = 0; c < cols; ++c) {
            const qint32 l = cells[c] ? cellLens[c] : -1;
            std::memcpy(base + static_cast<size_t>(c) * sizeof(qint32), &l, sizeof l);
            if (l > 0) {
                std::memcpy(p, cells[c], static_cast<size_t>(l));
                p += l;
            }
        }
        return base;
    }

    QString value(int row, int col) const
    {
        bool isNull = false;
        const std::string_view v = raw(row, col, &isNull);
        if (isNull) {
            return {};
        }
        return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
    }

    std::vector<QString> values(int row) const
    {
        std::vector<QString> out;
        out.reserve(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            out.push_back(value(row, c));
        }
        return out;
    }

    /// Appends a row from raw cells (nullptr = NULL).
    int append(qint64 rowid, const char* const* cells, const qint32* cellLens)
    {
        Row row;
        row.base = block(cells, cellLens);
        row.rowid = rowid;
        rows.push_back(row);
        const int index = static_cast<int>(rows.size()) - 1;
        for (int c = 0; c < cols; ++c) {
            if (keys[static_cast<size_t>(c)].built) {
                refreshKey(index, c);
            }
        }
        return index;
    }

    /// Rewrites a row's cells (the old bytes stay unused until the next load).
    void assign(int row, const std::vector<QString>& values)
    {
        std::vector<QByteArray> bytes(values.size());
        std::vector<const char*> cells(values.size());
        std::vector<qint32> cellLens(values.size());
        for (size_t c = 0; c < values.size(); ++c) {
            if (!values[c].isNull()) {
                bytes[c] = values[c].toUtf8();
                cells[c] = bytes[c].constData();
                cellLens[c] = static_cast<qint32>(bytes[c].size());
            }
        }
        rows[static_cast<size_t>(row)].base = block(cells.data(), cellLens.data());
        for (int c = 0; c < cols; ++c) {
            if (keys[static_cast<size_t>(c)].built) {
                refreshKey(row, c);
            }
        }
    }

    void refreshKey(int row, int col)
    {
        Keys& k = keys[static_cast<size_t>(col)];
        if (k.spans.size() <= static_cast<size_t>(row)) {
            k.spans.resize(static_cast<size_t>(row) + 1, {0, Keys::kNullKey});
        }
        k.rank.clear();
        bool isNull = false;
        const std::string_view v = raw(row, col, &isNull);
        if (isNull) {
            k.spans[static_cast<size_t>(row)] = {0, Keys::kNullKey};
            return;
        }
        const size_t at = k.arena.size();
        // ASCII (nearly every key) is folded as it is copied; anything else is folded in full.
        if (!foldAscii(v, k.arena.append(nullptr, v.size()))) {
            k.arena.truncate(at);
            foldUnicode(v, scratch);
            k.arena.append(scratch.data(), scratch.size());
        }
        k.spans[static_cast<size_t>(row)] = {static_cast<quint32>(at),
                                             static_cast<quint32>(k.arena.size() - at)};
    }

    void buildKeys(int col)
    {
        Keys& k = keys[static_cast<size_t>(col)];
        if (k.built) {
            return;
        }
        k.built = true;
        k.spans.assign(rows.size(), {0, Keys::kNullKey});
        k.arena.reserve(rows.size() * 32); // grows when the keys are longer
        // One pass over rows spread across the whole store: the rows a few steps ahead are
        // fetched meanwhile.
        constexpr size_t kAhead = 8;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (r + kAhead < rows.size()) {
                __builtin_prefetch(rows[r + kAhead].base);
            }
            refreshKey(static_cast<int>(r), col);
        }
    }

    void buildRanks(int col)
    {
        buildKeys(col);
        Keys& k = keys[static_cast<size_t>(col)];
        if (!k.rank.empty() || rows.empty()) {
            return;
        }
        // The entries and, behind them, the radix sort's scratch space.
        detail::LargeVector<RankEntry> byKey(rows.size() * 2);
        for (size_t r = 0; r < rows.size(); ++r) {
            byKey[r].row = static_cast<int>(r);
        }
        k.rank.assign(rows.size(), 0);
        int next = 0;
        RankEntry* entries = byKey.data();
        rankRange(k, entries, entries + rows.size(), entries + rows.size(), 0, next);
        k.rankCount = next;
    }

    // Keys are ranked seven bytes at a time, packed with a length mark into one word, so most
    // comparisons are one integer comparison; a run of keys that share the word (account
    // names often begin with the same words) is ranked on its next seven bytes. The mark tells
    // apart keys that end inside the word (by their length) from keys that go on, so the order
    // is exactly the byte order of the keys.
    struct RankEntry
    {
        quint64 word = 0;
        int row = 0;
    };
    static constexpr size_t kWordBytes = 7;
    static constexpr quint64 kGoesOn = kWordBytes + 1;

    // Sorts by word: a radix sort, one byte a pass, skipping the bytes every word shares;
    // short ranges are sorted by comparison. `scratch` has room for the range.
    static void sortByWord(RankEntry* begin, RankEntry* end, RankEntry* scratch)
    {
        const size_t n = static_cast<size_t>(end - begin);
        if (n < 256) {
            std::sort(begin, end,
                      [](const RankEntry& a, const RankEntry& b) { return a.word < b.word; });
            return;
        }
        std::array<std::array<size_t, 256>, sizeof(quint64)> counts{};
        for (const RankEntry* e = begin; e != end; ++e) {
            for (size_t d = 0; d < sizeof(quint64); ++d) {
                ++counts[d][(e->word >> (8 * d)) & 0xff];
            }
        }
        RankEntry* from = begin;
        RankEntry* to = scratch;
        for (size_t d = 0; d < sizeof(quint64); ++d) {
            std::array<size_t, 256>& count = counts[d];
            if (std::find(count.begin(), count.end(), n) != count.end()) {
                continue; // every word has the same byte here
            }
            size_t sum = 0;
            for (size_t& c : count) {
                sum += std::exchange(c, sum);
            }
            for (const RankEntry* e = from; e != from + n; ++e) {
                to[count[(e->word >> (8 * d)) & 0xff]++] = *e;
            }
            std::swap(from, to);
        }
        if (from != begin) {
            std::copy(from, from + n, begin);
        }
    }

    static void rankRange(Keys& k, RankEntry* begin, RankEntry* end, RankEntry* scratch,
                          size_t depth, int& next)
    {
        if (end - begin == 1) {
            k.rank[static_cast<size_t>(begin->row)] = next++;
            return;
        }
        // Bytes that every key of the range shares (such as "https://www.") decide nothing.
        const std::string_view first = k.at(begin->row);
        size_t common = first.size() > depth ? first.size() - depth : 0;
        for (RankEntry* e = begin + 1; e != end && common > 0; ++e) {
            const std::string_view key = k.at(e->row);
            size_t i = 0;
            while (i < common && depth + i < key.size() && key[depth + i] == first[depth + i]) {
                ++i;
            }
            common = i;
        }
        depth += common;
        for (RankEntry* e = begin; e != end; ++e) {
            const std::string_view key = k.at(e->row);
            const size_t left = key.size() > depth ? key.size() - depth : 0;
            quint64 word = 0;
            if (left > kWordBytes) {
                std::memcpy(&word, key.data() + depth, sizeof word); // within the key
                word = qFromBigEndian(word) >> 8;
            } else {
                for (size_t i = 0; i < kWordBytes; ++i) {
                    word = (word << 8)
                        | (i < left ? static_cast<unsigned char>(key[depth + i]) : 0u);
                }
            }
            e->word = (word << 8) | std::min<quint64>(left, kGoesOn);
        }
        sortByWord(begin, end, scratch);
        for (RankEntry* run = begin; run != end;) {
            RankEntry* stop = run + 1;
            while (stop != end && stop->word == run->word) {
                ++stop;
            }
            if ((run->word & 0xff) == kGoesOn && stop - run > 1) {
                rankRange(k, run, stop, scratch + (run - begin), depth + kWordBytes, next);
            } else {
                // One key, or keys that end inside the word and so are equal.
                for (RankEntry* e = run; e != stop; ++e) {
                    k.rank[static_cast<size_t>(e->row)] = next;
                }
                ++next;
            }
            run = stop;
        }
    }
};

struct Recordset::Criterion
{
    enum Kind { Equal, Prefix, Suffix, Contains };
    int field = -1;
    Kind kind = Equal;
    std::string pattern; // folded
};

// ---- Field ----------------------------------------------------------------------------------

QString Field::Name() const
{
    m_rs->requireOpen();
    return m_rs->m_store->names.value(m_index);
}

QString Field::Value() const
{
    return m_rs->fieldValue(m_index);
}

void Field::setValue(const QString& value)
{
    m_rs->setFieldValue(m_index, value);
}

// ---- Opening and closing --------------------------------------------------------------------

Recordset::Recordset(QObject* parent) : QObject(parent), m_store(std::make_unique<Store>()) {}

Recordset::~Recordset() = default;

void Recordset::raiseEngine(const QString& message) const
{
    raiseProvider(errProviderUnspecified, message);
}

void Recordset::Open(const QString& source, std::shared_ptr<Connection> connection)
{
    if (!connection || connection->State() != adStateOpen) {
        raiseAdo(errInvalidConnection);
    }
    static const QRegularExpression select(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+\[?(\w+)\]?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bare(QStringLiteral(R"(^\s*\[?(\w+)\]?\s*$)"));
    QRegularExpressionMatch m = select.match(source);
    if (!m.hasMatch()) {
        m = bare.match(source);
    }
    if (!m.hasMatch()) {
        raiseProvider(-2147217900,
                      QStringLiteral("Invalid SQL statement; expected 'DELETE', 'INSERT', "
                                     "'PROCEDURE', 'SELECT', or 'UPDATE'."));
    }
    const QString table = m.captured(1);

    auto store = std::make_unique<Store>();
    {
        detail::Statement st(connection->database(),
                             QStringLiteral("SELECT rowid, * FROM %1").arg(quoteIdentifier(table)));
        if (!st.status().ok()) {
            if (st.status().message.contains(QStringLiteral("no such table"))) {
                raiseProvider(errTableNotFound,
                              QStringLiteral("The Microsoft Jet database engine cannot find the "
                                             "input table or query '%1'.  Make sure it exists and "
                                             "that its name is spelled correctly.")
                                  .arg(table));
            }
            raiseEngine(st.status().message);
        }
        // Rows are written back by their row id. A view in the table's place, or a column of
        // its own named like the row id, would take every edit to no row (or to another one);
        // a trigger would do work of its own beside it. The program's own files have none.
        const auto ownRowidColumn = [&st] {
            for (int c = 1; c < st.columnCount(); ++c) {
                for (const char* alias : {"rowid", "_rowid_", "oid"}) {
                    // The engine matches names in any letter case.
                    if (st.columnName(c).compare(QLatin1String(alias), Qt::CaseInsensitive) == 0) {
                        return true;
                    }
                }
            }
            return false;
        };
        if (!connection->database().isRowidTable(table) || ownRowidColumn()) {
            raiseEngine(QStringLiteral("The data file '%1' cannot be used: '%2' is not an "
                                       "ordinary table, or a column of its own is named rowid, "
                                       "_rowid_ or oid.")
                            .arg(connection->dataSource(), table));
        }
        if (connection->database().holdsTriggers()) {
            raiseEngine(QStringLiteral("The data file '%1' cannot be used: it holds triggers.")
                            .arg(connection->dataSource()));
        }
        {
            // The largest row id bounds the row count at the cost of one descent of the table,
            // so the row list grows once rather than by repeated copies.
            detail::Statement top(
                connection->database(),
                QStringLiteral("SELECT max(rowid) FROM %1").arg(quoteIdentifier(table)));
            if (top.step()) {
                const qint64 most = std::clamp<qint64>(top.columnInt64(0), 0, 1 << 24);
                store->rows.reserve(static_cast<size_t>(most));
            }
        }
        store->cols = st.columnCount() - 1;
        for (int c = 1; c <= store->cols; ++c) {
            store->names << st.columnName(c);
        }
        store->keys.resize(static_cast<size_t>(store->cols));
        std::vector<const char*> cells(static_cast<size_t>(store->cols));
        std::vector<qint32> lens(static_cast<size_t>(store->cols));
        while (st.step()) {
            for (int c = 0; c < store->cols; ++c) {
                cells[static_cast<size_t>(c)] = st.columnUtf8(c + 1, lens[static_cast<size_t>(c)]);
            }
            store->append(st.columnInt64(0), cells.data(), lens.data());
        }
        if (!st.status().ok()) {
            raiseEngine(st.status().message);
        }
    }

    // Whatever was pending on the old content is dropped, as a rebuild does.
    m_store = std::move(store);
    m_conn = std::move(connection);
    m_source = source;
    m_table = table;
    m_open = true;
    m_sort.clear();
    m_filter.clear();
    m_criterion.reset();
    m_sortField = -1;
    m_sortDesc = false;
    m_editMode = adEditNone;
    m_editRow = -1;
    m_deleted = false;
    applySortOrder();
    rebuildView();
    m_cur = 0;
    emit rowsReset();
    setCurrent(0);
}

void Recordset::Close()
{
    requireOpen();
    if (m_editMode == adEditInProgress || m_editMode == adEditAdd) {
        raiseAdo(errIllegalOperation);
    }
    m_open = false;
    m_store = std::make_unique<Store>();
    m_order.clear();
    m_view.clear();
    m_criterion.reset();
    m_cur = -1;
    m_deleted = false;
    emit rowsReset();
    emit currentChanged(-1);
}

int Recordset::State() const
{
    return m_open ? adStateOpen : adStateClosed;
}

QString Recordset::Source() const
{
    return m_source;
}

std::shared_ptr<Connection> Recordset::ActiveConnection() const
{
    return m_conn;
}

void Recordset::setActiveConnection(std::shared_ptr<Connection> connection)
{
    m_conn = std::move(connection);
}

void Recordset::requireOpen() const
{
    if (!m_open) {
        raiseAdo(errObjectClosed);
    }
}

void Recordset::requireCurrent() const
{
    requireOpen();
    if (m_deleted || m_cur < 0 || m_cur >= static_cast<int>(m_view.size())) {
        raiseAdo(errNoCurrentRecord);
    }
}

// ---- Fields ---------------------------------------------------------------------------------

int Recordset::FieldCount() const
{
    requireOpen();
    return m_store->cols;
}

QStringList Recordset::fieldNames() const
{
    return m_store->names;
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_store->names.size(); ++i) {
        if (m_store->names[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

Field Recordset::Fields(const QString& name)
{
    requireOpen();
    const int i = fieldIndex(name);
    if (i < 0) {
        raiseAdo(errItemNotFound, kSourceFields);
    }
    return Field(this, i);
}

Field Recordset::Fields(int index)
{
    requireOpen();
    if (index < 0 || index >= m_store->cols) {
        raiseAdo(errItemNotFound, kSourceFields);
    }
    return Field(this, index);
}

QString Recordset::fieldValue(int index) const
{
    requireOpen();
    if (index < 0 || index >= m_store->cols) {
        raiseAdo(errItemNotFound, kSourceFields);
    }
    if (m_deleted) {
        return m_deletedValues[static_cast<size_t>(index)];
    }
    requireCurrent();
    return m_store->value(currentStoreRow(), index);
}

void Recordset::setFieldValue(int index, const QString& value)
{
    requireOpen();
    if (index < 0 || index >= m_store->cols) {
        raiseAdo(errItemNotFound, kSourceFields);
    }
    requireCurrent();
    const int row = currentStoreRow();
    std::vector<QString> values = m_store->values(row);
    if (m_editMode == adEditNone) {
        m_original = values;
        m_editRow = row;
        m_editMode = adEditInProgress;
    }
    values[static_cast<size_t>(index)] = value.isNull() ? QStringLiteral("") : value;
    m_store->assign(row, values);
    emit rowChanged(m_cur);
}

// ---- Sort and filter ------------------------------------------------------------------------

QString Recordset::Sort() const
{
    requireOpen();
    return m_sort;
}

void Recordset::setSort(const QString& sort)
{
    requireOpen();
    int field = -1;
    bool desc = false;
    if (!sort.trimmed().isEmpty()) {
        static const QRegularExpression re(QStringLiteral(R"(^\s*\[?(\w+)\]?(?:\s+(ASC|DESC))?\s*$)"),
                                           QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = re.match(sort);
        if (!m.hasMatch()) {
            raiseAdo(errInvalidArgument);
        }
        field = fieldIndex(m.captured(1));
        if (field < 0) {
            raiseAdo(errItemNotFound);
        }
        desc = m.captured(2).compare(QStringLiteral("DESC"), Qt::CaseInsensitive) == 0;
    }
    const int keep = m_deleted ? -1 : currentStoreRow();
    m_sort = sort;
    m_sortField = field;
    m_sortDesc = desc;
    applySortOrder();
    rebuildView();
    emit rowsReset();
    const int at = keep >= 0 ? viewIndexOf(keep) : -1;
    setCurrent(at >= 0 ? at : 0);
}

QString Recordset::Filter() const
{
    requireOpen();
    return m_filter;
}

void Recordset::setFilter(const QString& filter)
{
    requireOpen();
    std::unique_ptr<Criterion> criterion;
    if (!filter.trimmed().isEmpty()) {
        criterion = std::make_unique<Criterion>(parseCriterion(filter));
    }
    saveBeforeMove();
    m_filter = filter;
    m_criterion = std::move(criterion);
    rebuildView();
    emit rowsReset();
    setCurrent(0);
}

long Recordset::RecordCount() const
{
    requireOpen();
    return static_cast<long>(m_view.size());
}

Recordset::Criterion Recordset::parseCriterion(const QString& text) const
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*\[?(\w+)\]?\s*(?:(=)|\s(LIKE)\s)\s*'(.*)'\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch()) {
        raiseAdo(errInvalidArgument);
    }
    Criterion c;
    c.field = fieldIndex(m.captured(1));
    QString pattern = m.captured(4);
    if (c.field < 0 || pattern.contains(QLatin1Char('\''))) {
        raiseAdo(errInvalidArgument);
    }
    if (!m.captured(3).isEmpty()) {
        auto isWild = [](QChar ch) { return ch == QLatin1Char('*') || ch == QLatin1Char('%'); };
        const bool lead = !pattern.isEmpty() && isWild(pattern.front());
        if (lead) {
            pattern.remove(0, 1);
        }
        const bool trail = !pattern.isEmpty() && isWild(pattern.back());
        if (trail) {
            pattern.chop(1);
        }
        if (std::any_of(pattern.begin(), pattern.end(), isWild)) {
            raiseAdo(errInvalidArgument); // a wildcard inside the pattern is not supported
        }
        c.kind = lead && trail ? Criterion::Contains
            : lead             ? Criterion::Suffix
            : trail            ? Criterion::Prefix
                               : Criterion::Equal;
    }
    c.pattern = folded(pattern);
    return c;
}

bool Recordset::matches(const Criterion& c, int storeRow) const
{
    // The caller has built the field's keys.
    const Store::Keys& keys = m_store->keys[static_cast<size_t>(c.field)];
    if (keys.isNull(storeRow)) {
        return false;
    }
    const std::string_view s = keys.at(storeRow);
    switch (c.kind) {
    case Criterion::Equal:
        return s == c.pattern;
    case Criterion::Prefix:
        return s.substr(0, c.pattern.size()) == c.pattern;
    case Criterion::Suffix:
        return s.size() >= c.pattern.size() && s.substr(s.size() - c.pattern.size()) == c.pattern;
    case Criterion::Contains:
        return s.find(c.pattern) != std::string_view::npos;
    }
    return false;
}

void Recordset::applySortOrder()
{
    m_order.clear();
    m_order.reserve(m_store->rows.size());
    for (size_t r = 0; r < m_store->rows.size(); ++r) {
        if (m_store->rows[r].alive) {
            m_order.push_back(static_cast<int>(r));
        }
    }
    if (m_sortField < 0 || m_order.empty()) {
        return;
    }
    // A counting sort over the key ranks: stable, so ties keep the data source's order in both
    // directions.
    m_store->buildRanks(m_sortField);
    const Store::Keys& keys = m_store->keys[static_cast<size_t>(m_sortField)];
    const auto bucket = [&](int row) {
        const int rank = keys.rank[static_cast<size_t>(row)];
        return static_cast<size_t>(m_sortDesc ? keys.rankCount - 1 - rank : rank);
    };
    detail::LargeVector<int> starts(static_cast<size_t>(keys.rankCount) + 1, 0);
    for (int row : m_order) {
        ++starts[bucket(row) + 1];
    }
    for (size_t i = 1; i < starts.size(); ++i) {
        starts[i] += starts[i - 1];
    }
    detail::LargeVector<int> sorted(m_order.size());
    for (int row : m_order) {
        sorted[static_cast<size_t>(starts[bucket(row)]++)] = row;
    }
    m_order.swap(sorted);
}

void Recordset::rebuildView()
{
    if (!m_criterion) {
        m_view = m_order;
        return;
    }
    m_view.clear();
    m_store->buildKeys(m_criterion->field);
    const int pending = m_editMode != adEditNone ? m_editRow : -1;
    for (int r : m_order) {
        // A row being edited or added stays visible, as it does until the filter is set again.
        if (r == pending || matches(*m_criterion, r)) {
            m_view.push_back(r);
        }
    }
}

// ---- Position -------------------------------------------------------------------------------

int Recordset::currentStoreRow() const
{
    if (m_deleted || m_cur < 0 || m_cur >= static_cast<int>(m_view.size())) {
        return -1;
    }
    return m_view[static_cast<size_t>(m_cur)];
}

int Recordset::viewIndexOf(int storeRow) const
{
    const auto it = std::find(m_view.begin(), m_view.end(), storeRow);
    return it == m_view.end() ? -1 : static_cast<int>(it - m_view.begin());
}

int Recordset::currentIndex() const
{
    return m_open ? currentStoreRow() < 0 ? -1 : m_cur : -1;
}

void Recordset::setCurrent(int viewRow, bool deleted)
{
    const int n = static_cast<int>(m_view.size());
    m_cur = std::clamp(viewRow, -1, n);
    m_deleted = deleted;
    emit currentChanged(currentIndex());
}

bool Recordset::IsBOF() const
{
    requireOpen();
    if (m_deleted) {
        return false;
    }
    return m_view.empty() || m_cur < 0;
}

bool Recordset::IsEOF() const
{
    requireOpen();
    if (m_deleted) {
        return false;
    }
    return m_view.empty() || m_cur >= static_cast<int>(m_view.size());
}

long Recordset::AbsolutePosition() const
{
    requireOpen();
    if (m_deleted || m_view.empty()) {
        return adPosUnknown;
    }
    if (m_cur < 0) {
        return adPosBOF;
    }
    if (m_cur >= static_cast<int>(m_view.size())) {
        return adPosEOF;
    }
    return m_cur + 1;
}

void Recordset::setAbsolutePosition(long position)
{
    requireOpen();
    if (position < 1 || position > static_cast<long>(m_view.size())) {
        raiseAdo(errInvalidArgument);
    }
    if (!m_deleted && position - 1 == m_cur) {
        return;
    }
    saveBeforeMove();
    setCurrent(static_cast<int>(position - 1));
}

void Recordset::saveBeforeMove()
{
    if (m_editMode == adEditInProgress || m_editMode == adEditAdd) {
        Update();
    }
}

void Recordset::MoveFirst()
{
    requireOpen();
    saveBeforeMove();
    setCurrent(0);
}

void Recordset::MoveLast()
{
    requireOpen();
    saveBeforeMove();
    setCurrent(m_view.empty() ? 0 : static_cast<int>(m_view.size()) - 1);
}

void Recordset::MoveNext()
{
    Move(1);
}

void Recordset::MovePrevious()
{
    Move(-1);
}

void Recordset::Move(long rows)
{
    requireOpen();
    const long n = static_cast<long>(m_view.size());
    if (!m_deleted && ((rows > 0 && IsEOF()) || (rows < 0 && IsBOF()))) {
        raiseAdo(errNoCurrentRecord);
    }
    if (rows == 0) {
        return;
    }
    saveBeforeMove();
    // On a deleted row, m_cur is where the following row now sits.
    const long from = m_deleted && rows > 0 ? m_cur - 1 : m_cur;
    const long to = std::clamp(from + rows, -1L, n);
    setCurrent(static_cast<int>(to));
}

void Recordset::Find(const QString& criteria, long skipRows, int direction)
{
    requireOpen();
    const Criterion c = parseCriterion(criteria);
    saveBeforeMove();
    const int n = static_cast<int>(m_view.size());
    const int step = direction == adSearchBackward ? -1 : 1;
    int i = m_cur;
    if (m_deleted && step < 0) {
        i = m_cur - 1;
    } else if (!m_deleted) {
        i = m_cur < 0 ? 0 : m_cur >= n ? n - 1 : m_cur;
        if (m_cur < 0 && step < 0) {
            i = -1;
        }
        if (m_cur >= n && step > 0) {
            i = n;
        }
    }
    i += static_cast<int>(skipRows) * step;
    m_store->buildKeys(c.field);
    for (; i >= 0 && i < n; i += step) {
        if (matches(c, m_view[static_cast<size_t>(i)])) {
            setCurrent(i);
            return;
        }
    }
    setCurrent(step > 0 ? n : -1);
}

// ---- Editing --------------------------------------------------------------------------------

int Recordset::EditMode() const
{
    requireOpen();
    return m_deleted ? adEditDelete : m_editMode;
}

void Recordset::AddNew()
{
    requireOpen();
    saveBeforeMove();
    const int before = currentStoreRow();
    std::vector<const char*> cells(static_cast<size_t>(m_store->cols), nullptr);
    std::vector<qint32> lens(static_cast<size_t>(m_store->cols), 0);
    const int row = m_store->append(0, cells.data(), lens.data());
    m_order.push_back(row);
    m_view.push_back(row);
    const int at = static_cast<int>(m_view.size()) - 1;
    m_editMode = adEditAdd;
    m_editRow = row;
    m_beforeAdd = before;
    m_original.clear();
    emit rowInserted(at);
    setCurrent(at);
}

void Recordset::writeRow(int storeRow)
{
    if (!m_conn || m_conn->State() != adStateOpen) {
        return; // a detached recordset keeps its changes in memory
    }
    detail::Database& db = m_conn->database();
    const std::vector<QString> values = m_store->values(storeRow);
    QStringList cols;
    std::vector<QString> binds;
    if (m_editMode == adEditAdd) {
        for (int c = 0; c < m_store->cols; ++c) {
            if (!values[static_cast<size_t>(c)].isNull()) {
                cols << quoteIdentifier(m_store->names[c]);
                binds.push_back(values[static_cast<size_t>(c)]);
            }
        }
        // OR ABORT: a column of the file's own declared to replace on a conflict would
        // otherwise delete the other account in silence; this way the write fails instead.
        const QString sql = cols.isEmpty()
            ? QStringLiteral("INSERT OR ABORT INTO %1 DEFAULT VALUES").arg(quoteIdentifier(m_table))
            : QStringLiteral("INSERT OR ABORT INTO %1 (%2) VALUES (%3)")
                  .arg(quoteIdentifier(m_table), cols.join(QLatin1Char(',')),
                       QStringList(cols.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        detail::Statement st(db, sql);
        for (size_t i = 0; i < binds.size(); ++i) {
            st.bindText(static_cast<int>(i) + 1, binds[i]);
        }
        stepOneRow(st);
        m_store->rows[static_cast<size_t>(storeRow)].rowid = db.lastInsertRowid();
        return;
    }
    for (int c = 0; c < m_store->cols; ++c) {
        const QString& now = values[static_cast<size_t>(c)];
        const QString& was = m_original[static_cast<size_t>(c)];
        if (now != was || now.isNull() != was.isNull()) {
            cols << quoteIdentifier(m_store->names[c]) + QStringLiteral("=?");
            binds.push_back(now);
        }
    }
    if (cols.isEmpty()) {
        return;
    }
    detail::Statement st(db, QStringLiteral("UPDATE OR ABORT %1 SET %2 WHERE rowid=?")
                                 .arg(quoteIdentifier(m_table), cols.join(QLatin1Char(','))));
    for (size_t i = 0; i < binds.size(); ++i) {
        st.bindText(static_cast<int>(i) + 1, binds[i]);
    }
    st.bindInt64(static_cast<int>(binds.size()) + 1, m_store->rows[static_cast<size_t>(storeRow)].rowid);
    stepOneRow(st);
}

void Recordset::stepOneRow(detail::Statement& st) const
{
    // A write of one record that changes no row (the row is gone from the file) or more than
    // one must not pass for saved, nor leave what it did: it runs in a transaction of its own
    // that is rolled back unless exactly one row changed.
    detail::Database& db = m_conn->database();
    const detail::Status begun = db.exec(QStringLiteral("BEGIN"));
    if (!begun.ok()) {
        raiseEngine(begun.message);
    }
    st.step();
    const bool failed = !st.status().ok();
    if (failed || db.changes() != 1) {
        // An error that already ended the transaction leaves nothing to roll back; that is as
        // good.
        db.exec(QStringLiteral("ROLLBACK"));
        if (failed) {
            raiseEngine(st.status().message);
        }
        raiseProvider(errRowNotFound, adoErrorText(errRowNotFound));
    }
    const detail::Status done = db.exec(QStringLiteral("COMMIT"));
    if (!done.ok()) {
        db.exec(QStringLiteral("ROLLBACK"));
        raiseEngine(done.message);
    }
}

void Recordset::Update()
{
    requireOpen();
    if (m_deleted) {
        raiseAdo(errNoCurrentRecord);
    }
    if (m_editMode == adEditNone) {
        return;
    }
    writeRow(m_editRow);
    const int row = m_editRow;
    m_editMode = adEditNone;
    m_editRow = -1;
    m_original.clear();
    const int at = viewIndexOf(row);
    if (at >= 0) {
        emit rowChanged(at);
    }
}

void Recordset::removeFromView(int storeRow)
{
    const int at = viewIndexOf(storeRow);
    if (at >= 0) {
        emit rowAboutToBeRemoved(at);
    }
    m_store->rows[static_cast<size_t>(storeRow)].alive = false;
    m_order.erase(std::remove(m_order.begin(), m_order.end(), storeRow), m_order.end());
    if (at >= 0) {
        m_view.erase(m_view.begin() + at);
        if (m_cur > at) {
            --m_cur;
        }
        emit rowRemoved(at);
    }
}

void Recordset::dropNewRow()
{
    const int row = m_editRow;
    m_editMode = adEditNone;
    m_editRow = -1;
    removeFromView(row);
    const int back = m_beforeAdd >= 0 ? viewIndexOf(m_beforeAdd) : -1;
    setCurrent(back >= 0 ? back : static_cast<int>(m_view.size()));
}

void Recordset::CancelUpdate()
{
    requireOpen();
    if (m_editMode == adEditAdd) {
        dropNewRow();
    } else if (m_editMode == adEditInProgress) {
        const int row = m_editRow;
        m_store->assign(row, m_original);
        m_editMode = adEditNone;
        m_editRow = -1;
        m_original.clear();
        const int at = viewIndexOf(row);
        if (at >= 0) {
            emit rowChanged(at);
        }
    }
}

void Recordset::Delete()
{
    requireCurrent();
    if (m_editMode == adEditAdd) {
        dropNewRow();
        return;
    }
    const int row = currentStoreRow();
    if (m_conn && m_conn->State() == adStateOpen) {
        detail::Statement st(m_conn->database(),
                             QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoteIdentifier(m_table)));
        st.bindInt64(1, m_store->rows[static_cast<size_t>(row)].rowid);
        stepOneRow(st); // on failure the row and its pending edit stay as they were
    }
    if (m_editMode == adEditInProgress) {
        m_store->assign(row, m_original);
    }
    m_editMode = adEditNone;
    m_editRow = -1;
    m_original.clear();
    m_deletedValues = m_store->values(row);
    const int at = m_cur;
    m_deleted = true;
    removeFromView(row);
    m_cur = at;
    emit currentChanged(-1);
}

// ---- View access ----------------------------------------------------------------------------

int Recordset::viewCount() const
{
    return m_open ? static_cast<int>(m_view.size()) : 0;
}

QString Recordset::viewValue(int viewRow, int field) const
{
    if (!m_open || viewRow < 0 || viewRow >= static_cast<int>(m_view.size()) || field < 0
        || field >= m_store->cols) {
        return {};
    }
    return m_store->value(m_view[static_cast<size_t>(viewRow)], field);
}

} // namespace ado
