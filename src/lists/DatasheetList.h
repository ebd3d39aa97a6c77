#pragma once

#include <QPoint>
#include <QTreeWidget>

// "lstEveryone": the datasheet of every attendee of the event, one line each
// with the columns "Name", "Address", "City/State/Zip/County" and "Chapter",
// laid over the form (hidden in form view). Each line's "Tag" (Qt::UserRole of
// column 0) is the bookmark of its attendee. The texts cannot be edited; a
// click on a header sorts ascending by that column (every click, no reverse),
// comparing the shown texts without regard to letter case.
//
// Mouse and keyboard: a click (or moving the current line with the keys) picks a
// line; a double click anywhere on the list, or Enter on a line, asks for the
// form view.
class DatasheetList : public QTreeWidget
{
    Q_OBJECT
public:
    explicit DatasheetList(QWidget *parent = nullptr);

    // Keeps the list over its parent from `topLeft` to the right edge and to
    // `bottomMargin` pixels above the bottom edge, as the parent is resized.
    void placeOver(QPoint topLeft, int bottomMargin);

    static constexpr int TagRole = Qt::UserRole;

signals:
    void itemPicked(QTreeWidgetItem *item); // lstEveryone_ItemClick
    void dblClick();                        // lstEveryone_DblClick
    void columnClick(int column);           // lstEveryone_ColumnClick

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followParent();

    QPoint m_topLeft;
    int m_bottomMargin = 0;
    bool m_placed = false;
};

// A line of the datasheet: sorts by its shown text without regard to letter case.
class DatasheetItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem &other) const override;
};
