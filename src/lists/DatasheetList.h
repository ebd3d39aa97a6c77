#pragma once

#include <QList>
#include <QPoint>
#include <QTreeView>

class DatasheetModel;

// "lstEveryone": the datasheet of every attendee of the event, one line each
// (DatasheetModel: read as the lines are shown, so 100,000 attendees open at
// once), laid over the form (hidden in form view). The texts cannot be edited;
// a click on a header sorts ascending by that column (every click, no reverse)
// through the database. Several lines can be selected (Shift, Ctrl, Ctrl+A).
//
// Mouse and keyboard: a click (or moving the current line with the keys) picks a
// line; a double click anywhere on the list, or Enter on a line, asks for the
// form view.
class DatasheetList : public QTreeView
{
    Q_OBJECT
public:
    explicit DatasheetList(QWidget *parent = nullptr);

    // Keeps the list over its parent from `topLeft` to the right edge and to
    // `bottomMargin` pixels above the bottom edge, as the parent is resized.
    void placeOver(QPoint topLeft, int bottomMargin);

    // Shows `model`'s lines (owned by the list from now on); nullptr empties it.
    void setSheet(DatasheetModel *model);
    DatasheetModel *sheet() const { return m_sheet; }
    // The keys of the attendees of the selected lines, in key order.
    QList<qint64> selectedKeys() const;

    static constexpr int TagRole = Qt::UserRole;

signals:
    void rowPicked(int row);      // lstEveryone_ItemClick
    void dblClick();              // lstEveryone_DblClick
    void columnClick(int column); // lstEveryone_ColumnClick

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followParent();

    DatasheetModel *m_sheet = nullptr;
    QPoint m_topLeft;
    int m_bottomMargin = 0;
    bool m_placed = false;
};
