#include "DatasheetList.h"

#include <QHeaderView>

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
    setEditTriggers(QAbstractItemView::NoEditTriggers); // a line's text cannot be edited
    hide();
}
