#pragma once

#include "CardLayout.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class CardContent;
class CardItem;

// One ID card on the screen: the miniature "fraID" of the registration window
// or the card of a card window. It shows a card content it observes (the
// current attendee's, shared by every card) and repaints when that changes; it
// paints the picture CardImage renders from its layout table, so what a window
// shows and what is drawn without a window are the same pixels. Each line and
// picture is a CardItem child (object names "lblHeader_0", "lblHeader_1",
// "ImgLogo", "imgPic", "lblName_0", "lblName_1", "lblOffice", "lblChap",
// "imgQRCode") for
// hit-testing, tooltips, accessibility and tests; the items draw nothing.
//
// Mouse: a click on a header line emits headerClicked(index), on the logo
// logoClicked(), on the card itself or its fixed decorations (codes, circles)
// backgroundClicked(), as the frame's own click; the attendee's lines, photo and
// code take no click. Keyboard: the card takes focus (accessible name "ID card");
// Enter, Return or Space on it emits backgroundClicked(), the card colour command.
class CardWidget : public QWidget
{
    Q_OBJECT
public:
    CardWidget(const CardLayout &layout, const CardContent *content, QWidget *parent = nullptr);

    const CardLayout &layout() const { return m_layout; }
    // What the card shows: the observed content's face (a blank one once the content is gone).
    const CardFace &face() const;

    QString header(int index) const; // lblHeader(0), lblHeader(1)
    QString name(int index) const;   // lblName(0) first name, lblName(1) last name
    QString office() const;          // lblOffice
    QString chapter() const;         // lblChap
    QImage logo() const;             // ImgLogo
    QImage photo() const;            // imgPic; null when none
    // The card colour as red + 256*green + 65536*blue.
    quint32 color() const;

    CardItem *item(const QString &objectName) const;

signals:
    void headerClicked(int index); // lblHeader_Click
    void logoClicked();            // ImgLogo_Click
    void backgroundClicked();      // fraID_Click

public:
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The card's rectangle in this widget's pixels (its true size at the screen's resolution).
    QRectF cardRect() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void contentChanged();
    void placeItems();
    void itemClicked(const CardItem *item);
    const QImage &picture();

    CardLayout m_layout;
    QPointer<const CardContent> m_content;
    QList<CardItem *> m_items;
    // The card as last rendered (null once the content changed) and the resolution it was rendered at.
    QImage m_picture;
    QSize m_pictureDpi;
};
