#include "AccessibleTitle.h"

#include <QWidget>

void followTitleWithAccessibleName(QWidget *window)
{
    // An untitled window (the main window before an event is chosen) keeps
    // the descriptive name it was given.
    const auto follow = [window](const QString &title) {
        if (!title.isEmpty())
            window->setAccessibleName(title);
    };
    follow(window->windowTitle());
    QObject::connect(window, &QWidget::windowTitleChanged, window, follow);
}
