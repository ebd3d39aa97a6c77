#include "BackgroundJob.h"

#include "exchange/ExchangeError.h"

BackgroundJob::BackgroundJob(QObject *parent)
    : QObject(parent)
{
}

BackgroundJob::~BackgroundJob()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
        delete m_thread;
    }
}

bool BackgroundJob::start(std::function<void(ExchangeProgress &)> work)
{
    if (m_thread)
        return false;
    m_progress.reset(0);
    m_progress.cancelled = false;
    m_error.reset();
    m_thread = QThread::create([this, work = std::move(work)] {
        try {
            work(m_progress);
        } catch (const AppError &error) {
            m_error = error;
        } catch (const std::exception &error) {
            m_error = AppError(-1, QStringLiteral("Quorvex"), QString::fromLocal8Bit(error.what()));
        }
    });
    connect(m_thread, &QThread::finished, this, [this] {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
        emit finished();
    }, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

bool BackgroundJob::wasCancelled() const
{
    return m_error && m_error->number() == ExchangeError::CancelledNumber;
}
