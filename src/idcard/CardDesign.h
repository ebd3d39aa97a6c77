#pragma once

#include <QObject>
#include <QString>

class AppContext;
class CardContent;
class QAction;
class CardWidget;
class QWidget;

// The design clicks of the card miniature: a header line asks for its text, the
// logo for a picture file (copied into the program's "Logo" folder), the card
// background for the card colour; and the check item that puts the attendee's
// QR code on the cards or leaves it off. Each choice goes into the card
// content, so every card shows it at once (a print made after a change too),
// and into the settings store for the next start.
class CardDesign : public QObject
{
    Q_OBJECT
public:
    // `showQrCode` is a checkable item; its check mark follows the content.
    CardDesign(const AppContext &context, CardWidget *miniature, CardContent *content, QAction *showQrCode,
               QWidget *owner);

    void lblHeader_Click(int index);
    void imgLogo_Click();
    void fraID_Click();
    // The code on every card, or off ("IdCard"/"QrCode": "True" or "False").
    void mnuQRCode_Click(bool show);

    // Where a chosen logo is copied: `logoFolder` & "idlogo" and the chosen
    // file's own extension (from the last dot of its name, dot and letter case kept).
    static QString logoTarget(const QString &logoFolder, const QString &chosenFile);

private:
    QString logoFolder() const;

    const AppContext &m_context;
    CardContent *m_content;
    QWidget *m_owner;
};
