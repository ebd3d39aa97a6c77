#pragma once

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

// txtScan: the box a hand scanner types into (in keyboard mode) and a person types
// a name into. A scanner's keys come a few milliseconds apart, a person's far
// slower: text typed that fast that reads as a card's code is a scan, ended by
// Enter or by a pause (PauseMs) after the last key. A code typed by hand counts
// when Enter ends it. Anything else is a name: each edit asks for the list of
// names; Enter asks for the first one found.
class ScanBox : public QLineEdit
{
    Q_OBJECT
public:
    // Keys no further apart than this are a scanner's.
    static constexpr int FastKeyMs = 35;
    // The pause after a scanner's last key that ends a scan sent without Enter.
    static constexpr int PauseMs = 150;

    explicit ScanBox(QWidget *parent = nullptr);

signals:
    // A card's code was scanned (or typed and entered): its text.
    void codeEntered(const QString &code);
    // The name typed so far changed (empty: nothing to list).
    void nameEdited(const QString &name);
    // Enter on a name: the first of its list is wanted.
    void nameEntered(const QString &name);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void pauseEnded();
    void edited(const QString &text);
    // The text may become a card's code ("Q", "qvx:1" ...): not worth a name search.
    static bool mayBeCode(const QString &text);
    // What the current burst of fast keys typed (empty after a slow key).
    QString scanned() const;

    QElapsedTimer m_sinceKey;
    int m_burstStart = -1; // where the keys of the current burst began
    QTimer m_pause;
};
