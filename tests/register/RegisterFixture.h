#pragma once

// What the registration window tests share: a temporary world (settings, database,
// program folder, a logo in the current folder), scripted boxes, and a main window
// opened on an event without the event prompt.

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "bindings/DataControl.h"
#include "data/Recordset.h"
#include "idcard/CardWidget.h"
#include "idcard/CardWindow.h"
#include "idcard/CardWindows.h"
#include "register/AttendeePanel.h"
#include "register/RegisterToolBar.h"
#include "register/RegisterWindow.h"
#include "session/CardContent.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

class RegisterFixture
{
public:
    void setUp()
    {
        env = std::make_unique<TestEnvironment>();
        dialogs = std::make_unique<ScriptedDialogs>();
        context = AppContext();
        server = false;
        // The database search never finds one beside the test program or on a share.
        const QString program = env->folder("program");
        context.programFolder = [program] { return program; };
        context.shareFolder = [] { return QString(); };
        folder = env->folder("db");
        file = env->createDatabase(folder);
        appFolder = env->folder("app");
        // The default logo "Logo\logo.bmp" lies in the program's folder; the process
        // runs in another folder.
        QDir::setCurrent(env->root());
        QDir(appFolder).mkpath("Logo");
        QImage logo(61, 61, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        logo.save(appFolder + "Logo/logo.bmp");
    }

    void tearDown()
    {
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const bool used = dialogs->allAnswersUsed();
        dialogs.reset();
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        env.reset();
        QVERIFY2(used, "a queued answer was not used");
    }

    // The database is a fresh one on the test server instead of the file: `file`
    // is its URL (the plain SQL helpers take either), the context names it.
    void useServer()
    {
        file = env->createDatabase(TestEngine::Server);
        server = true;
    }

    // The main window loaded (no splash) on event `programId`, shown.
    RegisterWindow *open(qint64 programId)
    {
        if (server) {
            context.serverUrl = file;
            context.dbFolder.clear();
        } else {
            env->useDatabaseFolder(context, folder);
        }
        context.appFolder = appFolder;
        window = new RegisterWindow(context);
        window->setTag(QString::number(programId));
        window->formLoad(nullptr);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("the main window was not exposed");
        return window;
    }

    void addEvent(qint64 id, const QString &name = "Fair") const
    {
        TestEnvironment::exec(file, "INSERT INTO Program (ProgramID, Name) VALUES (?, ?)", {id, name});
    }
    qint64 addAttendee(qint64 programId, const QString &first, const QString &last, const QString &city = QString(),
                       const QString &chapter = QString(), const QString &picture = QString()) const
    {
        TestEnvironment::exec(file, "INSERT INTO Attendees (ProgramID, FirstName, LastName, City, Chapter, Picture) "
                                    "VALUES (?, ?, ?, ?, ?, ?)", {programId, first, last, city, chapter, picture});
        return sql("SELECT max(AttendeeID) FROM Attendees").toLongLong();
    }
    void addDonation(qint64 attendeeId, int amount) const
    {
        TestEnvironment::exec(file, "INSERT INTO qryDon_Fees (AttendeeID, Amount, RegFee, DonDate, PaymentDate, "
                                    "PaymentType) VALUES (?, ?, 0, '2026-01-02', '2026-01-02', 'Cash')",
                              {attendeeId, qint64(amount) * 10000});
    }
    QVariant sql(const QString &statement, const QVariantList &params = {}) const
    {
        return TestEnvironment::scalar(file, statement, params);
    }
    // One stored column of one attendee, and a row count ("Attendees WHERE ...").
    QString stored(const char *column, qint64 id) const
    {
        return sql(QStringLiteral("SELECT %1 FROM Attendees WHERE AttendeeID = ?").arg(column), {id}).toString();
    }
    int rows(const QString &fromWhere, const QVariantList &params = {}) const
    {
        return sql("SELECT count(*) FROM " + fromWhere, params).toInt();
    }

    // The window's own controls first: the event window (a child) reuses some names.
    template <typename T> T *child(const QString &name) const
    {
        T *widget = window->centralWidget() ? window->centralWidget()->findChild<T *>(name) : nullptr;
        return widget ? widget : window->findChild<T *>(name);
    }
    QLineEdit *field(int index) const
    {
        return window->attendeePanel()->findChild<QLineEdit *>(QStringLiteral("txtFields_%1").arg(index));
    }
    QAction *action(const char *name) const { return window->findChild<QAction *>(name); }
    // The miniature, and every card on the screen: the miniature, then the loaded card windows' cards.
    CardWidget *card() const { return window->attendeePanel()->card(); }
    QList<CardWidget *> cards() const { return QList<CardWidget *>({card()}) + window->cardWindows()->loadedCards(); }
    const CardFace &content() const { return window->cardContent()->face(); }
    // The card's three lines: first name, last name, chapter (or city).
    QStringList lines() const { return {card()->name(0), card()->name(1), card()->chapter()}; }
    QString counter() const { return window->datPrimaryRS()->caption(); }
    void arrow(int which) const { QTest::mouseClick(window->datPrimaryRS()->button(which), Qt::LeftButton); }
    static void press(QWidget *parent, const char *button)
    {
        QTest::mouseClick(parent->findChild<QPushButton *>(button), Qt::LeftButton);
    }
    // Replaces the text of a box the way a user does: select all, type.
    static void retype(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    std::unique_ptr<TestEnvironment> env;
    AppContext context;
    std::unique_ptr<ScriptedDialogs> dialogs;
    QString folder, file, appFolder; // file: the database's location
    bool server = false;
    QPointer<RegisterWindow> window;
};
