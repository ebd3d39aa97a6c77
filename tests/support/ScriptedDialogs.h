#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The dialogs seam for tests: records every box (text, title, buttons, icon) and
// answers from queues. A box, input, dialog or modal window that nothing was
// queued for fails the running test (QTest::qFail) and is answered with
// No / cancel / reject, so a test never hangs on a modal window.
// Installs itself on construction and restores the real dialogs on destruction.
class ScriptedDialogs : public Dialogs
{
public:
    struct Box
    {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer defaultAnswer = MsgAnswer::Ok;
        // A choice box's captions (its buttons field is then Ok and unused).
        QStringList choices = {};

        // Whole boxes compare with QCOMPARE, which prints both on a mismatch.
        bool operator==(const Box &) const = default;
        friend char *toString(const Box &box);
    };

    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answers for the next message boxes, in order.
    void answer(MsgAnswer answer);
    // Answer for the next choice box: the index of the caption chosen. `whileShown`
    // runs while the box is up (what the user does meanwhile, e.g. reconnecting a share).
    void answerChoice(int index, std::function<void()> whileShown = {});
    // Answer for the next input box (nullopt = Cancel).
    void answerInput(std::optional<QString> text);
    // Answer for the next password box (nullopt = Cancel); its prompts are kept apart.
    void answerPassword(std::optional<QString> text);
    QStringList passwordPrompts() const { return m_passwordPrompts; }
    void answerOpenFile(const QString &path);
    void answerSaveFile(const QString &path); // an empty path: Cancel
    void answerColor(std::optional<quint32> color);
    void answerPrinter(bool accept);
    // What to do with the next modal window while it is shown (it must close it,
    // e.g. by clicking OK); the window is shown, the handler runs, and showModal
    // returns the window's result.
    void onModal(std::function<void(QDialog *)> handler);

    // Every box shown so far, in order.
    const QList<Box> &boxes() const { return m_boxes; }
    QStringList inputPrompts() const { return m_inputPrompts; }
    // The last box, or a box with empty fields when none was shown.
    Box lastBox() const;
    void clear();
    // True when every queued answer was used.
    bool allAnswersUsed() const;

    std::optional<QString> password(QWidget *parent, const QString &prompt, const QString &title) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
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

private:
    QList<Box> m_boxes;
    QStringList m_inputPrompts;
    QStringList m_passwordPrompts;
    QList<std::optional<QString>> m_passwords;
    QList<MsgAnswer> m_answers;
    QList<std::pair<int, std::function<void()>>> m_choices;
    QList<std::optional<QString>> m_inputs;
    QList<QString> m_files;
    QList<QString> m_savedFiles;
    QList<std::optional<quint32>> m_colors;
    QList<bool> m_printers;
    QList<std::function<void(QDialog *)>> m_modals;
};
