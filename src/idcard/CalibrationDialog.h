#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDoubleSpinBox;
class QPushButton;
struct PrinterCalibration;

// File > "Calibrate Printer...": the correction of one printer (across and down
// in millimetres, scale in percent), read from the calibration page. "Print
// Calibration Page" prints the page with the values as typed, so the user prints,
// reads, types and prints again until the rulers read zero; OK keeps the values
// for that printer, Cancel leaves what was kept.
class CalibrationDialog : public QDialog
{
    Q_OBJECT
public:
    // `printers`: the installed printers' names; `cardSizeIndex` the toolbar's
    // size (1 "2 1/4 X 3.5", 2 "3 X 4"; anything else: "3 X 4").
    CalibrationDialog(const QStringList &printers, int cardSizeIndex, QWidget *parent = nullptr);

    PrinterCalibration typed() const;

public slots:
    void accept() override;

private:
    void showStored();
    void printPage();

    QComboBox *m_cboPrinter;
    QComboBox *m_cboCardSize;
    QDoubleSpinBox *m_spnOffsetX;
    QDoubleSpinBox *m_spnOffsetY;
    QDoubleSpinBox *m_spnScale;
    QPushButton *m_cmdPrintPage;
};
