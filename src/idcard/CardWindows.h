#pragma once

#include "CardWindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

class CardContent;
class CardWidget;

// The registration window's two card windows, each loaded (hidden, showing the
// current card content) when it is first needed and gone once the user closes
// it: the accessor loads it again, so touching a card window that is not loaded
// loads it.
class CardWindows : public QObject
{
    Q_OBJECT
public:
    CardWindows(const CardContent *content, QWidget *owner);

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
    const CardContent *m_content;
    QWidget *m_owner;
    QPointer<CardWindow> m_windows[2];
};
