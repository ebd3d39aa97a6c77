#pragma once

#include "DataControlHandler.h"
#include "core/AppError.h"
#include "data/Recordset.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <memory>

class QLabel;
class QToolButton;

// The navigator: four arrows (first, previous, next, last) around a caption,
// owning the Recordset of its DatabaseName and RecordSource. Widgets are bound to
// fields by name: the control fills them on every change of the current row, and
// what the user types goes into the pending row at once (the row enters an edit).
// Leaving a row whose bound data changed writes it; so does closing.
//
// For every action (the arrows, the recordset's own moves from code, AddNew,
// Update, Delete, Find, Bookmark, Close, Unload), in this order:
//   the handler's validate(action, changed) before it: it may cancel the action,
//   or drop the changed data; when the action goes ahead with data to save, the
//   row is written first;
//   the handler's error(error) when that write (or an arrow's move) fails with a
//   data error: the control shows the error's text unless the handler says it
//   has; the action is then cancelled and the typing kept;
//   reposition() after the current row changed and the bound widgets were filled.
// The recordset's own Update (the window's Save) is validated under Update and
// throws its failure to the caller, keeping the pending values; a value that did
// not fit its field (letters in an amount) is thrown there as TypeMismatch.
// Delete writes nothing first: the pending edit goes with the deleted row.
// An arrow past the last row stays on the last row (past the first, on the first);
// standing after the end (the last row was deleted), it leads back to the rows.
class DataControl : public QWidget
{
    Q_OBJECT
public:
    explicit DataControl(QWidget *parent = nullptr);
    ~DataControl() override;

    // Who decides before actions and hears of failed writes; null (the default)
    // lets every action go ahead and shows data errors in a box. Not owned.
    void setHandler(DataControlHandler *handler) { m_handler = handler; }

    // `desk`: the connection of that desk (Database::shared), for several desks in one process.
    void setDatabaseName(const QString &file, const QString &desk = QString())
    {
        m_databaseName = file;
        m_desk = desk;
    }
    QString databaseName() const { return m_databaseName; }
    void setRecordSource(const QString &source) { m_recordSource = source; }
    QString recordSource() const { return m_recordSource; }

    // Opens the recordset of DatabaseName/RecordSource, goes to its first row
    // (none if empty), fills the bound widgets and raises reposition().
    // Throws AppError (DataError) when the file or source cannot be opened.
    // Changed bound data of the rows open before is written first (without a
    // validate); when that fails its error is thrown and the old rows stay.
    void refresh();
    // The open recordset, or nullptr before the first refresh().
    Recordset *recordset() const { return m_recordset.get(); }

    void setCaption(const QString &caption);
    QString caption() const;

    // Binds a QLineEdit, QPlainTextEdit, QComboBox (its edit text), QCheckBox,
    // QDateEdit or QLabel (read-only display, written through setBoundValue) to `field`.
    // Only the user's edits mark data changed (textEdited, a pick from the list,
    // a click); a date box shows a null date as its minimum date with a blank
    // special text. A one-line box (a line edit, a combo's edit) keeps one line of
    // visible text however it came in (textInput::oneLine); a multi-line box's
    // value loses only the direction overrides. Bind an editable combo box after
    // making it editable.
    void bind(QWidget *widget, const QString &field);
    QString boundField(QWidget *widget) const;
    // Sets a bound widget's display and writes the field of the pending row (the
    // way code writes a bound label's caption).
    void setBoundValue(QWidget *widget, const QVariant &value);
    // Fills every bound widget from the current row (empty when there is none).
    void updateControls();
    // True when bound data of the current row changed since it was filled (and
    // has not been written since).
    bool dataChanged() const;

    // Writes the pending row when bound data changed, as leaving the row would
    // (validate with `action`, then update). False when cancelled or failed.
    bool saveChanges(DataAction action);
    // Drops the pending edit and refills the widgets from the stored row, read
    // again from the database (Esc); a dropped new row shows the row before it.
    void cancelChanges();
    // The window is closing: writes changed bound data under Unload (action 11).
    bool unload();

    // Where a deletion leaves the set when the deleted row was its last one.
    enum class AfterLastRow {
        StandAfterEnd, // no current row; the arrows lead back to the rows
        ShowLastRow,   // the new last row is current
    };
    // Delete: deletes the current row (validated under Delete; a pending edit goes
    // with the row) and moves off it, to the next row, or to the previous one when
    // the set stands at its end. When no row is current afterwards (the set is
    // empty, or stands after its end) the bound widgets are emptied and
    // reposition() raised, so nothing of the deleted row stays on screen. False when
    // the handler cancelled it (nothing changes); throws the data error of a
    // failed delete or move (the set stays where the error left it).
    bool deleteCurrentAndMove(AfterLastRow afterLast = AfterLastRow::StandAfterEnd);

    QToolButton *button(int which) const; // 0 first, 1 previous, 2 next, 3 last

    // Other workstations changed the database: the set takes in their new and
    // deleted rows without leaving the current row; the bound widgets are filled
    // again only when nothing typed is unsaved (typing stays on screen, and its
    // save meets the optimistic check). Raises rowsRefreshed(), never reposition()
    // (nothing moved unless the current row itself was deleted elsewhere, and then
    // reposition() too). Does nothing in the middle of an action of its own.
    // Throws the data error of the reads (a lost connection).
    void lookAgain();

signals:
    void reposition();
    // deleteCurrentAndMove() deleted the row of `key`, before it moves off it.
    void rowDeleted(qint64 key);
    // refresh() opened a new recordset (the old one is gone): models over it re-point.
    void recordsetOpened(Recordset *recordset);
    // lookAgain() read the set again; `refilled` when the widgets show the stored row anew.
    void rowsRefreshed(bool refilled);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void mouseMoved();

private:
    friend class DataControlListener;
    struct Binding
    {
        QPointer<QWidget> widget;
        QString field;
    };

    // What the control is doing now. The recordset calls back into the control
    // during its actions; the activity tells those callbacks apart.
    struct Activity
    {
        enum class Kind {
            Idle,    // waiting for the user or for code
            Filling, // writing the row's values into the widgets (their changes are not edits)
            Writing, // writing the pending row itself: the recordset's callbacks are its own
            Acting,  // carrying out one action of its own (an arrow, a save): validated once
        };
        Kind kind = Kind::Idle;
        DataAction action = DataAction::Cancel; // Acting: the action the handler is told of
        bool validated = false;                 // Acting: told already; later steps go ahead
        bool rowChanged = false;                // the current row changed meanwhile: refill at the end
    };
    class ActivityScope;

    DataControlHandler &handler() const;
    bool beforeAction(DataAction action);
    // Validate, then write changed bound data; `fromRecordset` when the recordset
    // asks before its own action (its Update then writes the row itself).
    bool runAction(DataAction action, bool fromRecordset);
    void currentChanged();
    void refill();
    void markChanged(QWidget *widget);
    void fillWidget(QWidget *widget, const QVariant &value);
    QVariant widgetValue(QWidget *widget) const;
    void arrow(DataAction action);
    bool reportError(const AppError &error);
    // Writes the pending row (our own Update, not validated again); reports a
    // failure through error() and returns false.
    bool writeRow();
    bool pendingChanges() const;
    void dropBadValues();
    bool hasCurrentRow() const;
    void storeValue(QWidget *widget, const QVariant &value);
    void connectEdits(QWidget *widget);
    void releaseRecordset();
    const Binding *bindingOf(const QWidget *widget) const;

    DataControlHandler *m_handler = nullptr;
    QString m_databaseName;
    QString m_desk;
    QString m_recordSource;
    std::unique_ptr<Recordset> m_recordset;
    std::unique_ptr<RecordsetListener> m_listener;
    QLabel *m_caption = nullptr;
    QToolButton *m_buttons[4] = {};
    QList<Binding> m_bindings;
    // Typed values that could not be stored in their field (letters in an amount),
    // by field: the text stays in the box and the write reports the error.
    std::map<QString, AppError> m_badValues;
    Activity m_activity;
};
