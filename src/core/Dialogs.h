#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

class QWidget;
class QDialog;
class QPrinter;

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgAnswer { Ok, Yes, No };

// The one seam through which the program shows message boxes, input boxes,
// the common dialogs and modal windows. QtDialogs is the real one; tests
// install a scripted one that records every box and answers from a queue.
// Nothing else in the program calls QMessageBox or QDialog::exec directly.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // The dialogs in use (QtDialogs until another is installed).
    static Dialogs &instance();
    // Installs a replacement (not owned); nullptr restores the real dialogs.
    static void install(Dialogs *dialogs);

    // The application title that a box without a title of its own carries.
    static QString applicationTitle() { return QStringLiteral("Quorvex"); }

    // A message box. An empty title becomes the application title.
    MsgAnswer message(QWidget *parent, const QString &text, const QString &title = QString(),
                      MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None,
                      MsgAnswer defaultAnswer = MsgAnswer::Ok);

    // A box whose buttons carry their own captions ("&Try Again", "&End"), for a
    // question that has more than a yes or a no. Returns the index of the chosen
    // caption; Esc and the close box choose the last one, so put the choice that
    // changes nothing last. An empty title becomes the application title.
    int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &captions,
               MsgIcon icon = MsgIcon::Question, int defaultIndex = 0);

    // An input box: the typed text, or nullopt when cancelled.
    virtual std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                         const QString &defaultText) = 0;

    // A password box: what is typed shows as dots; the password, or nullopt when
    // cancelled. A seam without a box of its own answers nullopt (nothing asked).
    virtual std::optional<QString> password(QWidget *parent, const QString &prompt, const QString &title);

    // The open-file dialog. `filter` is in the "Caption|*.a;*.b" form; returns the
    // chosen full path, or an empty string when cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &filter, const QString &defaultExtension) = 0;

    // The save-file dialog (it asks before replacing a file): the chosen full path, or
    // an empty string when cancelled. `suggested` is the folder or file it starts at.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &suggested,
                             const QString &filter, const QString &defaultExtension) = 0;

    // The colour dialog: the chosen colour as red + 256*green + 65536*blue,
    // or nullopt when cancelled.
    virtual std::optional<quint32> color(QWidget *parent, quint32 initial) = 0;

    // The printer dialog with its title: true when the user confirmed (printer is set up).
    virtual bool printer(QWidget *parent, QPrinter *printer, const QString &title) = 0;

    // Shows a window modally and returns when it has closed (QDialog::result()).
    virtual int showModal(QDialog *dialog) = 0;

protected:
    virtual MsgAnswer showMessage(QWidget *parent, const QString &text, const QString &title,
                                  MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) = 0;
    virtual int showChoice(QWidget *parent, const QString &text, const QString &title, const QStringList &captions,
                           MsgIcon icon, int defaultIndex) = 0;
};

// The real dialogs on Qt's widgets.
class QtDialogs : public Dialogs
{
public:
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<QString> password(QWidget *parent, const QString &prompt, const QString &title) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                     const QString &defaultExtension) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter,
                     const QString &defaultExtension) override;
    std::optional<quint32> color(QWidget *parent, quint32 initial) override;
    bool printer(QWidget *parent, QPrinter *printer, const QString &title) override;
    int showModal(QDialog *dialog) override;

protected:
    MsgAnswer showMessage(QWidget *parent, const QString &text, const QString &title, MsgButtons buttons,
                          MsgIcon icon, MsgAnswer defaultAnswer) override;
    int showChoice(QWidget *parent, const QString &text, const QString &title, const QStringList &captions,
                   MsgIcon icon, int defaultIndex) override;
};
