#pragma once

#include <QObject>
#include <QString>

class AppContext;
class CardContent;
class LookupCombo;
class QComboBox;
class QWidget;

// The Title and Office lookup lists of the registration window: each combo is
// filled from the table its Tag names; leaving a combo with a value that is not
// in its list offers to add it; the delete buttons remove the displayed value
// from the table; every change of the office text is reported (officeChanged).
// Each call reaches the database through a connection of its own, released at
// its end (never the window's data control). Values are always bound as
// parameters, so a quote in a name ("O'Brien Hall") is just a character.
class LookupLists : public QObject
{
    Q_OBJECT
public:
    LookupLists(const AppContext &context, QWidget *window, LookupCombo *cboTitle, LookupCombo *cboOffice,
                CardContent *card);

    // The window's start-up: the title list, then the office list. Raises errors.
    void loadLists();

    // Fills `list` with column 1 of every row of the table `source` in the
    // database at `location`, sorted; the text shown stays (it is the attendee's
    // value, not the list's). Raises errors.
    static void loadList(const QString &location, const QString &source, QComboBox *list);
    // Asks to add a value that the list does not hold (letter case aside) and adds
    // it to both text columns as typed. Reports its own errors.
    void addToList(LookupCombo *list, const QString &value);
    // Asks, then deletes every row of the list's table that meets `criteria` (the
    // engine's criteria, e.g. "OfficeName = 'Member'") and reloads the list.
    // Reports its own errors under "Delete Error".
    void deleteFromList(LookupCombo *list, const QString &criteria);

    // The criteria that select the rows named `value` in `field`, the value quoted
    // as a literal (a quote in it doubled).
    static QString nameCriteria(const QString &field, const QString &value);

    void cboOffice_Change();
    void cmdDelFromList_Click(int index);

private:
    const AppContext &m_context;
    QWidget *m_window;
    LookupCombo *m_cboTitle;
    LookupCombo *m_cboOffice;
    CardContent *m_card;
};
