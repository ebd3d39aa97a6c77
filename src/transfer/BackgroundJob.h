#pragma once

#include "core/AppError.h"
#include "exchange/ExchangeProgress.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <functional>
#include <optional>

// One long piece of work (reading a file, an import, an export) on a thread of its
// own, so the window stays responsive: it polls progress() on a timer, cancel()
// asks the work to stop, and finished() comes back on the window's thread. The
// work opens its own database connection (a connection belongs to one thread).
class BackgroundJob : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundJob(QObject *parent = nullptr);
    // Cancels the work and waits for it, so nothing outlives the window.
    ~BackgroundJob() override;

    // Runs `work` (which throws AppError when it fails); false when one is running.
    bool start(std::function<void(ExchangeProgress &)> work);
    bool isRunning() const { return m_thread != nullptr; }
    void cancel() { m_progress.cancelled = true; }

    const ExchangeProgress &progress() const { return m_progress; }
    // After finished(): the error the work ended with (a cancel is
    // ExchangeError::CancelledNumber), or none.
    const std::optional<AppError> &error() const { return m_error; }
    bool wasCancelled() const;

signals:
    void finished();

private:
    ExchangeProgress m_progress;
    std::optional<AppError> m_error;
    QThread *m_thread = nullptr;
};
