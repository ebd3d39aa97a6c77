#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QFormLayout;

// The field each column of a file fills: one line per column, the column's header
// as the caption (buddy of its box) and a box of the fields and "ignored",
// preset with the guess. Choosing a field another column had sets that column to
// "ignored": each field is filled by one column at most.
class ColumnChoices : public QWidget
{
    Q_OBJECT
public:
    explicit ColumnChoices(QWidget *parent = nullptr);

    // One line per header, preset to `fields` (an empty name: ignored).
    void setColumns(const QStringList &header, const QStringList &fields);
    // The field name each column fills now (empty: ignored).
    QStringList mapping() const;
    QComboBox *box(int column) const { return m_boxes.value(column); }
    static QString caption(const QString &field); // "First Name", "ignored"

signals:
    void mappingChanged();

private:
    void chosen(int column);

    QFormLayout *m_form;
    QList<QComboBox *> m_boxes;
};
