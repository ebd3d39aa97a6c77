#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class CardWidget;
class DataControl;
class EventWindow;
class SplashWindow;

// "frmRegister", the main window: the attendees of the current event, their
// donations, the card miniature and the video. It composes the parts of the
// subsystems and wires them; closing it ends the program.
class RegisterWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit RegisterWindow(QWidget *parent = nullptr);
    ~RegisterWindow() override;

    // The load sequence (progress drawn into splash->picStatus() when a splash is
    // given). Every error is raised again unchanged (AppError).
    void formLoad(SplashWindow *splash);

    // The current event's ProgramID as text ("Tag"); empty until chosen.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Points the data controls at the attendees of the current event; asks for
    // an event when none is chosen. Raises every error to its caller.
    void setEvent();

    DataControl *datPrimaryRS() const;
    DataControl *datDonors() const;
    // The event window, loaded (not shown) when it is not loaded.
    EventWindow *frmEvent();
    // Every copy of the ID card: the miniature, then the card windows that exist.
    QList<CardWidget *> cards() const;

private:
    QString m_tag;
    QPointer<EventWindow> m_frmEvent;
};
