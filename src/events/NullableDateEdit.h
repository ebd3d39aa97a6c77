#pragma once

#include <QDateEdit>

// A date box in which "no date" is a value: the minimum date stands for it and
// shows as an empty box (the convention the data control binds by). Delete
// clears the date; the calendar of an empty box opens on today's month rather
// than on the minimum date's.
class NullableDateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit NullableDateEdit(QWidget *parent = nullptr);

    bool isNull() const { return date() == minimumDate(); }
    void clear() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
