#include "CardItem.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// Screen readers see a card's lines as static text and its pictures as graphics.
QAccessibleInterface *cardItemAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("CardItem") || !object || !object->isWidgetType())
        return nullptr;
    auto *item = static_cast<CardItem *>(object);
    const QAccessible::Role role =
        item->element().kind == CardElement::Text ? QAccessible::StaticText : QAccessible::Graphic;
    return new QAccessibleWidget(item, role);
}

} // namespace

CardItem::CardItem(const CardElement &element, QWidget *parent) : QWidget(parent), m_element(element)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(cardItemAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setObjectName(element.objectName);
    setToolTip(element.toolTip);
    setAccessibleDescription(element.toolTip);
    // The card draws the item; the item only receives the mouse.
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setAttribute(Qt::WA_NoSystemBackground, true);
    setAutoFillBackground(false);
    showText(element.textIn(CardFace()));
}

void CardItem::showText(const QString &text)
{
    m_text = text;
    updateAccessibleName();
}

void CardItem::updateAccessibleName()
{
    if (!m_text.isEmpty())
        setAccessibleName(m_text);
    else if (!m_element.toolTip.isEmpty())
        setAccessibleName(m_element.toolTip);
    else
        setAccessibleName(objectName());
}

void CardItem::mousePressEvent(QMouseEvent *event)
{
    // Accepting the press makes the release come here, as a click on the control.
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void CardItem::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit clicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}
