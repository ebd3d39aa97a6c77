#pragma once

#include <QTreeWidget>

// "lstEveryone": the datasheet view of every attendee of the event, laid over
// the form (hidden in form view). Filling, sorting and picking a line are the
// datasheet view's; for now it is the empty, hidden list with its columns.
class DatasheetList : public QTreeWidget
{
    Q_OBJECT
public:
    explicit DatasheetList(QWidget *parent = nullptr);
};
