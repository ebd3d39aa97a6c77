#pragma once

#include "CardLayout.h"

#include <QString>
#include <QWidget>

// One line or picture of a card, as a child widget at the element's rectangle.
// It draws nothing (the card paints everything); it exists so that clicks,
// tooltips, screen readers and tests find "lblName_1", "imgPic" and the others
// by object name. Its text is a copy of the line the card shows, for its
// accessible name.
class CardItem : public QWidget
{
    Q_OBJECT
public:
    CardItem(const CardElement &element, QWidget *parent);

    const CardElement &element() const { return m_element; }
    QString text() const { return m_text; }

    // Called by the card when its content changes.
    void showText(const QString &text);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateAccessibleName();

    CardElement m_element;
    QString m_text;
};
