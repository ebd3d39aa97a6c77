#include "DatasheetView.h"

#include "DatasheetList.h"
#include "bindings/DataControl.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/DataError.h"
#include "data/Recordset.h"

#include <QAction>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

namespace {

const QString ViewAll = QStringLiteral("View All");
const QString ViewRec = QStringLiteral("View Rec");
const QString DatasheetCaption = QStringLiteral("Datasheet View");
const QString FormCaption = QStringLiteral("Form View");

// The fields a line is made of, in this order.
const QStringList LineFields = {QStringLiteral("LastName"),   QStringLiteral("FirstName"),
                                QStringLiteral("Address"),    QStringLiteral("City"),
                                QStringLiteral("StateOrProvince"), QStringLiteral("PostalCode"),
                                QStringLiteral("Country"),    QStringLiteral("Chapter")};

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

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
    connect(list, &DatasheetList::itemPicked, this, &DatasheetView::lstEveryone_ItemClick);
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
            m_list->clear();
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
        QTreeWidgetItem *first = m_list->topLevelItem(0);
        {
            const QSignalBlocker blocker(m_list);
            m_list->setCurrentItem(first);
            first->setSelected(true);
        }
        lstEveryone_ItemClick(first);
    });
}

void DatasheetView::lookAgain()
{
    if (!isDatasheetShown())
        return;
    const QTreeWidgetItem *picked = m_list->currentItem();
    const QByteArray bookmark = picked ? picked->data(0, DatasheetList::TagRole).toByteArray() : QByteArray();
    const int scrolled = m_list->verticalScrollBar()->value();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    ignoreErrors([this] { fill(); }); // an event emptied elsewhere lists nobody
    if (m_list->header()->isSortIndicatorShown())
        m_list->sortItems(m_list->header()->sortIndicatorSection(), Qt::AscendingOrder);
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->data(0, DatasheetList::TagRole).toByteArray() == bookmark) {
            m_list->setCurrentItem(item);
            item->setSelected(true);
        }
    }
    m_list->verticalScrollBar()->setValue(scrolled);
}

void DatasheetView::fill()
{
    Recordset *rs = m_data->recordset();
    if (!rs || rs->recordCount() == 0)
        throw DataError::make(DataError::NoCurrentRecord);
    QList<int> fields;
    for (const QString &field : LineFields)
        fields << rs->fieldIndex(field);
    const std::vector<Recordset::RowValues> rows = rs->readRows(fields);
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(rows.size()));
    const QString comma = QStringLiteral(", ");
    for (const Recordset::RowValues &row : rows) {
        const QVariantList &v = row.values;
        auto *item = new DatasheetItem(QStringList {
            text(v[0]) + comma + text(v[1]), text(v[2]),
            text(v[3]) + comma + text(v[4]) + comma + text(v[5]) + comma + text(v[6]), text(v[7])});
        item->setData(0, DatasheetList::TagRole, row.bookmark);
        items.append(item);
    }
    const QSignalBlocker blocker(m_list);
    m_list->addTopLevelItems(items);
    if (items.isEmpty())
        throw DataError::make(DataError::NoCurrentRecord);
}

void DatasheetView::mnuViewAll_Click()
{
    m_runner.ignoring([this] { switchView(m_mnuViewAll->text() == DatasheetCaption); });
}

void DatasheetView::lstEveryone_ItemClick(QTreeWidgetItem *item)
{
    m_runner.ignoring([&] {
        m_data->setEnabled(true);
        Recordset *rs = m_data->recordset();
        const QByteArray bookmark = item->data(0, DatasheetList::TagRole).toByteArray();
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
    m_runner.ignoring([&] {
        m_list->sortItems(column, Qt::AscendingOrder);
        m_list->header()->setSortIndicatorShown(true);
    });
}
