#include "ScanBox.h"

#include "session/CardLines.h"

#include <QKeyEvent>

ScanBox::ScanBox(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("txtScan"));
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &ScanBox::pauseEnded);
    connect(this, &QLineEdit::textEdited, this, &ScanBox::edited);
}

void ScanBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_pause.stop();
        const QString typed = text();
        if (CardLines::parseCode(typed))
            emit codeEntered(typed.trimmed());
        else if (CardLines::parseCode(scanned()))
            emit codeEntered(scanned().trimmed());
        else if (!typed.trimmed().isEmpty())
            emit nameEntered(typed);
        event->accept();
        return;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        // A key after a pause begins a burst; the burst is a scanner's while every
        // key of it follows the one before within FastKeyMs. (A scan into a box
        // with a name typed in it is the burst at its end.)
        if (text().isEmpty() || !m_sinceKey.isValid() || m_sinceKey.elapsed() > FastKeyMs) {
            m_burstStart = hasSelectedText() ? selectionStart() : cursorPosition();
            if (text().isEmpty() || (hasSelectedText() && selectedText() == text()))
                m_burstStart = 0;
        }
        m_sinceKey.start();
    }
    QLineEdit::keyPressEvent(event);
}

void ScanBox::edited(const QString &text)
{
    if (text.isEmpty())
        m_sinceKey.invalidate();
    if (scanned().size() > 1)
        m_pause.start();
    else
        m_pause.stop();
    emit nameEdited(mayBeCode(text) ? QString() : text);
}

void ScanBox::pauseEnded()
{
    // Only what came at a scanner's speed ends without Enter: a person's slow
    // typing waits for Enter, whatever it reads.
    if (CardLines::parseCode(scanned()))
        emit codeEntered(scanned().trimmed());
}

QString ScanBox::scanned() const
{
    return m_burstStart >= 0 && m_burstStart < text().size() ? text().mid(m_burstStart) : QString();
}

bool ScanBox::mayBeCode(const QString &text)
{
    const QString t = text.trimmed();
    const QString prefix = QStringLiteral("QVX:");
    return t.startsWith(prefix, Qt::CaseInsensitive) || (!t.isEmpty() && prefix.startsWith(t, Qt::CaseInsensitive));
}
