#include "DatasheetList.h"

#include "DatasheetModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

DatasheetList::DatasheetList(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("lstEveryone"));
    setAccessibleName(QStringLiteral("Datasheet"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // what lets a view of 100,000 lines ask only for those shown
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // a line's text cannot be edited
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setStretchLastSection(true);
    header()->setDefaultSectionSize(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    connect(header(), &QHeaderView::sectionClicked, this, &DatasheetList::columnClick);
    connect(this, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit rowPicked(index.row());
    });
    hide();
}

void DatasheetList::setSheet(DatasheetModel *model)
{
    DatasheetModel *old = m_sheet;
    m_sheet = model;
    if (model)
        model->setParent(this);
    setModel(model);
    if (model) {
        const int x = fontMetrics().horizontalAdvance(QLatin1Char('x'));
        header()->resizeSection(4, x * 18);
    }
    delete old;
}

QList<qint64> DatasheetList::selectedKeys() const
{
    QList<qint64> keys;
    if (!m_sheet || !selectionModel())
        return keys;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        keys << m_sheet->keyAt(index.row());
    std::sort(keys.begin(), keys.end());
    return keys;
}

void DatasheetList::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    // Moving the current line with the keys picks it, as a click does.
    if (current.isValid() && (!previous.isValid() || current.row() != previous.row()))
        emit rowPicked(current.row());
}

void DatasheetList::placeOver(QPoint topLeft, int bottomMargin)
{
    m_topLeft = topLeft;
    m_bottomMargin = bottomMargin;
    if (!m_placed && parentWidget()) {
        parentWidget()->installEventFilter(this);
        m_placed = true;
    }
    followParent();
}

void DatasheetList::followParent()
{
    if (!parentWidget())
        return;
    const QSize area = parentWidget()->size();
    setGeometry(m_topLeft.x(), m_topLeft.y(), qMax(200, area.width() - m_topLeft.x()),
                qMax(150, area.height() - m_topLeft.y() - m_bottomMargin));
}

bool DatasheetList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followParent();
    return QTreeView::eventFilter(watched, event);
}

void DatasheetList::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The list's double click, on a line or on its empty part.
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

void DatasheetList::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        emit dblClick();
        return;
    }
    QTreeView::keyPressEvent(event);
}
