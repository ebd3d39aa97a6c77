#pragma once

#include <QComboBox>

class QToolButton;

// An editable, sorted drop-down of a lookup list ("cboTitle", "cboOffice"): the
// attendee's field holds the text; the list of the table named by tag() only
// offers choices. Adding and deleting list values belong to the lookup lists;
// the delete button beside the box is in place and does nothing yet.
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

private:
    QString m_tag;
    QToolButton *m_deleteButton = nullptr;
};
