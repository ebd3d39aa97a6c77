#pragma once

#include "CardWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

class CardWidget;

// The registration window's two card windows, each loaded (hidden, filled from
// the miniature) when it is first needed and gone once the user closes it: the
// accessor loads it again, so touching a card window that is not loaded loads
// it, as the card's keepers expect.
class CardWindows : public QObject
{
    Q_OBJECT
public:
    CardWindows(CardWidget *miniature, QWidget *owner);

    CardWindow *frmIDCard() { return window(CardWindow::Card3x4); }   // "3 X 4"
    CardWindow *frmIDCard2() { return window(CardWindow::Card2x35); } // "2 1/4 X 3.5"
    CardWindow *window(CardWindow::Size size);
    // The window of a position of the size box cboIDSize (1: "2 1/4 X 3.5",
    // 2: "3 X 4"), loaded when needed; nullptr for any other position.
    CardWindow *forSizeIndex(int index);

    bool isLoaded(CardWindow::Size size) const { return m_windows[size] && !m_windows[size]->isUnloaded(); }
    // The cards of the loaded windows, frmIDCard's first; loads nothing.
    QList<CardWidget *> loadedCards() const;

private:
    CardWidget *m_miniature;
    QWidget *m_owner;
    QPointer<CardWindow> m_windows[2];
};
