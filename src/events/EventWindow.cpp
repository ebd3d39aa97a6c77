#include "EventWindow.h"
#include "NullableDateEdit.h"

#include "core/AccessibleTitle.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "bindings/DataControl.h"
#include "data/Recordset.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString RecordSource = QStringLiteral("Select * from Program");

// One row of the form: the caption label's index, its text and the bound field.
struct FieldRow
{
    int index;
    const char *caption;
    const char *field;
};

constexpr FieldRow FieldRows[] = {
    {0, "ProgramID:", "ProgramID"},     {1, "Name:", "Name"},
    {2, "Description:", "Description"}, {3, "Director:", "Director"},
    {4, "DateStart:", "DateStart"},     {5, "DateEnd:", "DateEnd"},
    {6, "FundRaising:", "FundRaising"}, {7, "TargetAmt:", "TargetAmt"},
    {8, "ActualAmt:", "ActualAmt"},
};

} // namespace

EventWindow::EventWindow(const AppContext &context, QWidget *owner)
    : QDialog(owner)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmEvent"));
    setWindowTitle(QStringLiteral("Event Setup"));
    followTitleWithAccessibleName(this);
    buildControls();
}

void EventWindow::buildControls()
{
    auto *label1 = new QLabel(QStringLiteral("Please Select or Enter a new event to register attendees"), this);
    label1->setObjectName(QStringLiteral("Label1"));

    m_datPrimaryRS = new DataControl(this);
    m_datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    connect(m_datPrimaryRS, &DataControl::reposition, this, &EventWindow::datPrimaryRS_Reposition);

    auto *grid = new QGridLayout;
    QList<QWidget *> tabChain;
    for (const FieldRow &row : FieldRows) {
        auto *caption = new QLabel(QString::fromLatin1(row.caption), this);
        caption->setObjectName(QStringLiteral("lblLabels_%1").arg(row.index));
        caption->setProperty("index", row.index);

        QWidget *control = nullptr;
        if (row.index == 4 || row.index == 5) {
            auto *picker = new NullableDateEdit(this);
            picker->setObjectName(QStringLiteral("DTPicker1_%1").arg(row.index - 4));
            picker->setProperty("index", row.index - 4);
            m_dtPicker[row.index - 4] = picker;
            control = picker;
        } else if (row.index == 6) {
            m_chkFundRaising = new QCheckBox(this);
            m_chkFundRaising->setObjectName(QStringLiteral("chkFields_6"));
            m_chkFundRaising->setProperty("index", 6);
            control = m_chkFundRaising;
        } else {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QStringLiteral("txtFields_%1").arg(row.index));
            edit->setProperty("index", row.index);
            m_txtFields[row.index] = edit;
            control = edit;
        }
        caption->setBuddy(control);
        grid->addWidget(caption, row.index, 0);
        // The check box keeps its own width, so a click beside it does not toggle it.
        grid->addWidget(control, row.index, 1, row.index == 6 ? Qt::AlignLeft : Qt::Alignment());
        m_datPrimaryRS->bind(control, QString::fromLatin1(row.field));
        tabChain << control;
    }
    // The key is the database's own (an autonumber): shown, never typed.
    m_txtFields[0]->setReadOnly(true);
    m_txtFields[0]->setToolTip(QStringLiteral("Assigned by the database"));
    grid->setColumnStretch(1, 1);

    auto *picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto *buttons = new QHBoxLayout(picButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto addButton = [&](const char *name, const char *text, void (EventWindow::*handler)()) {
        auto *button = new QPushButton(QString::fromLatin1(text), picButtons);
        button->setObjectName(QString::fromLatin1(name));
        // Only OK is the default button; the others must not grab Enter.
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, handler);
        buttons->addWidget(button);
        return button;
    };
    addButton("cmdAdd", "&Add New", &EventWindow::cmdAdd_Click);
    addButton("cmdUpdate", "&Save", &EventWindow::cmdUpdate_Click);
    addButton("cmdDelete", "&Delete", &EventWindow::cmdDelete_Click);
    m_cmdOK = addButton("cmdOK", "&OK", &EventWindow::cmdOK_Click);
    addButton("cmdCancel", "&Cancel", &EventWindow::cmdCancel_Click);
    m_cmdOK->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addLayout(grid);
    layout->addWidget(m_datPrimaryRS);
    layout->addWidget(picButtons);

    // Top to bottom through the fields, the navigator's arrows, then the buttons.
    for (int i = 0; i < 4; ++i) {
        if (QToolButton *arrow = m_datPrimaryRS->button(i))
            tabChain << arrow;
    }
    for (QPushButton *button : picButtons->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly))
        tabChain << button;
    for (int i = 1; i < tabChain.size(); ++i)
        QWidget::setTabOrder(tabChain.at(i - 1), tabChain.at(i));
}

DataControl *EventWindow::datPrimaryRS() const
{
    return m_datPrimaryRS;
}

void EventWindow::formLoad()
{
    try {
        if (!m_context.hasDatabase())
            throw AppError(-1, QStringLiteral("Event Setup"), QStringLiteral("Connection to Database Server Failure"));
        m_datPrimaryRS->setDatabaseName(m_context.databaseLocation());
        m_datPrimaryRS->setRecordSource(RecordSource);
        m_datPrimaryRS->refresh();
        m_datPrimaryRS->recordset()->setLockEdits(false);
        m_datPrimaryRS->refresh();
    } catch (const AppError &error) {
        throw error.withDescriptionSuffix(QStringLiteral("\rProgram will Terminate"));
    } catch (const std::exception &error) {
        throw AppError(-1, QStringLiteral("Event Setup"),
                       QString::fromLocal8Bit(error.what()) + QStringLiteral("\rProgram will Terminate"));
    }
}

void EventWindow::datPrimaryRS_Reposition()
{
    ignoreErrors([&] {
        const Recordset *rs = m_datPrimaryRS->recordset();
        if (!rs)
            return;
        m_datPrimaryRS->setCaption(QStringLiteral("Record: %1 of %2")
                                       .arg(rs->absolutePosition() + 1)
                                       .arg(rs->recordCount()));
    });
}

void EventWindow::cmdAdd_Click()
{
    m_runner.reporting({}, [this] {
        Recordset *rs = m_datPrimaryRS->recordset();
        if (!rs)
            throw AppError(-1, QStringLiteral("Event Setup"), QStringLiteral("The events are not open. Close this window and open the Event Form again."));
        rs->addNew();
        m_txtFields[1]->setFocus();
    });
}

void EventWindow::cmdUpdate_Click()
{
    m_runner.reporting({}, [this] { saveEvent(); });
    // The position of a row that was being added is known only once it is written.
    datPrimaryRS_Reposition();
}

void EventWindow::saveEvent()
{
    Recordset *rs = m_datPrimaryRS->recordset();
    if (rs && rs->editMode() != EditMode::None && rs->updatable())
        rs->update();
}

void EventWindow::cmdDelete_Click()
{
    m_runner.reporting({}, [this] { deleteEvent(); });
    datPrimaryRS_Reposition();
}

void EventWindow::deleteEvent()
{
    // No is the default answer: Enter alone must not delete an event.
    const MsgAnswer answer = Dialogs::instance().message(
        this, QStringLiteral("Are you sure you want to DELETE the Current Event?"), QStringLiteral("DELETE Event"),
        MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No);
    if (answer != MsgAnswer::Yes)
        return;
    Recordset *rs = m_datPrimaryRS->recordset();
    if (!rs)
        return;
    if (rs->editMode() == EditMode::Adding) {
        // A row that was never written: deleting it means dropping it.
        m_datPrimaryRS->cancelChanges();
        return;
    }
    // Deleting the last row must not leave the window on no row while events remain.
    m_datPrimaryRS->deleteCurrentAndMove(DataControl::AfterLastRow::ShowLastRow);
}

void EventWindow::cmdOK_Click()
{
    setResult(QDialog::Accepted);
    ignoreErrors([&] { hide(); });
    m_tag = QStringLiteral("OK");
    ignoreErrors([&] { emit eventChosen(m_txtFields[0]->text(), m_txtFields[1]->text()); });
    unloadWindow(QDialog::Accepted);
}

void EventWindow::cmdCancel_Click()
{
    m_tag = QStringLiteral("Cancel");
    unloadWindow(QDialog::Rejected);
}

void EventWindow::reject()
{
    if (m_unloading)
        return;
    cmdCancel_Click();
}

void EventWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloading && !m_unloaded) {
        // The close box cancels; cmdCancel_Click closes the window itself.
        event->ignore();
        cmdCancel_Click();
        return;
    }
    QDialog::closeEvent(event);
}

// Unloading writes a pending change of the current row (the data control's
// Unload action), as both OK and Cancel have always done; that includes a new
// row nobody typed into, so an event chosen right after Add New exists. A failed
// write is reported by the data control, so the typing never vanishes silently.
void EventWindow::unloadWindow(int result)
{
    if (m_unloading || m_unloaded)
        return;
    m_unloading = true;
    m_runner.reporting({}, [this] { m_datPrimaryRS->unload(); });
    formUnload();
    m_unloaded = true;
    setResult(result);
    // done() ends the modal display; close() is then a no-op for a hidden window.
    QDialog::done(result);
    m_unloading = false;
    deleteLater();
}

void EventWindow::formUnload()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}
