#include "LookupCombo.h"

#include <QStyle>
#include <QToolButton>

LookupCombo::LookupCombo(const QString &objectName, const QString &tableName, int deleteIndex, QWidget *parent)
    : QComboBox(parent)
    , m_tag(tableName)
{
    setObjectName(objectName);
    setProperty("Tag", tableName);
    setEditable(true);
    setInsertPolicy(QComboBox::InsertAlphabetically);
    setMinimumContentsLength(12);

    m_deleteButton = new QToolButton(parent);
    m_deleteButton->setObjectName(QStringLiteral("cmdDelFromList_%1").arg(deleteIndex));
    m_deleteButton->setProperty("index", deleteIndex);
    const QString tip = QStringLiteral("Delete Displayed Value from List");
    m_deleteButton->setToolTip(tip);
    m_deleteButton->setAccessibleName(tip);
    m_deleteButton->setIcon(style()->standardIcon(QStyle::SP_DialogDiscardButton));
    m_deleteButton->setFocusPolicy(Qt::StrongFocus);
    connect(m_deleteButton, &QToolButton::clicked, this, [this, deleteIndex] { emit deleteClicked(deleteIndex); });
}
