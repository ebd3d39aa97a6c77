#include "CardWindows.h"

#include "CardWidget.h"

CardWindows::CardWindows(CardWidget *miniature, QWidget *owner)
    : QObject(owner), m_miniature(miniature), m_owner(owner)
{
    setObjectName(QStringLiteral("cardWindows"));
}

CardWindow *CardWindows::window(CardWindow::Size size)
{
    if (!m_windows[size] || m_windows[size]->isUnloaded()) {
        auto *window = new CardWindow(size, m_owner);
        if (m_miniature)
            window->formLoad(*m_miniature);
        m_windows[size] = window;
    }
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
