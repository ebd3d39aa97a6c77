#include "DatasheetView.h"

#include "DatasheetList.h"
#include "DatasheetModel.h"
#include "bindings/DataControl.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/AttendeeSheet.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

const QString ViewAll = QStringLiteral("View All");
const QString ViewRec = QStringLiteral("View Rec");
const QString DatasheetCaption = QStringLiteral("Datasheet View");
const QString FormCaption = QStringLiteral("Form View");

} // namespace
DatasheetView::DatasheetView(QWidget *window, DatasheetList *list, DataControl *data, QAction *mnuViewAll,
                             QAction *toolButton, std::function<QIcon(const QString &)> images)
    : QObject(window)
    , m_window(window)
    , m_list(list)
    , m_data(data)
    , m_mnuViewAll(mnuViewAll)
    , m_toolButton(toolButton)
    , m_images(std::move(images))
{
    connect(list, &DatasheetList::rowPicked, this, &DatasheetView::lstEveryone_ItemClick);
    connect(list, &DatasheetList::dblClick, this, &DatasheetView::lstEveryone_DblClick);
    connect(list, &DatasheetList::columnClick, this, &DatasheetView::lstEveryone_ColumnClick);
}

bool DatasheetView::isDatasheetShown() const
{
    return m_list->isVisible();
}

void DatasheetView::showIndicators(bool datasheet)
{
    const QString key = datasheet ? ViewRec : ViewAll;
    if (m_toolButton) {
        m_toolButton->setIcon(m_images ? m_images(key) : QIcon());
        m_toolButton->setProperty("key", key);
        const QString tip = datasheet ? FormCaption : ViewAll;
        m_toolButton->setText(tip);
        m_toolButton->setToolTip(tip);
    }
    if (m_mnuViewAll)
        m_mnuViewAll->setText(datasheet ? FormCaption : DatasheetCaption);
}

void DatasheetView::switchView(bool datasheet)
{
    m_runner.reporting({QString(), MsgIcon::Exclamation}, [&] {
        {
            const QSignalBlocker blocker(m_list);
            m_list->setSheet(nullptr);
        }
        if (!datasheet) {
            m_list->hide();
            m_data->setEnabled(true);
            showIndicators(false);
            return;
        }
        // What is typed into the record shown is written first, as the first move
        // of the walk did; when that fails the data control has said why, and the
        // form stays with the typing.
        if (m_data->recordset() && !m_data->saveChanges(DataAction::MoveFirst))
            return;
        m_list->raise();
        m_list->show();
        m_list->setFocus();
        fill();
        showIndicators(true);
        const QModelIndex first = m_list->model()->index(0, 0);
        {
            const QSignalBlocker blocker(m_list);
            m_list->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect
                                                                 | QItemSelectionModel::Rows);
        }
        lstEveryone_ItemClick(0);
    });
}

void DatasheetView::lookAgain()
{
    if (!isDatasheetShown())
        return;
    // The set of lines may have changed (another desk's new or deleted attendee):
    // the lines are taken again from the navigator's keys, in the same order, with
    // the same lines selected and the same line current.
    const QList<qint64> selected = m_list->selectedKeys();
    const QModelIndex current = m_list->currentIndex();
    const qint64 currentKey = current.isValid() && m_list->sheet() ? m_list->sheet()->keyAt(current.row()) : -1;
    const bool sorted = m_list->header()->isSortIndicatorShown();
    const int sortColumn = m_list->header()->sortIndicatorSection();
    const int scrolled = m_list->verticalScrollBar()->value();
    const QSignalBlocker blocker(m_list);
    ignoreErrors([this] { fill(); }); // an event emptied elsewhere lists nobody
    DatasheetModel *sheet = m_list->sheet();
    if (!sheet)
        return;
    if (sorted)
        ignoreErrors([&] { sheet->sortByColumn(sortColumn); });
    QItemSelection selection;
    for (const qint64 key : selected)
        if (const int row = sheet->rowOf(key); row >= 0)
            selection.select(sheet->index(row, 0), sheet->index(row, sheet->columnCount() - 1));
    if (const int row = currentKey >= 0 ? sheet->rowOf(currentKey) : -1; row >= 0)
        m_list->selectionModel()->setCurrentIndex(sheet->index(row, 0), QItemSelectionModel::NoUpdate);
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_list->verticalScrollBar()->setValue(scrolled);
}

void DatasheetView::fill()
{
    Recordset *rs = m_data->recordset();
    if (!rs || rs->recordCount() == 0)
        throw DataError::make(DataError::NoCurrentRecord);
    // The navigator holds the event's keys already: the lines are read as shown.
    auto sheet = std::make_unique<AttendeeSheet>(Database::shared(rs->database().location()), rs->rowKeys());
    const QSignalBlocker blocker(m_list);
    m_list->setSheet(new DatasheetModel(std::move(sheet)));
    if (m_list->model()->rowCount() == 0)
        throw DataError::make(DataError::NoCurrentRecord);
}

QList<qint64> DatasheetView::selectedKeys() const
{
    return isDatasheetShown() ? m_list->selectedKeys() : QList<qint64>();
}

void DatasheetView::followCurrent()
{
    DatasheetModel *sheet = m_list->sheet();
    const Recordset *rs = m_data->recordset();
    if (!sheet || !isDatasheetShown() || !rs || rs->editMode() == EditMode::Adding || rs->absolutePosition() < 0)
        return;
    const int row = sheet->rowOf(rs->currentKey());
    const QModelIndex current = m_list->currentIndex();
    if (row < 0 || (current.isValid() && current.row() == row))
        return;
    const QSignalBlocker blocker(m_list);
    m_list->selectionModel()->setCurrentIndex(sheet->index(row, 0), QItemSelectionModel::ClearAndSelect
                                                                        | QItemSelectionModel::Rows);
    m_list->scrollTo(sheet->index(row, 0));
}

void DatasheetView::refreshRows()
{
    if (DatasheetModel *sheet = m_list->sheet())
        ignoreErrors([sheet] { sheet->refresh(); });
}

void DatasheetView::mnuViewAll_Click()
{
    m_runner.ignoring([this] { switchView(m_mnuViewAll->text() == DatasheetCaption); });
}

void DatasheetView::lstEveryone_ItemClick(int row)
{
    m_runner.ignoring([&] {
        m_data->setEnabled(true);
        DatasheetModel *sheet = m_list->sheet();
        if (!sheet || row < 0 || row >= sheet->rowCount())
            return;
        Recordset *rs = m_data->recordset();
        const QByteArray bookmark = QByteArray::number(sheet->keyAt(row));
        // The same line clicked again (or picked twice by one click): nothing to move.
        if (rs->editMode() == EditMode::None && rs->absolutePosition() >= 0 && rs->bookmark() == bookmark)
            return;
        rs->setBookmark(bookmark);
    });
}

void DatasheetView::lstEveryone_DblClick()
{
    m_runner.ignoring([this] { switchView(false); });
}

void DatasheetView::lstEveryone_ColumnClick(int column)
{
    m_runner.reporting({QString(), MsgIcon::Exclamation}, [&] {
        DatasheetModel *sheet = m_list->sheet();
        if (!sheet)
            return;
        // The attendee shown stays the current line.
        const QModelIndex current = m_list->currentIndex();
        const qint64 key = current.isValid() ? sheet->keyAt(current.row()) : -1;
        {
            const QSignalBlocker blocker(m_list);
            sheet->sortByColumn(column);
            const int row = key >= 0 ? sheet->rowOf(key) : -1;
            if (row >= 0) {
                m_list->selectionModel()->setCurrentIndex(sheet->index(row, 0), QItemSelectionModel::ClearAndSelect
                                                                                    | QItemSelectionModel::Rows);
                m_list->scrollTo(sheet->index(row, 0));
            }
        }
        m_list->header()->setSortIndicatorShown(true);
        m_list->header()->setSortIndicator(column, Qt::AscendingOrder);
    });
}
