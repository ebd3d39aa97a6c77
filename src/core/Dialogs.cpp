#include "Dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStringList>

namespace {

Dialogs *&installedDialogs()
{
    static Dialogs *dialogs = nullptr;
    return dialogs;
}

// The program's texts break lines with a carriage return; Qt's labels want '\n'.
QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// "Pictures|*.bmp;*.jpg|All|*.*" -> "Pictures (*.bmp *.jpg);;All (*.*)".
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    if (filters.isEmpty() && !filter.isEmpty())
        filters << filter;
    return filters.join(QStringLiteral(";;"));
}

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None: return QMessageBox::NoIcon;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Dialogs &Dialogs::instance()
{
    static QtDialogs real;
    Dialogs *installed = installedDialogs();
    return installed ? *installed : real;
}

void Dialogs::install(Dialogs *dialogs)
{
    installedDialogs() = dialogs;
}

MsgAnswer Dialogs::message(QWidget *parent, const QString &text, const QString &title, MsgButtons buttons,
                           MsgIcon icon, MsgAnswer defaultAnswer)
{
    return showMessage(parent, text, title.isEmpty() ? applicationTitle() : title, buttons, icon, defaultAnswer);
}

int Dialogs::choose(QWidget *parent, const QString &text, const QString &title, const QStringList &captions,
                    MsgIcon icon, int defaultIndex)
{
    if (captions.isEmpty())
        return -1;
    const int chosen = showChoice(parent, text, title.isEmpty() ? applicationTitle() : title, captions, icon,
                                  qBound(0, defaultIndex, int(captions.size()) - 1));
    return chosen >= 0 && chosen < captions.size() ? chosen : int(captions.size()) - 1;
}

MsgAnswer QtDialogs::showMessage(QWidget *parent, const QString &text, const QString &title, MsgButtons buttons,
                                 MsgIcon icon, MsgAnswer defaultAnswer)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(displayText(text));
    box.setIcon(boxIcon(icon));
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == MsgAnswer::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == MsgButtons::YesNo)
        return result == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    return MsgAnswer::Ok;
}

int QtDialogs::showChoice(QWidget *parent, const QString &text, const QString &title, const QStringList &captions,
                          MsgIcon icon, int defaultIndex)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(displayText(text));
    box.setIcon(boxIcon(icon));
    QList<QPushButton *> buttons;
    for (const QString &caption : captions)
        buttons << box.addButton(caption, QMessageBox::ActionRole);
    box.setDefaultButton(buttons.at(defaultIndex));
    box.setEscapeButton(buttons.constLast());
    box.exec();
    return int(buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
}

std::optional<QString> Dialogs::password(QWidget *, const QString &, const QString &)
{
    return std::nullopt;
}

std::optional<QString> QtDialogs::password(QWidget *parent, const QString &prompt, const QString &title)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title.isEmpty() ? applicationTitle() : title,
                                               displayText(prompt), QLineEdit::Password, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::input(QWidget *parent, const QString &prompt, const QString &title,
                                        const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title.isEmpty() ? applicationTitle() : title,
                                               displayText(prompt), QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                            const QString &defaultExtension)
{
    QFileDialog dialog(parent, title, folder, qtFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!defaultExtension.isEmpty())
        dialog.setDefaultSuffix(defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::saveFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter,
                            const QString &defaultExtension)
{
    QFileDialog dialog(parent, title, suggested, qtFilter(filter));
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultExtension.isEmpty())
        dialog.setDefaultSuffix(defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

std::optional<quint32> QtDialogs::color(QWidget *parent, quint32 initial)
{
    const QColor start(int(initial & 0xff), int((initial >> 8) & 0xff), int((initial >> 16) & 0xff));
    const QColor chosen = QColorDialog::getColor(start, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return quint32(chosen.red()) + 256u * quint32(chosen.green()) + 65536u * quint32(chosen.blue());
}

bool QtDialogs::printer(QWidget *parent, QPrinter *printer, const QString &title)
{
    QPrintDialog dialog(printer, parent);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

int QtDialogs::showModal(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    return dialog->exec();
}
