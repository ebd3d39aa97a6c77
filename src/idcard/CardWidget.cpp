#include "CardWidget.h"

#include "CardImage.h"
#include "CardItem.h"
#include "core/Twips.h"
#include "session/CardContent.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

CardWidget::CardWidget(const CardLayout &layout, const CardContent *content, QWidget *parent)
    : QWidget(parent), m_layout(layout), m_content(content)
{
    setObjectName(QStringLiteral("fraID"));
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
    if (content)
        connect(content, &CardContent::changed, this, &CardWidget::contentChanged);
    placeItems();
    contentChanged();
}

const CardFace &CardWidget::face() const
{
    static const CardFace blank;
    return m_content ? m_content->face() : blank;
}

QString CardWidget::header(int index) const
{
    return index == 0 || index == 1 ? face().header[index] : QString();
}

QString CardWidget::name(int index) const
{
    return index == 0 || index == 1 ? face().name[index] : QString();
}

QString CardWidget::office() const
{
    return face().office;
}

QString CardWidget::chapter() const
{
    return face().chapter;
}

QImage CardWidget::logo() const
{
    return face().logo;
}

QImage CardWidget::photo() const
{
    return face().photo;
}

quint32 CardWidget::color() const
{
    return face().color;
}

CardItem *CardWidget::item(const QString &objectName) const
{
    for (CardItem *item : m_items) {
        if (item->objectName() == objectName)
            return item;
    }
    return nullptr;
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

const QImage &CardWidget::picture()
{
    // Rendered again when the content changed or the widget moved to a screen of another resolution.
    const QSize dpi(logicalDpiX(), logicalDpiY());
    if (m_picture.isNull() || m_pictureDpi != dpi || m_picture.devicePixelRatio() != devicePixelRatioF()) {
        m_picture = CardImage::render(m_layout, face(), dpi.width(), dpi.height(), devicePixelRatioF());
        m_pictureDpi = dpi;
    }
    return m_picture;
}

void CardWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor color = CardFace::toQColor(face().color);
    // The frame's colour covers the whole widget, even where it is larger than the card.
    painter.fillRect(rect(), color);
    painter.drawImage(QPointF(0, 0), picture());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = color;
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
    const CardFace &shown = face();
    for (CardItem *item : std::as_const(m_items)) {
        const QString text = item->element().textIn(shown);
        item->showText(text);
        // With no code shown its place is the bare card, whose click is the card's own.
        if (item->element().kind == CardElement::Code)
            item->setVisible(!text.isEmpty());
    }
    m_picture = QImage();
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
    // The codes and circles are printed on the card itself: clicking them is clicking the card.
    case CardElement::Fixed: emit backgroundClicked(); break;
    // The attendee's lines, photo and code are not part of the design: they take no click.
    case CardElement::Photo:
    case CardElement::QrCode:
    case CardElement::FirstName:
    case CardElement::LastName:
    case CardElement::Office:
    case CardElement::Chapter: break;
    }
}
