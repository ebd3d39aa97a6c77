#include "LookupLists.h"

#include "LookupCombo.h"
#include "core/AppContext.h"
#include "core/AppError.h"
#include "core/Dialogs.h"
#include "data/Criteria.h"
#include "data/DataError.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "session/CardContent.h"

#include <QSignalBlocker>
#include <QSqlQuery>

#include <algorithm>

namespace {

const QString ListTitle = QStringLiteral("Attendee Information");

const SourceDef &lookupTable(const QString &tag)
{
    const SourceDef *def = Schema::source(tag);
    if (!def || def->fields.size() < 3)
        throw DataError::make(DataError::UnknownSource, tag);
    return *def;
}

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
    loadList(m_context.databaseFile(), m_cboTitle->tag(), m_cboTitle);
    loadList(m_context.databaseFile(), m_cboOffice->tag(), m_cboOffice);
}

void LookupLists::loadList(const QString &databaseFile, const QString &source, QComboBox *list)
{
    QStringList values;
    {
        const SourceDef &def = lookupTable(source);
        std::shared_ptr<Database> db = Database::openSeparate(databaseFile);
        QSqlQuery q = db->query(QStringLiteral("SELECT %1 FROM %2")
                                    .arg(Criteria::quoteIdentifier(def.fields.at(1).name),
                                         Criteria::quoteIdentifier(def.name)));
        while (q.next())
            values << q.value(0).toString();
        q.finish();
    }
    std::stable_sort(values.begin(), values.end(), [](const QString &a, const QString &b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
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
    try {
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
        {
            const SourceDef &def = lookupTable(list->tag());
            std::shared_ptr<Database> db = Database::openSeparate(m_context.databaseFile());
            // Another workstation may have added it since the list was filled: no second row.
            const SqlFragment known = Criteria::translate(nameCriteria(def.fields.at(1).name, value), def);
            QSqlQuery q = db->query(QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
                                        .arg(Criteria::quoteIdentifier(def.name), known.sql),
                                    known.params);
            const bool stored = q.next() && q.value(0).toLongLong() > 0;
            q.finish();
            if (!stored)
                db->execute(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)")
                                .arg(Criteria::quoteIdentifier(def.baseTable),
                                     Criteria::quoteIdentifier(def.fields.at(1).name),
                                     Criteria::quoteIdentifier(def.fields.at(2).name)),
                            {value, value});
        }
        loadList(m_context.databaseFile(), list->tag(), list);
        list->setEditText(value);
    } catch (const AppError &error) {
        Dialogs::instance().message(m_window, error.description(), QString(), MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

void LookupLists::deleteFromList(LookupCombo *list, const QString &criteria)
{
    try {
        if (list->tag().isEmpty())
            return;
        if (Dialogs::instance().message(m_window,
                                        QStringLiteral("Are you sure you want to DELETE ") + list->currentText()
                                            + QStringLiteral(" from List?"),
                                        ListTitle, MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes)
            != MsgAnswer::Yes)
            return;
        {
            const SourceDef &def = lookupTable(list->tag());
            const SqlFragment where = Criteria::translate(criteria, def);
            std::shared_ptr<Database> db = Database::openSeparate(m_context.databaseFile());
            db->execute(QStringLiteral("DELETE FROM %1 WHERE %2").arg(Criteria::quoteIdentifier(def.baseTable), where.sql),
                        where.params);
        }
        loadList(m_context.databaseFile(), list->tag(), list);
    } catch (const AppError &error) {
        Dialogs::instance().message(m_window, error.description(), QStringLiteral("Delete Error"), MsgButtons::Ok,
                                    MsgIcon::Critical);
    }
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
