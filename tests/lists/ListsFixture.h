#pragma once

// What the tests of the lookup lists, the donations grid, the datasheet and the
// find dialog share: the registration window's fixture and a few handles on its
// lists, with the boxes they show written out whole.

#include "../register/RegisterFixture.h"

#include "data/RecordsetModel.h"
#include "lists/DonationsGrid.h"
#include "lists/DonationsPanel.h"
#include "lists/LookupCombo.h"

#include <QComboBox>
#include <QLocale>

class ListsFixture : public RegisterFixture
{
public:
    void setUp()
    {
        RegisterFixture::setUp();
        // Formats are the user's locale's: the tests choose one.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void tearDown()
    {
        RegisterFixture::tearDown();
        QLocale::setDefault(QLocale::c());
    }

    LookupCombo *combo(const char *name) const { return child<LookupCombo>(name); }
    DonationsGrid *grid() const { return child<DonationsGrid>("grdDonors"); }
    RecordsetModel *model() const { return window->donationsPanel()->model(); }
    // The stored donation rows the grid shows (not its new-row line).
    int gridRows() const
    {
        const int rows = model()->rowCount();
        return rows > 0 && model()->isAddRow(rows - 1) ? rows - 1 : rows;
    }
    QString cell(int row, int column) const { return model()->index(row, column).data().toString(); }

    // Replaces a combo's text the way a user does: focus, select all, type.
    static void retype(QComboBox *box, const QString &text)
    {
        box->setFocus();
        box->lineEdit()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
        else
            QTest::keyClicks(box->lineEdit(), text);
    }

    static ScriptedDialogs::Box box(const QString &text, const QString &title, MsgButtons buttons, MsgIcon icon,
                                    MsgAnswer defaultAnswer = MsgAnswer::Ok)
    {
        return {text, title, buttons, icon, defaultAnswer};
    }
};
