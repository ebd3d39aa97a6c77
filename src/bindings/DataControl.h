#pragma once

#include "data/Recordset.h"
#include "core/AppError.h"

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
// Events, in the original order for every action (the arrows, the recordset's own
// moves from code, AddNew, Update, Delete, Find, Bookmark, Close, Unload):
//   validate(action, save)   before the action; action may be set to 0 to cancel;
//                            save tells that bound data changed; when the action
//                            goes ahead with save true the row is written first;
//   error(dataErr, response) when that write (or an arrow move) fails with a data
//                            error; response starts at 1 (show the engine's own
//                            message through Dialogs) and may be set to 0;
//                            the action is then cancelled and the typing kept;
//   reposition()             after the current row changed and bound widgets were filled.
// The recordset's own Update (the window's Save) is validated under action 6 and
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

    void setDatabaseName(const QString &file) { m_databaseName = file; }
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
    // special text. Bind an editable combo box after making it editable.
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
    bool saveChanges(int action);
    // Drops the pending edit and refills the widgets from the stored row, read
    // again from the database (Esc); a dropped new row shows the row before it.
    void cancelChanges();
    // The window is closing: writes changed bound data under Unload (action 11).
    bool unload();

    QToolButton *button(int which) const; // 0 first, 1 previous, 2 next, 3 last

signals:
    void validate(int &action, bool &save);
    void error(int dataErr, int &response);
    void reposition();
    // refresh() opened a new recordset (the old one is gone): models over it re-point.
    void recordsetOpened(Recordset *recordset);

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

    bool beforeAction(int action);
    // Validate, then write changed bound data; `fromRecordset` when the recordset
    // asks before its own action (its Update then writes the row itself).
    bool runAction(int action, bool fromRecordset);
    void currentChanged();
    void markChanged(QWidget *widget);
    void fillWidget(QWidget *widget, const QVariant &value);
    QVariant widgetValue(QWidget *widget) const;
    void arrow(int action);
    bool reportError(const AppError &error);
    // Writes the pending row (our own Update, not validated again); reports a
    // failure through error() and returns false.
    bool writeRow();
    bool pendingChanges() const;
    bool hasCurrentRow() const;
    void storeValue(QWidget *widget, const QVariant &value);
    void connectEdits(QWidget *widget);
    void releaseRecordset();
    const Binding *bindingOf(const QWidget *widget) const;

    QString m_databaseName;
    QString m_recordSource;
    std::unique_ptr<Recordset> m_recordset;
    std::unique_ptr<RecordsetListener> m_listener;
    QLabel *m_caption = nullptr;
    QToolButton *m_buttons[4] = {};
    QList<Binding> m_bindings;
    // Typed values that could not be stored in their field (letters in an amount),
    // by field: the text stays in the box and the write reports the error.
    std::map<QString, AppError> m_badValues;
    bool m_filling = false;
    bool m_dataChanged = false;
    bool m_writingRow = false;      // our own Update inside an action
    bool m_rowChangedWhileWriting = false;
    int m_arrowAction = 0;          // the arrow being handled (reported to validate)
    bool m_arrowValidated = false;  // a follow-up move of that arrow is not validated again
    bool m_arrowMoved = false;
    bool m_pendingRefill = false;   // the set moved while our write stored a new row
};
