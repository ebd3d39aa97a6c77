#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// The in-cell editors of the donations grid, one delegate per kind of column.

// "Amount": typed in the user's locale ("1.234,50" in Germany), without the
// currency sign; only digits, the sign and the locale's separators are taken.
// An amount that does not read as one leaves the cell as it was.
class AmountDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

    // The locale's text of an amount as the recordset takes it ("1234.50"); empty when it is none.
    static QString plainAmount(const QString &localeText, const QLocale &locale);
};

// A drop-down list without typing ("cboPaid": "No", "Yes"; "cboPayType": "Cash",
// "Check"). A choice goes into the cell at once. With `positions`, the cell
// takes the list position (0 for "No", 1 for "Yes"); otherwise the item's text.
// A cell value that is not an item leaves the list without a choice.
class ChoiceDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    ChoiceDelegate(const QString &editorName, const QString &accessibleName, const QStringList &items,
                   bool positions, QObject *parent = nullptr);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QString m_editorName;
    QString m_accessibleName;
    QStringList m_items;
    bool m_positions;
};

// A date: typed in the locale's short format (four-digit year), or picked in the
// calendar "cal" that the editor's button drops down; a click on a date puts it
// into the cell. An empty cell starts at today.
class DateDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    DateDelegate(const QString &accessibleName, QObject *parent = nullptr);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QString m_accessibleName;
};
