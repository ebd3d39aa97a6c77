#pragma once

#include "CardLayout.h"

#include <QPixmap>
#include <QString>
#include <QWidget>

class CardItem;

// One ID card (the miniature "fraID" of the registration window; later also the
// two card windows). It holds its own copy of the card's content under the
// controls' names and paints itself from its layout table with CardPainter, so
// what is previewed and printed is the same drawing. Each line and picture is a
// CardItem child (object names "lblHeader_0", "lblHeader_1", "ImgLogo", "imgPic",
// "lblName_0", "lblName_1", "lblOffice", "lblChap") for hit-testing, tooltips,
// accessibility and tests; the items draw nothing themselves.
//
// Mouse: a click on a header line emits headerClicked(index), on the logo
// logoClicked(), anywhere else on the card backgroundClicked(), as the frame's
// own click. Keyboard: the card takes focus (accessible name "ID card"); Enter,
// Return or Space on it emits backgroundClicked(), the card colour command.
class CardWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CardWidget(const CardLayout &layout, QWidget *parent = nullptr);

    const CardLayout &layout() const { return m_layout; }

    void setHeader(int index, const QString &text); // lblHeader(0), lblHeader(1)
    QString header(int index) const;
    void setName(int index, const QString &text);   // lblName(0) first name, lblName(1) last name
    QString name(int index) const;
    void setOffice(const QString &text);            // lblOffice
    QString office() const;
    void setChapter(const QString &text);           // lblChap
    QString chapter() const;
    void setLogo(const QPixmap &picture);           // ImgLogo, stretched
    QPixmap logo() const;
    void setPhoto(const QPixmap &picture);          // imgPic, stretched; null = empty picture
    QPixmap photo() const;
    // The card colour as red + 256*green + 65536*blue.
    void setColor(quint32 color);
    quint32 color() const;

    CardItem *item(const QString &objectName) const;

    // The content as plain data, for copying a card or painting it elsewhere.
    CardContent content() const;
    void setContent(const CardContent &content);

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

    CardLayout m_layout;
    CardContent m_content;
    QList<CardItem *> m_items;
};
