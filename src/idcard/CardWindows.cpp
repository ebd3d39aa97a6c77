#include "CardWindows.h"

#include "CardWidget.h"

CardWindows::CardWindows(const CardContent *content, QWidget *owner)
    : QObject(owner), m_content(content), m_owner(owner)
{
    setObjectName(QStringLiteral("cardWindows"));
}

CardWindow *CardWindows::window(CardWindow::Size size)
{
    if (!m_windows[size] || m_windows[size]->isUnloaded())
        m_windows[size] = new CardWindow(size, m_content, m_owner);
    return m_windows[size];
}

CardWindow *CardWindows::forSizeIndex(int index)
{
    switch (index) {
    case 1: return frmIDCard2();
    case 2: return frmIDCard();
    default: return nullptr;
    }
}

QList<CardWidget *> CardWindows::loadedCards() const
{
    QList<CardWidget *> cards;
    for (const QPointer<CardWindow> &window : m_windows) {
        if (window && !window->isUnloaded())
            cards.append(window->card());
    }
    return cards;
}
