#pragma once

#include "core/Dialogs.h"

#include <QString>
#include <functional>

class QWidget;

// Runs a window's commands under the error policy each has. A command reports
// what the user must know itself; what escapes it is then either ignored on
// purpose (the menus' and toolbar's policy) or reported in a box. Only the
// program's run-time errors (AppError) are ever ignored: anything else that
// escapes is a fault of the program and is always reported, never swallowed.
class CommandRunner
{
public:
    // How a run-time error that escapes is shown: its description in an OK box
    // under `title` (the application's title when empty, the error's own source
    // when `titleFromError`), with `icon`.
    struct Report
    {
        QString title;
        MsgIcon icon = MsgIcon::None;
        bool titleFromError = false;
    };

    explicit CommandRunner(QWidget *window) : m_window(window) {}

    // The menus' and toolbar's policy: a run-time error that escapes is ignored.
    void ignoring(const std::function<void()> &command) const;
    // A run-time error that escapes is shown as `report` says. True when the
    // command ran to its end.
    bool reporting(const Report &report, const std::function<void()> &command) const;

private:
    void reportFault(const char *what) const;

    QWidget *m_window;
};
