#pragma once

#include <QSize>
#include <QWidget>

class CardContent;
class CardWidget;

// A card window: "frmIDCard" shows the "3 X 4" card, "frmIDCard2" the
// "2 1/4 X 3.5" card, each at full printing size, of the card content it is
// given (the current attendee's). The window's inner area is exactly the card
// ("fraID", painted from the size's layout table), with a fixed single-line
// border, a dark teal background under the card, owned by the registration
// window but not modal. Closing it unloads it (deletes it); its
// owner loads a new one the next time it is needed. Esc closes it.
class CardWindow : public QWidget
{
    Q_OBJECT
public:
    enum Size { Card3x4, Card2x35 };

    CardWindow(Size size, const CardContent *content, QWidget *owner);

    Size cardSize() const { return m_size; }
    CardWidget *card() const { return m_card; }
    // The inner area in twips: 5505 x 3585 ("3 X 4") or 4335 x 2475 ("2 1/4 X 3.5").
    QSize innerTwips() const;

    // Shows the window (centred over its owner the first time) or, when it is
    // shown already, brings it up.
    void showOverOwner();

    // True once the window was closed (it is deleted soon after).
    bool isUnloaded() const { return m_unloaded; }

    static QString objectNameFor(Size size);
    static QString titleFor(Size size);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Size m_size;
    CardWidget *m_card = nullptr;
    bool m_placed = false;
    bool m_unloaded = false;
};
