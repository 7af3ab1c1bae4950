// ADO's client-side Recordset over one table of the data file: rows in memory, Sort, Filter, Find.
#pragma once

#include "platform/ado/LargeAllocator.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

namespace ado {

namespace detail {
class Statement;
}
class Connection;
class Recordset;

/// EditMode values.
inline constexpr int adEditNone = 0;
inline constexpr int adEditInProgress = 1;
inline constexpr int adEditAdd = 2;
inline constexpr int adEditDelete = 4;

/// AbsolutePosition values when there is no numbered current row.
inline constexpr long adPosUnknown = -1;
inline constexpr long adPosBOF = -2;
inline constexpr long adPosEOF = -3;

/// Find directions.
inline constexpr int adSearchForward = 1;
inline constexpr int adSearchBackward = -1;

/// One field of the current row (a light handle; valid while its recordset lives).
class Field
{
public:
    QString Name() const;
    /// The current row's value (a null QString for a NULL field).
    QString Value() const;
    /// Assigns the value into the current row; the row enters edit mode 1 (or stays in 2).
    void setValue(const QString& value);

private:
    friend class Recordset;
    Field(Recordset* rs, int index) : m_rs(rs), m_index(index) {}
    Recordset* m_rs;
    int m_index;
};

/// A client cursor over a whole table. One SELECT loads every row; Sort and Filter rearrange a
/// view of those rows without touching the file; AddNew/Update/Delete write through at once.
/// The current row is reported as an index into the present view (0-based, -1 when BOF/EOF or
/// on a deleted row). Every operation on a closed recordset raises 3704.
class Recordset : public QObject
{
    Q_OBJECT

public:
    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    /// Opens "Select * from <table>" (or a bare table name) over an open connection; any earlier
    /// content is dropped, pending edits included. Sort and Filter are cleared.
    void Open(const QString& source, std::shared_ptr<Connection> connection);
    /// Closes; raises 3219 while an edit or a new row is pending.
    void Close();
    int State() const;
    QString Source() const;

    std::shared_ptr<Connection> ActiveConnection() const;
    /// Sets or (with nullptr) detaches the connection. A detached open recordset keeps its rows.
    void setActiveConnection(std::shared_ptr<Connection> connection);

    // Fields of the current row, by name (case-insensitive) or 0-based ordinal.
    int FieldCount() const;
    QStringList fieldNames() const;
    /// Ordinal of a field name (case-insensitive); -1 when the table has no such field.
    int fieldIndex(const QString& name) const;
    Field Fields(const QString& name);
    Field Fields(int index);
    QString fieldValue(int index) const;
    void setFieldValue(int index, const QString& value);

    // Order and filter.
    /// "Field", "Field ASC" or "Field DESC" ("" for the data source's order); reading gives back
    /// the text last set. The current row stays current; a pending edit stays pending.
    QString Sort() const;
    void setSort(const QString& sort);
    /// "" or "Field LIKE 'pattern'" / "Field = 'text'" with "*" or "%" at the start and/or end;
    /// matching ignores case. Malformed criteria or an apostrophe in the pattern raise 3001.
    /// A pending edit is saved first; the first passing row becomes current.
    QString Filter() const;
    void setFilter(const QString& filter);
    /// The rows passing the filter.
    long RecordCount() const;

    // Position.
    bool IsBOF() const;
    bool IsEOF() const;
    /// 1-based position in the view; adPosBOF / adPosEOF / adPosUnknown otherwise.
    long AbsolutePosition() const;
    /// Moves to a 1-based position; outside 1..RecordCount raises 3001.
    void setAbsolutePosition(long position);
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    /// Moves `rows` forward (negative: back) from the current row; clamps at BOF/EOF.
    void Move(long rows);
    /// Searches from the current row (skipping `skipRows`) in `direction` for the first row
    /// meeting one "Field LIKE 'pattern'" / "Field = 'text'" criterion; EOF (BOF backwards)
    /// when none does.
    void Find(const QString& criteria, long skipRows = 0, int direction = adSearchForward);

    // Editing. Moving off an edited or added row saves it first (as ADO does).
    void AddNew();
    /// Writes the pending edit or new row to the file; nothing when no edit is pending.
    void Update();
    /// Drops the pending edit or new row.
    void CancelUpdate();
    /// Deletes the current row from the file at once; it stays current, EditMode 4, until a move.
    void Delete();
    int EditMode() const;

    // The view, for the grid model.
    /// Number of rows in the present view (= RecordCount, while open).
    int viewCount() const;
    /// The value at a view row and field ordinal; empty when out of range.
    QString viewValue(int viewRow, int field) const;
    /// The view index of the current row; -1 when none (BOF, EOF, deleted, closed).
    int currentIndex() const;

signals:
    /// The current row changed (view index or -1).
    void currentChanged(int viewRow);
    /// Values of a view row changed (edit, update, cancel).
    void rowChanged(int viewRow);
    /// The whole view changed (open, close, sort, filter).
    void rowsReset();
    /// A row was inserted into the view at viewRow (AddNew).
    void rowInserted(int viewRow);
    /// A row is about to leave the view (still present while this is emitted).
    void rowAboutToBeRemoved(int viewRow);
    /// A row left the view (Delete, cancelled AddNew).
    void rowRemoved(int viewRow);

private:
    friend class Field;
    struct Store;
    struct Criterion;

    void requireOpen() const;
    void requireCurrent() const;
    void saveBeforeMove();
    void setCurrent(int viewRow, bool deleted = false);
    void rebuildView();
    void applySortOrder();
    Criterion parseCriterion(const QString& text) const;
    bool matches(const Criterion& c, int storeRow) const;
    void writeRow(int storeRow);
    int currentStoreRow() const;
    int viewIndexOf(int storeRow) const;
    void removeFromView(int storeRow);
    void dropNewRow();
    [[noreturn]] void raiseEngine(const QString& message) const;
    /// Runs a write of one record: raises the engine's error, or errRowNotFound when it changed
    /// anything but exactly one row, and then the file is as it was before.
    void stepOneRow(detail::Statement& st) const;

    std::unique_ptr<Store> m_store;
    std::shared_ptr<Connection> m_conn;
    QString m_source;
    QString m_table;
    bool m_open = false;
    QString m_sort;
    QString m_filter;
    std::unique_ptr<Criterion> m_criterion;
    int m_sortField = -1;
    bool m_sortDesc = false;
    detail::LargeVector<int> m_order; // all live store rows in sort order
    detail::LargeVector<int> m_view;  // rows passing the filter, in sort order
    int m_cur = -1;            // view index; -1 BOF; m_view.size() EOF
    bool m_deleted = false;    // current row was deleted; m_cur is where the next row sits
    int m_editMode = adEditNone;
    int m_editRow = -1;        // store row being edited or added
    int m_beforeAdd = -1;      // store row current before AddNew
    std::vector<QString> m_original; // values of m_editRow before the edit
    std::vector<QString> m_deletedValues;
};

} // namespace ado
