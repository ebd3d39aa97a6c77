#pragma once

#include <QObject>
#include <QString>

class AppContext;
class CardWidget;
class CardWindows;
class QWidget;

// The design clicks of the card miniature: a header line asks for its text, the
// logo for a picture file (copied into the program's "Logo" folder), the card
// background for the card colour. Each choice shows at once and is stored in
// the settings store for the next start. Header lines and logo also reach the
// card windows that are loaded, so a print made after a change shows it; the
// colour loads both card windows and colours them.
class CardDesign : public QObject
{
    Q_OBJECT
public:
    CardDesign(const AppContext &context, CardWidget *miniature, CardWindows *windows, QWidget *owner);

    void lblHeader_Click(int index);
    void imgLogo_Click();
    void fraID_Click();

    // Where a chosen logo is copied: `logoFolder` & "idlogo" and the chosen
    // file's own extension (from the last dot of its name, dot and letter case kept).
    static QString logoTarget(const QString &logoFolder, const QString &chosenFile);

private:
    QString logoFolder() const;

    const AppContext &m_context;
    CardWidget *m_miniature;
    CardWindows *m_windows;
    QWidget *m_owner;
};
