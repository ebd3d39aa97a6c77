#include "CommandRunner.h"

#include "core/AppError.h"

#include <exception>

void CommandRunner::ignoring(const std::function<void()> &command) const
{
    try {
        command();
    } catch (const AppError &) {
        // Ignored on purpose: the command has told the user what matters.
    } catch (const std::exception &fault) {
        reportFault(fault.what());
    } catch (...) {
        reportFault(nullptr);
    }
}

bool CommandRunner::reporting(const Report &report, const std::function<void()> &command) const
{
    try {
        command();
        return true;
    } catch (const AppError &error) {
        const QString title = report.titleFromError ? error.source() : report.title;
        Dialogs::instance().message(m_window, error.description(), title, MsgButtons::Ok, report.icon);
    } catch (const std::exception &fault) {
        reportFault(fault.what());
    } catch (...) {
        reportFault(nullptr);
    }
    return false;
}

void CommandRunner::reportFault(const char *what) const
{
    QString text = QStringLiteral("An unexpected error stopped this command");
    text += what && *what ? QStringLiteral(": ") + QString::fromLocal8Bit(what) : QStringLiteral(".");
    text += QStringLiteral("\rTry the command again; if it fails again, save your work and restart Quorvex.");
    Dialogs::instance().message(m_window, text, QString(), MsgButtons::Ok, MsgIcon::Critical);
}
