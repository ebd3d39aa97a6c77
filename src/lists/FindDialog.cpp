#include "FindDialog.h"

#include "bindings/CommandRunner.h"
#include "bindings/DataControl.h"
#include "core/AccessibleTitle.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/DataError.h"
#include "data/Recordset.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString FindTitle = QStringLiteral("Find");

} // namespace

FindDialog::FindDialog(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(FindTitle);
    followTitleWithAccessibleName(this);

    auto *lblFindWhaat = new QLabel(QStringLiteral("Find What:"), this);
    lblFindWhaat->setObjectName(QStringLiteral("lblFindWhaat"));
    m_txtFindWhat = new QLineEdit(this);
    m_txtFindWhat->setObjectName(QStringLiteral("txtFindWhat"));
    m_txtFindWhat->setToolTip(QStringLiteral("Enter text to find"));
    m_txtFindWhat->setAccessibleName(QStringLiteral("Find What:"));
    lblFindWhaat->setBuddy(m_txtFindWhat);

    auto *lblFindWhere = new QLabel(QStringLiteral("Find Where:"), this);
    lblFindWhere->setObjectName(QStringLiteral("lblFindWhere"));
    m_cboFields = new QComboBox(this);
    m_cboFields->setObjectName(QStringLiteral("cboFields"));
    m_cboFields->setEditable(false);
    m_cboFields->setToolTip(QStringLiteral("Select Search Field"));
    m_cboFields->setAccessibleName(QStringLiteral("Find Where:"));
    lblFindWhere->setBuddy(m_cboFields);

    const char *const captions[2] = {"Find &First", "Find &Next"};
    const char *const tips[2] = {"Find the First Occurence of the search text in Selected Field",
                                 "Find the Next Occurence of the search text in Selected Field"};
    for (int i = 0; i < 2; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(captions[i]), this);
        button->setObjectName(QStringLiteral("cmdFind_%1").arg(i));
        button->setProperty("index", i);
        button->setToolTip(QString::fromLatin1(tips[i]));
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, [this, i] { findRecord(m_txtFindWhat->text(), i); });
        m_cmdFind[i] = button;
    }
    m_cmdFind[0]->setDefault(true);
    auto *cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    connect(m_txtFindWhat, &QLineEdit::textChanged, this, &FindDialog::txtFindWhat_Change);

    auto *grid = new QGridLayout;
    grid->addWidget(lblFindWhaat, 0, 0);
    grid->addWidget(m_txtFindWhat, 0, 1);
    grid->addWidget(lblFindWhere, 1, 0);
    grid->addWidget(m_cboFields, 1, 1);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdFind[0]);
    buttons->addWidget(m_cmdFind[1]);
    buttons->addWidget(cmdClose);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

FindDialog::~FindDialog()
{
    m_context.findOpen = false;
}

void FindDialog::done(int result)
{
    // Form_Unload: Close, the close box, Esc and the program's shut-down all end here.
    m_context.findOpen = false;
    QDialog::done(result);
}

void FindDialog::txtFindWhat_Change()
{
    const bool any = !m_txtFindWhat->text().trimmed().isEmpty();
    for (QPushButton *button : m_cmdFind)
        button->setEnabled(any);
}

int FindDialog::showFind(Recordset *recordset, const QString &findWhat, const QString &findWhere)
{
    m_recordset = recordset;
    QStringList names;
    if (recordset) {
        for (int i = 0; i < recordset->fieldCount(); ++i)
            names << recordset->fieldName(i);
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    m_cboFields->clear();
    m_cboFields->addItems(names);
    m_cboFields->setCurrentIndex(-1);
    if (!findWhat.isEmpty())
        m_txtFindWhat->setText(findWhat);
    if (!findWhere.isEmpty())
        m_cboFields->setCurrentIndex(m_cboFields->findText(findWhere, Qt::MatchFixedString));
    m_txtFindWhat->selectAll();
    m_txtFindWhat->setFocus();
    m_context.findOpen = true;
    return Dialogs::instance().showModal(this);
}

QString FindDialog::criteria(const QString &field, const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('\''))
            pattern += QStringLiteral("''"); // a quote inside the quoted pattern
        else if (c == QLatin1Char('#') || c == QLatin1Char('['))
            pattern += QLatin1Char('[') + c + QLatin1Char(']'); // a digit or set mark taken literally
        else
            pattern += c;
    }
    return field + QStringLiteral(" LIKE '*") + pattern + QStringLiteral("*'");
}

void FindDialog::findRecord(const QString &text, int index)
{
    if (!m_recordset) {
        Dialogs::instance().message(this, QStringLiteral("Unexpected Error, please close the Find dialog and try again"),
                                    FindTitle, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const QString criterion = criteria(m_cboFields->currentText().trimmed(), text);
    // A criterion the engine refuses (no field chosen): said, and the dialog stays.
    const bool searched = CommandRunner(this).reporting({FindTitle, MsgIcon::Exclamation}, [&] {
        try {
            if (index == 0)
                m_recordset->findFirst(criterion);
            else
                m_recordset->findNext(criterion);
        } catch (const AppError &error) {
            throw DataError::lockedAs(error, QStringLiteral("The search was not made."));
        }
    });
    if (searched && m_recordset->noMatch())
        Dialogs::instance().message(this,
                                    QStringLiteral("Either at end of record or search criteria is not in the "
                                                   "specified field"),
                                    FindTitle, MsgButtons::Ok, MsgIcon::Information);
}

void FindDialog::openFind(AppContext &context, QWidget *window, DataControl *data)
{
    QString findWhat;
    QString findWhere;
    const CommandRunner runner(window);
    runner.ignoring([&] {
        QWidget *active = QApplication::focusWidget();
        if (!active || !window->isAncestorOf(active))
            return;
        // An editable combo's own line edit stands for the combo.
        if (auto *combo = qobject_cast<QComboBox *>(active->parentWidget()); combo && combo->lineEdit() == active)
            active = combo;
        // Only a box bound to a field of the attendee presets the dialog (never the
        // toolbar's size box).
        findWhere = data->boundField(active);
        if (findWhere.isEmpty())
            return;
        if (auto *edit = qobject_cast<QLineEdit *>(active))
            findWhat = edit->text();
        else if (auto *combo = qobject_cast<QComboBox *>(active))
            findWhat = combo->currentText();
    });
    runner.ignoring([&] {
        FindDialog dialog(context, window);
        dialog.showFind(data->recordset(), findWhat, findWhere);
    });
}
