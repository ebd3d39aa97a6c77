#include "CardWindow.h"

#include "CardLayout.h"
#include "CardWidget.h"
#include "core/AccessibleTitle.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPalette>

namespace {

const QColor DarkTeal(0, 64, 64);

} // namespace

CardWindow::CardWindow(Size size, const CardContent *content, QWidget *owner)
    // A dialog-type window stays above its owner, as an owned window does.
    : QWidget(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_size(size)
{
    setObjectName(objectNameFor(size));
    setWindowTitle(titleFor(size));
    followTitleWithAccessibleName(this);
    setAttribute(Qt::WA_DeleteOnClose);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, DarkTeal);
    setPalette(palette);
    setAutoFillBackground(true);

    m_card = new CardWidget(size == Card3x4 ? CardLayout::card3x4() : CardLayout::card2x35(), content, this);
    m_card->move(0, 0);
    m_card->resize(m_card->sizeHint());
    // The border is fixed: the window is exactly the card.
    setFixedSize(m_card->sizeHint());
}

QSize CardWindow::innerTwips() const
{
    return m_card->layout().twips;
}

QString CardWindow::objectNameFor(Size size)
{
    return size == Card3x4 ? QStringLiteral("frmIDCard") : QStringLiteral("frmIDCard2");
}

QString CardWindow::titleFor(Size size)
{
    return size == Card3x4 ? QStringLiteral("ID Card (3 X 4) 100%") : QStringLiteral("ID Card (2 1/4 X 3.5) 100%");
}

void CardWindow::showOverOwner()
{
    if (!m_placed) {
        if (QWidget *owner = parentWidget()) {
            const QRect area = owner->frameGeometry();
            move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
        }
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

void CardWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CardWindow::closeEvent(QCloseEvent *event)
{
    m_unloaded = true;
    QWidget::closeEvent(event);
}
