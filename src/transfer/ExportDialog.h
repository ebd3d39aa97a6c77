#pragma once

#include <QDialog>

class AppContext;
class BackgroundJob;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

// "frmExport", File > Export...: an event's attendees, or its donations and fees,
// to a CSV or XLSX file (the kind from the file's ending). The export runs off the
// window's thread with progress and Cancel; a cancelled or failed export leaves
// no file.
class ExportDialog : public QDialog
{
    Q_OBJECT
public:
    ExportDialog(AppContext &context, qint64 currentEvent, QWidget *parent = nullptr);
    ~ExportDialog() override;

public slots:
    void reject() override;

private:
    void browse();
    void startExport();
    void exportFinished();
    void setRunning(bool running, const QString &what);
    QString suggestedFile() const;

    AppContext &m_context;
    BackgroundJob *m_job;
    QTimer *m_progressTimer;
    int m_written = 0;
    bool m_done = false;

    QComboBox *m_cboEvent;
    QRadioButton *m_optAttendees;
    QRadioButton *m_optDonations;
    QLineEdit *m_txtFile;
    QPushButton *m_cmdBrowse;
    QProgressBar *m_prgWork;
    QLabel *m_lblStatus;
    QPushButton *m_cmdExport;
    QPushButton *m_cmdCancel;
};
