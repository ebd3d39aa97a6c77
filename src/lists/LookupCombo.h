#pragma once

#include <QComboBox>

class QToolButton;

// An editable, sorted drop-down of a lookup list ("cboTitle", "cboOffice"): the
// attendee's field holds the text; the list of the table named by tag() only
// offers choices. Typing never adds to the list by itself (Enter inserts
// nothing): only the lookup lists do, after asking. The delete button beside
// the box is made here and reports its index.
class LookupCombo : public QComboBox
{
    Q_OBJECT
public:
    // `tableName` is the lookup table ("Title", "Office"); the delete button is
    // made as "cmdDelFromList_<deleteIndex>".
    LookupCombo(const QString &objectName, const QString &tableName, int deleteIndex, QWidget *parent = nullptr);

    // The lookup table's name ("Tag").
    QString tag() const { return m_tag; }
    QToolButton *deleteButton() const { return m_deleteButton; }

signals:
    // cmdDelFromList_Click(index)
    void deleteClicked(int index);
    // The focus left the box for another control of the window (Validate); not
    // when the box opens its own list, a menu opens, or the window loses focus.
    void validate();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString m_tag;
    QToolButton *m_deleteButton = nullptr;
};
