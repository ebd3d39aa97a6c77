#include "LookupLists.h"

#include "LookupCombo.h"
#include "bindings/CommandRunner.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/LookupTable.h"
#include "session/CardContent.h"

#include <QSignalBlocker>

namespace {

const QString ListTitle = QStringLiteral("Attendee Information");

} // namespace

LookupLists::LookupLists(const AppContext &context, QWidget *window, LookupCombo *cboTitle, LookupCombo *cboOffice,
                         CardContent *card)
    : QObject(window)
    , m_context(context)
    , m_window(window)
    , m_cboTitle(cboTitle)
    , m_cboOffice(cboOffice)
    , m_card(card)
{
    // Change and Click of the office box: every change of its text, typed, picked or filled.
    connect(cboOffice, &QComboBox::editTextChanged, this, &LookupLists::cboOffice_Change);
    connect(cboOffice, &LookupCombo::validate, this, [this] { addToList(m_cboOffice, m_cboOffice->currentText()); });
    connect(cboTitle, &LookupCombo::validate, this, [this] { addToList(m_cboTitle, m_cboTitle->currentText()); });
    for (LookupCombo *combo : {cboTitle, cboOffice})
        connect(combo, &LookupCombo::deleteClicked, this, &LookupLists::cmdDelFromList_Click);
}

void LookupLists::loadLists()
{
    loadList(m_context.databaseLocation(), m_cboTitle->tag(), m_cboTitle);
    loadList(m_context.databaseLocation(), m_cboOffice->tag(), m_cboOffice);
}

void LookupLists::loadList(const QString &location, const QString &source, QComboBox *list)
{
    const QStringList values = LookupTable(location, source).values();
    // The list always shows the table as it is now (a deleted last value too). The
    // text is the attendee's field, not the list's: it stays as it was.
    const QString text = list->currentText();
    {
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(values);
        list->setCurrentIndex(list->findText(text, Qt::MatchExactly));
        if (list->isEditable())
            list->setEditText(text);
    }
}

void LookupLists::addToList(LookupCombo *list, const QString &value)
{
    CommandRunner(m_window).reporting({QString(), MsgIcon::Exclamation}, [&] {
        if (value.trimmed().isEmpty())
            return;
        const QString wanted = value.toLower();
        for (int i = 0; i < list->count(); ++i) {
            if (list->itemText(i).toLower() == wanted)
                return;
        }
        if (Dialogs::instance().message(m_window, QStringLiteral("This value is not part of the list, would you "
                                                                 "like to add it?"),
                                        ListTitle, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes)
            != MsgAnswer::Yes)
            return;
        // Another workstation may have added it since the list was filled: no second row.
        LookupTable(m_context.databaseLocation(), list->tag()).add(value);
        loadList(m_context.databaseLocation(), list->tag(), list);
        list->setEditText(value);
    });
}

void LookupLists::deleteFromList(LookupCombo *list, const QString &criteria)
{
    CommandRunner(m_window).reporting({QStringLiteral("Delete Error"), MsgIcon::Critical}, [&] {
        if (list->tag().isEmpty())
            return;
        if (Dialogs::instance().message(m_window,
                                        QStringLiteral("Are you sure you want to DELETE ") + list->currentText()
                                            + QStringLiteral(" from List?"),
                                        ListTitle, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes)
            != MsgAnswer::Yes)
            return;
        LookupTable(m_context.databaseLocation(), list->tag()).deleteWhere(criteria);
        loadList(m_context.databaseLocation(), list->tag(), list);
    });
}

QString LookupLists::nameCriteria(const QString &field, const QString &value)
{
    QString literal = value;
    literal.replace(QLatin1Char('\''), QStringLiteral("''"));
    return field + QStringLiteral(" = '") + literal + QLatin1Char('\'');
}

void LookupLists::cboOffice_Change()
{
    // The office line of the cards follows the box (typed, picked or filled).
    ignoreErrors([this] { m_card->setOffice(m_cboOffice->currentText()); });
}

void LookupLists::cmdDelFromList_Click(int index)
{
    if (index == 0)
        deleteFromList(m_cboTitle, nameCriteria(QStringLiteral("TitleName"), m_cboTitle->currentText()));
    else if (index == 1)
        deleteFromList(m_cboOffice, nameCriteria(QStringLiteral("OfficeName"), m_cboOffice->currentText()));
}
