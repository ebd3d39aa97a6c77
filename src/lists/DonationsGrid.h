#pragma once

#include <QTableView>

// "grdDonors": the donations grid. Arrow keys move between cells; Tab and
// Shift+Tab move from cell to cell, wrapping to the next (previous) row, and
// leave the grid after its last (before its first) cell, so the keyboard is
// never trapped. Leaving a row, or leaving the grid for another control of the
// window, writes the row's pending change (the model's submit()). On a grid whose
// rows accept no changes (a read-only database) an attempt to edit a cell (typing,
// F2, a double click) opens no editor and is reported (editRefused).
class DonationsGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DonationsGrid(QWidget *parent = nullptr);

    // Puts the text of the cell editor that is open (and has the focus) into its cell.
    void commitOpenEditor();
    // Closes that editor without putting its text anywhere.
    void discardOpenEditor();
    // The cell editor that is open and has the focus, or nullptr.
    QWidget *openEditor() const;
    // A cell editor is open (with the focus or not).
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

signals:
    // The user tried to edit a cell of rows that accept no changes.
    void editRefused();

protected:
    bool focusNextPrevChild(bool next) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

private:
    bool atEdge(bool next) const;
    QWidget *editorOf(QWidget *part) const;
    void focusChanged(QWidget *old, QWidget *now);
};
