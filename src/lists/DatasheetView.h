#pragma once

#include "bindings/CommandRunner.h"

#include <QIcon>
#include <QObject>
#include <functional>

class DataControl;
class DatasheetList;
class QAction;

// The switch between the form view and the datasheet view of the registration
// window (SwitchView). The datasheet lists every attendee of the attendee
// recordset, each line read when it is shown, without moving the window's
// record through them; then the first line is picked, so the first attendee is
// current once.
// The menu item's caption and the toolbar button's image, key and tooltip name
// the view the next click brings.
class DatasheetView : public QObject
{
    Q_OBJECT
public:
    // `images` gives the toolbar picture of a key ("View All", "View Rec").
    DatasheetView(QWidget *window, DatasheetList *list, DataControl *data, QAction *mnuViewAll, QAction *toolButton,
                  std::function<QIcon(const QString &)> images);

    // True shows the datasheet, false the form. Reports its own failures.
    void switchView(bool datasheet);
    bool isDatasheetShown() const;
    // Other workstations changed attendees: the shown datasheet is filled again in
    // its sort, the current attendee's line still picked (nothing moves).
    void lookAgain();
    // The keys of the attendees selected in the datasheet, in key order; none in
    // the form view.
    QList<qint64> selectedKeys() const;
    // The lines are read again (a check-in or a card printed changed them).
    void refreshRows();
    // The line of the navigator's current attendee becomes the current line (a
    // scan or a name chosen while the datasheet is shown).
    void followCurrent();

    void mnuViewAll_Click();
    void lstEveryone_ItemClick(int row);
    void lstEveryone_DblClick();
    void lstEveryone_ColumnClick(int column);

private:
    void showIndicators(bool datasheet);
    void fill();

    QWidget *m_window;
    CommandRunner m_runner {m_window};
    DatasheetList *m_list;
    DataControl *m_data;
    QAction *m_mnuViewAll;
    QAction *m_toolButton;
    std::function<QIcon(const QString &)> m_images;
};
