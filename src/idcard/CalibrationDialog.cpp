#include "CalibrationDialog.h"

#include "CalibrationPage.h"
#include "CardLayout.h"
#include "PrinterCalibration.h"
#include "core/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Calibrate Printer");

QDoubleSpinBox *numberBox(QWidget *parent, const char *name, const QString &accessible, double low, double high,
                          const QString &suffix)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessible);
    box->setRange(low, high);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(suffix);
    box->setAlignment(Qt::AlignRight);
    box->setMinimumWidth(110);
    box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return box;
}

} // namespace

CalibrationDialog::CalibrationDialog(const QStringList &printers, int cardSizeIndex, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(Title);
    setAccessibleName(Title);

    m_cboPrinter = new QComboBox(this);
    m_cboPrinter->setObjectName(QStringLiteral("cboPrinter"));
    m_cboPrinter->setAccessibleName(QStringLiteral("Printer"));
    m_cboPrinter->addItems(printers);
    m_cboPrinter->setMinimumContentsLength(24);
    m_cboCardSize = new QComboBox(this);
    m_cboCardSize->setObjectName(QStringLiteral("cboCardSize"));
    m_cboCardSize->setAccessibleName(QStringLiteral("Card size"));
    m_cboCardSize->addItems({QStringLiteral("3 X 4"), QStringLiteral("2 1/4 X 3.5")});
    m_cboCardSize->setCurrentIndex(cardSizeIndex == 1 ? 1 : 0);
    using C = PrinterCalibration;
    m_spnOffsetX = numberBox(this, "spnOffsetX", QStringLiteral("Across, millimetres"), -C::MaxOffsetMm, C::MaxOffsetMm,
                             QStringLiteral(" mm"));
    m_spnOffsetX->setToolTip(QStringLiteral("Positive moves the print right"));
    m_spnOffsetY = numberBox(this, "spnOffsetY", QStringLiteral("Down, millimetres"), -C::MaxOffsetMm, C::MaxOffsetMm,
                             QStringLiteral(" mm"));
    m_spnOffsetY->setToolTip(QStringLiteral("Positive moves the print down"));
    m_spnScale = numberBox(this, "spnScale", QStringLiteral("Scale, percent"), C::MinScale, C::MaxScale,
                           QStringLiteral(" %"));

    auto *form = new QFormLayout;
    const auto row = [this, form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("&Printer:"), m_cboPrinter);
    row(QStringLiteral("Card &size:"), m_cboCardSize);
    row(QStringLiteral("&Across:"), m_spnOffsetX);
    row(QStringLiteral("&Down:"), m_spnOffsetY);
    row(QStringLiteral("S&cale:"), m_spnScale);

    auto *help = new QLabel(QStringLiteral("Print the calibration page, read the rulers where the paper's edges cut "
                                           "them, add the readings here as the page says, and print it again to check. "
                                           "OK keeps the values for this printer; every card it prints is corrected."),
                            this);
    help->setWordWrap(true);

    m_cmdPrintPage = new QPushButton(QStringLiteral("Print Calibration &Page"), this);
    m_cmdPrintPage->setObjectName(QStringLiteral("cmdPrintPage"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_cmdPrintPage);
    buttonRow->addStretch();
    buttonRow->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(help);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);
    setMinimumWidth(420);

    connect(m_cboPrinter, &QComboBox::currentIndexChanged, this, &CalibrationDialog::showStored);
    connect(m_cmdPrintPage, &QPushButton::clicked, this, &CalibrationDialog::printPage);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CalibrationDialog::reject);
    const bool any = m_cboPrinter->count() > 0;
    for (QWidget *input : {static_cast<QWidget *>(m_spnOffsetX), static_cast<QWidget *>(m_spnOffsetY),
                           static_cast<QWidget *>(m_spnScale), static_cast<QWidget *>(m_cmdPrintPage)})
        input->setEnabled(any);
    if (!any)
        m_cboPrinter->setPlaceholderText(QStringLiteral("<no printer installed>"));
    showStored();
}

PrinterCalibration CalibrationDialog::typed() const
{
    return {m_spnOffsetX->value(), m_spnOffsetY->value(), m_spnScale->value()};
}

void CalibrationDialog::showStored()
{
    const PrinterCalibration stored = PrinterCalibration::load(m_cboPrinter->currentText());
    m_spnOffsetX->setValue(stored.offsetXMm);
    m_spnOffsetY->setValue(stored.offsetYMm);
    m_spnScale->setValue(stored.scalePercent);
}

void CalibrationDialog::printPage()
{
    const QString name = m_cboPrinter->currentText();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    const CardLayout layout = m_cboCardSize->currentIndex() == 1 ? CardLayout::card2x35() : CardLayout::card3x4();
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName() != name
        || !CalibrationPage::print(printer, layout.twips, typed()))
        Dialogs::instance().message(this,
                                    QStringLiteral("The calibration page could not be sent to \"%1\". Check that the "
                                                   "printer is on and installed, then print again.")
                                        .arg(name),
                                    Title, MsgButtons::Ok, MsgIcon::Exclamation);
}

void CalibrationDialog::accept()
{
    if (m_cboPrinter->currentIndex() >= 0)
        typed().save(m_cboPrinter->currentText());
    QDialog::accept();
}
