#include "LookupCombo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QStyle>
#include <QToolButton>

LookupCombo::LookupCombo(const QString &objectName, const QString &tableName, int deleteIndex, QWidget *parent)
    : QComboBox(parent)
    , m_tag(tableName)
{
    setObjectName(objectName);
    setProperty("Tag", tableName);
    setEditable(true);
    // A typed value joins the list only through the question on leaving the box.
    setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed (no completion changes its letter case or adds to it).
    setCompleter(nullptr);
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

void LookupCombo::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::PopupFocusReason:
    case Qt::ActiveWindowFocusReason:
    case Qt::MenuBarFocusReason:
        return;
    default:
        break;
    }
    // Only a move to another control of this window (not a window going away).
    const QWidget *now = QApplication::focusWidget();
    if (now && now != this && now->window() == window() && !isAncestorOf(now))
        emit validate();
}
