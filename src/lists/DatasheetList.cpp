#include "DatasheetList.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

DatasheetList::DatasheetList(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("lstEveryone"));
    setAccessibleName(QStringLiteral("Datasheet"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Address"), QStringLiteral("City/State/Zip/County"),
                     QStringLiteral("Chapter")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // a line's text cannot be edited
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setDefaultSectionSize(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 24);
    connect(header(), &QHeaderView::sectionClicked, this, &DatasheetList::columnClick);
    // A click picks a line; so does moving the current line with the keys.
    connect(this, &QTreeWidget::itemClicked, this, &DatasheetList::itemPicked);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (current)
            emit itemPicked(current);
    });
    hide();
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
    return QTreeWidget::eventFilter(watched, event);
}

void DatasheetList::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The list's double click, on a line or on its empty part.
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit dblClick();
}

void DatasheetList::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        emit dblClick();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

bool DatasheetItem::operator<(const QTreeWidgetItem &other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    const QString a = text(column);
    const QString b = other.text(column);
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}
