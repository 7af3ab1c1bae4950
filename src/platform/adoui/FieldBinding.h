// Binds an edit box to one field of a data control's current row.
#pragma once

#include <QObject>
#include <QPointer>

class QLineEdit;
class QTextEdit;
class QPlainTextEdit;
class QTextDocument;
class QWidget;

namespace ado {
class Recordset;
}

namespace adoui {

class DataControl;

/// The bound-control behaviour of a text box: the box shows the current row's field whenever the
/// current row changes (the binding's own setting of the text is not written back, but other
/// listeners of the box's change signal do see it), and any other change of the box's text,
/// typed or assigned by code, is written into the current row (EditMode 1) and sets DataChanged.
/// Errors while writing (no current row, closed recordset) leave the row untouched.
/// A shown value starts at its first character. The box's length limit applies to what the
/// user types: a stored value longer than the limit is shown whole and kept unless shortened.
class FieldBinding : public QObject
{
    Q_OBJECT

public:
    explicit FieldBinding(QLineEdit* box);
    explicit FieldBinding(QTextEdit* box);
    explicit FieldBinding(QPlainTextEdit* box);

    /// Binds to a data control (nullptr: "data source set to none"; the box keeps its text).
    void setDataSource(DataControl* control);
    DataControl* DataSource() const;
    QString DataField() const;
    void setDataField(const QString& field);

    /// True when the box's text was changed since the binding last showed a row.
    bool DataChanged() const;
    /// Setting True writes the box's present text into the current row.
    void setDataChanged(bool changed);

    QWidget* box() const;

    /// The most characters the user may type into the box (a line box's own limit by default).
    int maxLength() const;
    void setMaxLength(int chars);

    /// Shows the current row's field in the box now.
    void refresh();

private:
    void init(QWidget* box);
    void attach(ado::Recordset* rs);
    QString boxText() const;
    void setBoxText(const QString& text);
    void onBoxChanged();
    void onRowChanged(int viewRow);
    void trackEdits(QTextDocument* doc);
    /// Drops `excess` characters of a multi-line box's latest change.
    void cutToLimit(qsizetype excess);

    QPointer<QWidget> m_box;
    QPointer<DataControl> m_control;
    QPointer<ado::Recordset> m_rs;
    QString m_field;
    bool m_dataChanged = false;
    bool m_showing = false;
    int m_maxLength = 0;   // 0: no limit
    int m_shownLength = 0; // length of the value last shown
    QPointer<QTextDocument> m_document; // a multi-line box's text
    int m_editEnd = 0;                  // where its latest change ended
    QList<QMetaObject::Connection> m_links;
};

} // namespace adoui
