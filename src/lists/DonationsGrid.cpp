#include "DonationsGrid.h"

#include "data/RecordsetModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

DonationsGrid::DonationsGrid(QWidget *parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("grdDonors"));
    setAccessibleName(QStringLiteral("Donations & Fees"));
    setTabKeyNavigation(true);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    // The grid wears the system's information (tooltip) background and the window's text colour.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    setPalette(palette);
    connect(qApp, &QApplication::focusChanged, this, &DonationsGrid::focusChanged);
}

QWidget *DonationsGrid::openEditor() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus && viewport()->isAncestorOf(focus) ? focus : nullptr;
}

QWidget *DonationsGrid::editorOf(QWidget *part) const
{
    // An editor's own parts (a date box's line edit) stand for the editor itself.
    while (part && part->parentWidget() != viewport())
        part = part->parentWidget();
    return part;
}

void DonationsGrid::commitOpenEditor()
{
    if (QWidget *editor = editorOf(openEditor()))
        commitData(editor);
}

void DonationsGrid::discardOpenEditor()
{
    if (QWidget *editor = editorOf(openEditor()))
        closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool DonationsGrid::atEdge(bool next) const
{
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid())
        return false;
    const int lastRow = model()->rowCount() - 1;
    const int lastColumn = model()->columnCount() - 1;
    return next ? (current.row() >= lastRow && current.column() >= lastColumn)
                : (current.row() <= 0 && current.column() <= 0);
}

bool DonationsGrid::focusNextPrevChild(bool next)
{
    if (atEdge(next))
        return QWidget::focusNextPrevChild(next);
    return QTableView::focusNextPrevChild(next);
}

QModelIndex DonationsGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // Tab past the last cell does not wrap to the first: the focus leaves the grid instead.
    if ((cursorAction == MoveNext && atEdge(true)) || (cursorAction == MovePrevious && atEdge(false)))
        return QModelIndex();
    return QTableView::moveCursor(cursorAction, modifiers);
}

void DonationsGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // Leaving a row writes it, as the grid's current row is the recordset's.
    if (model() && previous.isValid() && current.row() != previous.row())
        model()->submit();
}

bool DonationsGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const auto *records = qobject_cast<const RecordsetModel *>(model());
    if (records && records->isReadOnly()) {
        const auto *key = event && event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent *>(event) : nullptr;
        const bool typed = trigger == AnyKeyPressed && key && !key->text().isEmpty() && key->text().at(0).isPrint();
        if (typed || trigger == EditKeyPressed || trigger == DoubleClicked) {
            emit editRefused();
            return true;
        }
    }
    return QTableView::edit(index, trigger, event);
}

void DonationsGrid::focusChanged(QWidget *old, QWidget *now)
{
    // Only a move to another control of this window: not into an editor of ours, a
    // pop-up (a date's calendar, a list), a message box or another window.
    if (!old || !now || !model() || now->window() != window() || (now->windowFlags() & Qt::Popup) == Qt::Popup)
        return;
    const bool wasInside = old == this || isAncestorOf(old);
    const bool isInside = now == this || isAncestorOf(now);
    if (!wasInside || isInside)
        return;
    if (viewport()->isAncestorOf(old))
        commitData(editorOf(old));
    model()->submit();
}
