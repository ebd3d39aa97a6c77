#include "ScriptedDialogs.h"

#include <QDialog>
#include <QTest>

namespace {

QString buttonsName(MsgButtons buttons)
{
    return buttons == MsgButtons::YesNo ? QStringLiteral("Yes/No") : QStringLiteral("OK");
}

// Records a failure of the running test; the caller then answers No/cancel so
// the code under test goes on and nothing waits for a user.
void failUnexpected(const QString &what)
{
    const QByteArray message = QStringLiteral("ScriptedDialogs: unexpected %1").arg(what).toUtf8();
    QTest::qFail(message.constData(), __FILE__, __LINE__);
}

} // namespace

char *toString(const ScriptedDialogs::Box &box)
{
    static const char *const icons[] = {"no icon", "Information", "Question", "Exclamation", "Critical"};
    const QString buttons = box.choices.isEmpty() ? buttonsName(box.buttons)
                                                  : QLatin1Char('[') + box.choices.join(QLatin1Char('|')) + QLatin1Char(']');
    const QString text = QStringLiteral("\"%1\" titled \"%2\", %3, %4, default %5")
                             .arg(box.text, box.title, buttons,
                                  QLatin1String(icons[int(box.icon)]),
                                  QLatin1String(box.defaultAnswer == MsgAnswer::Ok    ? "OK"
                                                : box.defaultAnswer == MsgAnswer::Yes ? "Yes"
                                                                                      : "No"));
    return qstrdup(text.toUtf8().constData());
}

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    if (&Dialogs::instance() == this)
        Dialogs::install(nullptr);
}

void ScriptedDialogs::answer(MsgAnswer answer) { m_answers.append(answer); }
void ScriptedDialogs::answerChoice(int index, std::function<void()> whileShown)
{
    m_choices.append({index, std::move(whileShown)});
}
void ScriptedDialogs::answerInput(std::optional<QString> text) { m_inputs.append(std::move(text)); }
void ScriptedDialogs::answerPassword(std::optional<QString> text) { m_passwords.append(std::move(text)); }
void ScriptedDialogs::answerOpenFile(const QString &path) { m_files.append(path); }
void ScriptedDialogs::answerSaveFile(const QString &path) { m_savedFiles.append(path); }
void ScriptedDialogs::answerColor(std::optional<quint32> color) { m_colors.append(color); }
void ScriptedDialogs::answerPrinter(bool accept) { m_printers.append(accept); }
void ScriptedDialogs::onModal(std::function<void(QDialog *)> handler) { m_modals.append(std::move(handler)); }

ScriptedDialogs::Box ScriptedDialogs::lastBox() const
{
    if (m_boxes.isEmpty())
        return Box {QString(), QString(), MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok};
    return m_boxes.constLast();
}

void ScriptedDialogs::clear()
{
    m_boxes.clear();
    m_inputPrompts.clear();
    m_answers.clear();
    m_choices.clear();
    m_inputs.clear();
    m_passwords.clear();
    m_passwordPrompts.clear();
    m_files.clear();
    m_savedFiles.clear();
    m_colors.clear();
    m_printers.clear();
    m_modals.clear();
}

bool ScriptedDialogs::allAnswersUsed() const
{
    return m_answers.isEmpty() && m_choices.isEmpty() && m_inputs.isEmpty() && m_passwords.isEmpty() && m_files.isEmpty()
        && m_savedFiles.isEmpty() && m_colors.isEmpty()
        && m_printers.isEmpty() && m_modals.isEmpty();
}

MsgAnswer ScriptedDialogs::showMessage(QWidget *, const QString &text, const QString &title, MsgButtons buttons,
                                       MsgIcon icon, MsgAnswer defaultAnswer)
{
    m_boxes.append(Box {text, title, buttons, icon, defaultAnswer});
    if (m_answers.isEmpty()) {
        failUnexpected(QStringLiteral("message box \"%1\" titled \"%2\" (%3)")
                           .arg(text, title, buttonsName(buttons)));
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    const MsgAnswer answer = m_answers.takeFirst();
    // An OK box can only be answered with OK, whatever was queued.
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answer == MsgAnswer::Ok) {
        failUnexpected(QStringLiteral("Yes/No box \"%1\" answered with OK").arg(text));
        return MsgAnswer::No;
    }
    return answer;
}

int ScriptedDialogs::showChoice(QWidget *, const QString &text, const QString &title, const QStringList &captions,
                                MsgIcon icon, int)
{
    m_boxes.append(Box {text, title, MsgButtons::Ok, icon, MsgAnswer::Ok, captions});
    if (m_choices.isEmpty()) {
        failUnexpected(QStringLiteral("choice box \"%1\" titled \"%2\" (%3)")
                           .arg(text, title, captions.join(QLatin1Char('|'))));
        return int(captions.size()) - 1; // the last choice changes nothing
    }
    const auto [index, whileShown] = m_choices.takeFirst();
    if (whileShown)
        whileShown();
    if (index < 0 || index >= captions.size()) {
        failUnexpected(QStringLiteral("choice %1 of box \"%2\", which has %3").arg(index).arg(text).arg(captions.size()));
        return int(captions.size()) - 1;
    }
    return index;
}

std::optional<QString> ScriptedDialogs::input(QWidget *, const QString &prompt, const QString &title,
                                              const QString &)
{
    m_inputPrompts.append(prompt);
    if (m_inputs.isEmpty()) {
        failUnexpected(QStringLiteral("input box \"%1\" titled \"%2\"").arg(prompt, title));
        return std::nullopt;
    }
    return m_inputs.takeFirst();
}

std::optional<QString> ScriptedDialogs::password(QWidget *, const QString &prompt, const QString &title)
{
    m_passwordPrompts.append(prompt);
    if (m_passwords.isEmpty()) {
        failUnexpected(QStringLiteral("password box \"%1\" titled \"%2\"").arg(prompt, title));
        return std::nullopt;
    }
    return m_passwords.takeFirst();
}

QString ScriptedDialogs::openFile(QWidget *, const QString &title, const QString &, const QString &,
                                  const QString &)
{
    if (m_files.isEmpty()) {
        failUnexpected(QStringLiteral("open-file dialog \"%1\"").arg(title));
        return QString();
    }
    return m_files.takeFirst();
}

QString ScriptedDialogs::saveFile(QWidget *, const QString &title, const QString &, const QString &,
                                  const QString &)
{
    if (m_savedFiles.isEmpty()) {
        failUnexpected(QStringLiteral("save-file dialog \"%1\"").arg(title));
        return QString();
    }
    return m_savedFiles.takeFirst();
}

std::optional<quint32> ScriptedDialogs::color(QWidget *, quint32)
{
    if (m_colors.isEmpty()) {
        failUnexpected(QStringLiteral("colour dialog"));
        return std::nullopt;
    }
    return m_colors.takeFirst();
}

bool ScriptedDialogs::printer(QWidget *, QPrinter *, const QString &)
{
    if (m_printers.isEmpty()) {
        failUnexpected(QStringLiteral("printer dialog"));
        return false;
    }
    return m_printers.takeFirst();
}

int ScriptedDialogs::showModal(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    if (m_modals.isEmpty()) {
        failUnexpected(QStringLiteral("modal window \"%1\"").arg(dialog->objectName()));
        dialog->reject();
        return dialog->result();
    }
    const std::function<void(QDialog *)> handler = m_modals.takeFirst();
    // Shown without a nested event loop: the handler drives the window and must close it.
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    if (handler)
        handler(dialog);
    if (dialog->isVisible()) {
        failUnexpected(QStringLiteral("modal window \"%1\" still open after its handler").arg(dialog->objectName()));
        dialog->reject();
    }
    return dialog->result();
}
