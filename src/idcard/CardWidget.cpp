#include "CardWidget.h"

#include "CardItem.h"
#include "CardPainter.h"
#include "core/Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

CardWidget::CardWidget(const CardLayout &layout, QWidget *parent) : QWidget(parent), m_layout(layout)
{
    setObjectName(QStringLiteral("fraID"));
    m_content.color = m_layout.designColor;
    setToolTip(m_layout.toolTip);
    setAccessibleName(QStringLiteral("ID card"));
    setAccessibleDescription(m_layout.toolTip);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    // Later elements lie above earlier ones, as in the layout table.
    for (const CardElement &element : m_layout.elements) {
        auto *item = new CardItem(element, this);
        connect(item, &CardItem::clicked, this, [this, item] { itemClicked(item); });
        m_items.append(item);
    }
    placeItems();
    contentChanged();
}

void CardWidget::setHeader(int index, const QString &text)
{
    if (index < 0 || index > 1)
        return;
    m_content.header[index] = text;
    contentChanged();
}

QString CardWidget::header(int index) const
{
    return index >= 0 && index <= 1 ? m_content.header[index] : QString();
}

void CardWidget::setName(int index, const QString &text)
{
    if (index < 0 || index > 1)
        return;
    m_content.name[index] = text;
    contentChanged();
}

QString CardWidget::name(int index) const
{
    return index >= 0 && index <= 1 ? m_content.name[index] : QString();
}

void CardWidget::setOffice(const QString &text)
{
    m_content.office = text;
    contentChanged();
}

QString CardWidget::office() const
{
    return m_content.office;
}

void CardWidget::setChapter(const QString &text)
{
    m_content.chapter = text;
    contentChanged();
}

QString CardWidget::chapter() const
{
    return m_content.chapter;
}

void CardWidget::setLogo(const QPixmap &picture)
{
    m_content.logo = picture;
    contentChanged();
}

QPixmap CardWidget::logo() const
{
    return m_content.logo;
}

void CardWidget::setPhoto(const QPixmap &picture)
{
    m_content.photo = picture;
    contentChanged();
}

QPixmap CardWidget::photo() const
{
    return m_content.photo;
}

void CardWidget::setColor(quint32 color)
{
    m_content.color = color;
    contentChanged();
}

quint32 CardWidget::color() const
{
    return m_content.color;
}

CardItem *CardWidget::item(const QString &objectName) const
{
    for (CardItem *item : m_items) {
        if (item->objectName() == objectName)
            return item;
    }
    return nullptr;
}

CardContent CardWidget::content() const
{
    return m_content;
}

void CardWidget::setContent(const CardContent &content)
{
    m_content = content;
    contentChanged();
}

QSize CardWidget::sizeHint() const
{
    return Twips::toPixelSize(m_layout.twips, logicalDpiX(), logicalDpiY());
}

QSize CardWidget::minimumSizeHint() const
{
    return sizeHint();
}

QRectF CardWidget::cardRect() const
{
    return QRectF(QPointF(0, 0), QSizeF(Twips::toPixels(m_layout.twips.width(), logicalDpiX()),
                                        Twips::toPixels(m_layout.twips.height(), logicalDpiY())));
}

bool CardWidget::event(QEvent *event)
{
    // The screen's resolution is known for certain once the widget is polished
    // or shown (and may differ when it moves to another screen).
    if (event->type() == QEvent::Polish || event->type() == QEvent::Show)
        placeItems();
    return QWidget::event(event);
}

void CardWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The frame's colour covers the whole widget, even where it is larger than the card.
    painter.fillRect(rect(), CardContent::toQColor(m_content.color));
    CardPainter(m_layout, m_content).paint(painter, cardRect());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = CardContent::toQColor(m_content.color);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CardWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void CardWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        emit backgroundClicked();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CardWidget::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            event->accept();
            emit backgroundClicked();
            return;
        }
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
}

void CardWidget::contentChanged()
{
    for (CardItem *item : std::as_const(m_items))
        item->showContent(item->element().textIn(m_content), item->element().pictureIn(m_content));
    update();
}

void CardWidget::placeItems()
{
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    for (CardItem *item : std::as_const(m_items))
        item->setGeometry(Twips::toPixelRect(item->element().twips, dpiX, dpiY));
    updateGeometry();
}

void CardWidget::itemClicked(const CardItem *item)
{
    switch (item->element().role) {
    case CardElement::Header1: emit headerClicked(0); break;
    case CardElement::Header2: emit headerClicked(1); break;
    case CardElement::Logo: emit logoClicked(); break;
    default: emit backgroundClicked(); break;
    }
}
