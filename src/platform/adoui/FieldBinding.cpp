#include "platform/adoui/FieldBinding.h"

#include "platform/ado/Recordset.h"
#include "platform/adoui/DataControl.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace adoui {

FieldBinding::FieldBinding(QLineEdit* box) : QObject(box)
{
    init(box);
    m_maxLength = box->maxLength();
    connect(box, &QLineEdit::textChanged, this, &FieldBinding::onBoxChanged);
}

FieldBinding::FieldBinding(QTextEdit* box) : QObject(box)
{
    init(box);
    trackEdits(box->document());
    connect(box, &QTextEdit::textChanged, this, &FieldBinding::onBoxChanged);
}

FieldBinding::FieldBinding(QPlainTextEdit* box) : QObject(box)
{
    init(box);
    trackEdits(box->document());
    connect(box, &QPlainTextEdit::textChanged, this, &FieldBinding::onBoxChanged);
}

void FieldBinding::init(QWidget* box)
{
    m_box = box;
    setObjectName(box->objectName() + QStringLiteral("_binding"));
}

void FieldBinding::trackEdits(QTextDocument* doc)
{
    m_document = doc;
    // Sent before the box's change signal: where the change that may overrun the limit ends.
    connect(doc, &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { m_editEnd = position + added; });
}

void FieldBinding::setDataSource(DataControl* control)
{
    if (m_control) {
        disconnect(m_control, nullptr, this, nullptr);
    }
    m_control = control;
    if (control) {
        connect(control, &DataControl::recordsetChanged, this, &FieldBinding::attach);
    }
    attach(control ? control->Recordset() : nullptr);
}

DataControl* FieldBinding::DataSource() const
{
    return m_control;
}

QString FieldBinding::DataField() const
{
    return m_field;
}

void FieldBinding::setDataField(const QString& field)
{
    m_field = field;
    refresh();
}

bool FieldBinding::DataChanged() const
{
    return m_dataChanged;
}

void FieldBinding::setDataChanged(bool changed)
{
    m_dataChanged = changed;
    if (changed) {
        onBoxChanged();
    }
}

QWidget* FieldBinding::box() const
{
    return m_box;
}

int FieldBinding::maxLength() const
{
    return m_maxLength;
}

void FieldBinding::setMaxLength(int chars)
{
    m_maxLength = std::max(chars, 0);
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        line->setMaxLength(std::max(m_maxLength, static_cast<int>(line->text().size())));
    }
}

void FieldBinding::attach(ado::Recordset* rs)
{
    for (const auto& link : std::as_const(m_links)) {
        disconnect(link);
    }
    m_links.clear();
    m_rs = rs;
    if (rs) {
        m_links << connect(rs, &ado::Recordset::currentChanged, this, &FieldBinding::refresh)
                << connect(rs, &ado::Recordset::rowsReset, this, &FieldBinding::refresh)
                << connect(rs, &ado::Recordset::rowChanged, this, &FieldBinding::onRowChanged);
    }
    refresh();
}

QString FieldBinding::boxText() const
{
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        return line->text();
    }
    if (auto* rich = qobject_cast<QTextEdit*>(m_box)) {
        return rich->toPlainText();
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(m_box)) {
        return plain->toPlainText();
    }
    return {};
}

void FieldBinding::setBoxText(const QString& text)
{
    if (!m_box || boxText() == text) {
        return; // leaves the caret where the user is typing
    }
    m_showing = true;
    m_shownLength = static_cast<int>(text.size());
    if (auto* line = qobject_cast<QLineEdit*>(m_box)) {
        // A line box cuts what it is given to its limit; a longer stored value must not be cut.
        const int limit = m_maxLength > 0 ? std::max(m_maxLength, m_shownLength) : 32767;
        if (limit > line->maxLength()) {
            line->setMaxLength(limit);
        }
        line->setText(text);
        line->setMaxLength(limit);
        line->setCursorPosition(0);
    } else if (auto* rich = qobject_cast<QTextEdit*>(m_box)) {
        rich->setPlainText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(m_box)) {
        plain->setPlainText(text);
    }
    m_showing = false;
}

void FieldBinding::refresh()
{
    onRowChanged(-1);
    m_dataChanged = false;
}

void FieldBinding::onRowChanged(int viewRow)
{
    if (!m_rs || m_field.isEmpty() || m_rs->State() != 1) {
        return;
    }
    if (viewRow >= 0 && viewRow != m_rs->currentIndex()) {
        return;
    }
    const int field = m_rs->fieldIndex(m_field);
    if (field < 0) {
        return;
    }
    try {
        const bool onRow = m_rs->currentIndex() >= 0 || m_rs->EditMode() == ado::adEditDelete;
        setBoxText(onRow ? m_rs->fieldValue(field) : QString());
    } catch (const vb::Error&) {
        // No row to show: the box keeps its text.
    }
}

void FieldBinding::cutToLimit(qsizetype excess)
{
    // What went past the limit is dropped from the end of what was just typed or pasted, so
    // the text that was in the box before stays whole. The change signal this sends comes
    // back here with a text that fits.
    const auto length = static_cast<int>(boxText().size());
    const int end = std::clamp(m_editEnd, static_cast<int>(excess), length);
    QTextCursor cut(m_document);
    cut.setPosition(end - static_cast<int>(excess));
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
}

void FieldBinding::onBoxChanged()
{
    if (m_showing) {
        return;
    }
    if (m_document && m_maxLength > 0) {
        const qsizetype excess = boxText().size() - std::max(m_maxLength, m_shownLength);
        if (excess > 0) {
            cutToLimit(excess);
            return;
        }
    }
    m_dataChanged = true;
    if (!m_rs || m_field.isEmpty() || m_rs->State() != 1 || m_rs->currentIndex() < 0) {
        return;
    }
    const int field = m_rs->fieldIndex(m_field);
    if (field < 0) {
        return;
    }
    try {
        if (m_rs->fieldValue(field) != boxText()) {
            m_rs->setFieldValue(field, boxText());
        }
    } catch (const vb::Error&) {
        // The row cannot take the text (deleted or closed); it stays as it was.
    }
}

} // namespace adoui
