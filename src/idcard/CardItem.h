#pragma once

#include "CardLayout.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

// One line or picture of a card, as a child widget at the element's rectangle.
// It draws nothing (the card paints everything with CardPainter); it exists so
// that clicks, tooltips, screen readers and tests find "lblName_1", "imgPic" and
// the others by object name. Its text and picture are a copy of what the card
// shows. The string property "Tag" is free for its owner (imgPic's Tag holds
// the relative path of the photo shown).
class CardItem : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Tag READ tag WRITE setTag)
public:
    CardItem(const CardElement &element, QWidget *parent);

    const CardElement &element() const { return m_element; }
    QString text() const { return m_text; }
    QPixmap pixmap() const { return m_pixmap; }
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Called by the card when its content changes.
    void showContent(const QString &text, const QPixmap &pixmap);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateAccessibleName();

    CardElement m_element;
    QString m_text;
    QPixmap m_pixmap;
    QString m_tag;
};
