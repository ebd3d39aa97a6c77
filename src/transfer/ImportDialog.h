#pragma once

#include "exchange/ImportReport.h"
#include "exchange/SheetTable.h"

#include <QDialog>
#include <memory>
#include <optional>

class AppContext;
class BackgroundJob;
class ColumnChoices;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTimer;

// "frmImport", File > Import Attendees...: a CSV or XLSX file of attendees into the
// current event or an event named here (made when none has that name). The file
// is read when chosen and its first rows shown with the field each column fills
// (changeable, or "ignored"); one choice says what becomes of duplicates. Reading
// and importing run off the window's thread with progress and Cancel; the import
// is all or nothing, and its report stays in the window.
class ImportDialog : public QDialog
{
    Q_OBJECT
public:
    struct Event
    {
        qint64 id = 0; // 0: none chosen
        QString name;
    };

    ImportDialog(AppContext &context, const Event &current, QWidget *parent = nullptr);
    ~ImportDialog() override;

    // The import that was written, if any (its event, its counts).
    const std::optional<ImportReport> &imported() const { return m_imported; }

    // Reads `file` as Browse does (for the program and tests alike).
    void loadFile(const QString &file);

    static constexpr int PreviewRows = 10;

public slots:
    void reject() override;

private:
    void browse();
    void startImport();
    void readFinished();
    void importFinished();
    void showProgress();
    void showPreview();
    void setRunning(bool running, const QString &what);
    void refreshEvents();
    void showError(const QString &text);

    AppContext &m_context;
    Event m_current;
    std::shared_ptr<const SheetTable> m_table;
    std::shared_ptr<SheetTable> m_reading;
    std::optional<ImportReport> m_report;
    std::optional<ImportReport> m_imported;
    BackgroundJob *m_job;
    QTimer *m_progressTimer;

    QLineEdit *m_txtFile;
    QPushButton *m_cmdBrowse;
    QLabel *m_lblFormat;
    QRadioButton *m_optCurrent;
    QRadioButton *m_optNamed;
    QComboBox *m_cboEvent;
    ColumnChoices *m_columns;
    QTableWidget *m_tblPreview;
    QRadioButton *m_optSkip;
    QRadioButton *m_optUpdate;
    QRadioButton *m_optAdd;
    QProgressBar *m_prgWork;
    QLabel *m_lblStatus;
    QPlainTextEdit *m_txtReport;
    QPushButton *m_cmdImport;
    QPushButton *m_cmdCancel;
};
