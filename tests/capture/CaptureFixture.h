#pragma once

// What the capture tests share: the registration window's fixture, the
// converter the build placed beside the program, and the files of a snap.

#include "../register/RegisterFixture.h"

#include "FakeCapture.h"
#include "capture/CaptureControl.h"

#include <QFile>
#include <QFileInfo>

class CaptureFixture : public RegisterFixture
{
public:
    // util1.sp beside the program under test.
    static QString converterPath()
    {
        return QFileInfo(QString::fromLocal8Bit(qgetenv("QUORVEX_PROGRAM"))).dir().filePath("util1.sp");
    }
    // The program folder's util1.sp is the built converter.
    void installConverter() const
    {
        QVERIFY2(QFileInfo::exists(converterPath()), qPrintable("no converter at " + converterPath()));
        QVERIFY(QFile::link(converterPath(), appFolder + "util1.sp"));
    }
    // The program folder's util1.sp is a shell script with `body`.
    void installConverterScript(const QByteArray &body) const
    {
        // Never write through a link to the built converter.
        QFile::remove(appFolder + "util1.sp");
        QFile script(appFolder + "util1.sp");
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n" + body + "\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner | QFile::ExeUser);
    }

    QString picture(qint64 id, const char *extension) const
    {
        return folder + QStringLiteral("Pic/%1.%2").arg(id).arg(QLatin1String(extension));
    }
    FakeCapture *fake() const { return qobject_cast<FakeCapture *>(window->video()); }
    // "&Snap Picture", with the answer to "Would you like to Save this picture?"
    // and OK for the boxes that follow it.
    void snap(MsgAnswer answer, int thenOk = 0) const
    {
        dialogs->answer(answer);
        for (int i = 0; i < thenOk; ++i)
            dialogs->answer(MsgAnswer::Ok);
        QAction *command = action("mnuSnap");
        QVERIFY(command && command->isEnabled());
        command->trigger();
    }
    static ScriptedDialogs::Box question()
    {
        return {"Would you like to Save this picture?", "Quorvex", MsgButtons::YesNo, MsgIcon::Question,
                MsgAnswer::Yes};
    }
    // Every card shows a photo (or none when `shown` is false).
    void verifyCardsShowPhoto(bool shown) const
    {
        for (CardWidget *card : cards())
            QVERIFY2(card->photo().isNull() != shown, qPrintable(card->objectName()));
    }
};
