#include "NullableDateEdit.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QKeyEvent>

NullableDateEdit::NullableDateEdit(QWidget *parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    setMinimumDate(QDate(100, 1, 1));
    setSpecialValueText(QStringLiteral(" "));
    setDate(minimumDate());
    setToolTip(QStringLiteral("Delete clears the date"));
    calendarWidget()->installEventFilter(this);
}

void NullableDateEdit::clear()
{
    setDate(minimumDate());
}

void NullableDateEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        clear();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

bool NullableDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == calendarWidget() && event->type() == QEvent::Show && isNull()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
}
