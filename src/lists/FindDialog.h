#pragma once

#include <QDialog>
#include <QString>

class AppContext;
class DataControl;
class QComboBox;
class QLineEdit;
class QPushButton;
class Recordset;

// "frmFind": searches the attendee recordset of the registration window for a
// row whose chosen field contains the typed text, with the engine's LIKE: "*"
// and "?" typed by the user keep their wildcard meaning, every other character
// (a quote, "%", "_", "#", "[") is just itself, and letter case is ignored for
// every alphabet. Every row found becomes the window's current attendee. A
// criterion the engine refuses (no field chosen) is reported and the dialog
// stays usable. The context's findOpen is true while the dialog is shown.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(AppContext &context, QWidget *parent = nullptr);
    ~FindDialog() override;

    // OpenFind of the registration window: the dialog over `data`'s recordset,
    // preset from the window's focused text box or combo when it is bound to a
    // field (its text and that field). Returns when the dialog has closed.
    static void openFind(AppContext &context, QWidget *window, DataControl *data);

    // ShowFind: lists the recordset's fields, presets the text and field when
    // given, and shows the dialog modally; returns when it has closed.
    int showFind(Recordset *recordset, const QString &findWhat = QString(), const QString &findWhere = QString());

    // FindRecord: button 0 finds the first match, 1 the next after the current row.
    void findRecord(const QString &text, int index);

    // The criterion for `field` containing `text`: field LIKE '*text*', with the
    // text's pattern characters other than * and ? made literal.
    static QString criteria(const QString &field, const QString &text);

    void done(int result) override;

private:
    void txtFindWhat_Change();

    AppContext &m_context;
    Recordset *m_recordset = nullptr;
    QLineEdit *m_txtFindWhat = nullptr;
    QComboBox *m_cboFields = nullptr;
    QPushButton *m_cmdFind[2] = {};
};
