#pragma once

// What the registration window tests share: a temporary world (settings, database,
// program folder with its logo), scripted boxes, and a main window opened on an
// event without the event prompt.

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include "app/ModGen.h"
#include "app/Settings.h"
#include "data/DataControl.h"
#include "data/Recordset.h"
#include "idcard/CardWidget.h"
#include "register/AttendeePanel.h"
#include "register/RegisterToolBar.h"
#include "register/RegisterWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <type_traits>

class RegisterFixture
{
public:
    void setUp()
    {
        env = std::make_unique<TestEnvironment>();
        dialogs = std::make_unique<ScriptedDialogs>();
        folder = env->folder(QStringLiteral("db"));
        file = env->createDatabase(folder);
        appFolder = env->folder(QStringLiteral("app"));
        // The default logo "Logo\logo.bmp" is looked up in the current folder.
        QDir::setCurrent(env->root());
        QDir(env->root()).mkpath(QStringLiteral("Logo"));
        QImage logo(61, 61, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        logo.save(env->root() + QStringLiteral("Logo/logo.bmp"));
    }

    void tearDown()
    {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool used = dialogs->allAnswersUsed();
        dialogs.reset();
        modGen::dbFolder().clear();
        modGen::appFolder().clear();
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        env.reset();
        QVERIFY2(used, "a queued answer was not used");
    }

    // The main window loaded (no splash) on event `programId`, shown.
    RegisterWindow *open(qint64 programId)
    {
        env->useDatabaseFolder(folder);
        modGen::appFolder() = appFolder;
        window = new RegisterWindow;
        window->setTag(QString::number(programId));
        window->setWindowTitle(QStringLiteral("Event %1").arg(programId));
        window->formLoad(nullptr);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("the main window was not exposed");
        return window;
    }

    void addEvent(qint64 id, const QString &name) const
    {
        TestEnvironment::exec(file, QStringLiteral("INSERT INTO Program (ProgramID, Name) VALUES (?, ?)"), {id, name});
    }
    qint64 addAttendee(qint64 programId, const QString &first, const QString &last, const QString &city = QString(),
                       const QString &chapter = QString(), const QString &picture = QString()) const
    {
        TestEnvironment::exec(file,
                              QStringLiteral("INSERT INTO Attendees (ProgramID, FirstName, LastName, City, Chapter, "
                                             "Picture) VALUES (?, ?, ?, ?, ?, ?)"),
                              {programId, first, last, city, chapter, picture});
        return sql(QStringLiteral("SELECT max(AttendeeID) FROM Attendees")).toLongLong();
    }
    void addDonation(qint64 attendeeId, int amount) const
    {
        TestEnvironment::exec(file,
                              QStringLiteral("INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, DonDate, "
                                             "PaymentDate, PaymentType) VALUES (?, ?, 0, '2026-01-02', "
                                             "'2026-01-02', 'Cash')"),
                              {attendeeId, qint64(amount) * 10000});
    }
    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return TestEnvironment::scalar(file, statement, params);
    }

    template <typename T>
    T *child(const QString &name) const
    {
        // The window's own controls first: the event window (a child) reuses some names.
        T *widget = nullptr;
        if constexpr (std::is_base_of_v<QWidget, T>) {
            if (window->centralWidget())
                widget = window->centralWidget()->findChild<T *>(name);
        }
        if (!widget)
            widget = window->findChild<T *>(name);
        if (!widget)
            qWarning("no child %s", qPrintable(name));
        return widget;
    }
    // The attendee's boxes (the event window, a child of the main window, has boxes of the same names).
    QLineEdit *field(int index) const
    {
        return window->attendeePanel()->findChild<QLineEdit *>(QStringLiteral("txtFields_%1").arg(index));
    }
    QAction *action(const char *name) const { return child<QAction>(QString::fromLatin1(name)); }
    CardWidget *card() const { return window->cards().value(0); }
    QString counter() const { return window->datPrimaryRS()->caption(); }
    Recordset *attendees() const { return window->datPrimaryRS()->recordset(); }
    void arrow(int which) const { QTest::mouseClick(window->datPrimaryRS()->button(which), Qt::LeftButton); }
    // Replaces the text of a box the way a user does: select all, type.
    static void retype(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, text);
    }

    std::unique_ptr<TestEnvironment> env;
    std::unique_ptr<ScriptedDialogs> dialogs;
    QString folder;
    QString file;
    QString appFolder;
    QPointer<RegisterWindow> window;
};
