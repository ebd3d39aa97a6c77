#include "DonationDelegates.h"

#include "data/Currency.h"
#include "data/RecordsetModel.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

// ---- Amount -----------------------------------------------------------------

QWidget *AmountDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("txtAmount"));
    edit->setAccessibleName(QStringLiteral("Amount"));
    const QLocale locale;
    const QString allowed = QRegularExpression::escape(locale.decimalPoint() + locale.groupSeparator()
                                                       + locale.negativeSign() + locale.currencySymbol());
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9\\s%1]*").arg(allowed)), edit));
    return edit;
}

void AmountDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit)
        return;
    // The model's edit text is the plain amount ("1234.50"): shown with the locale's decimal point.
    QString text = index.data(Qt::EditRole).toString();
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    edit->setText(text);
}

QString AmountDelegate::plainAmount(const QString &localeText, const QLocale &locale)
{
    QString text = localeText;
    text.remove(locale.currencySymbol());
    text.remove(locale.groupSeparator());
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    text.replace(locale.negativeSign(), QStringLiteral("-"));
    text.replace(locale.decimalPoint(), QStringLiteral("."));
    return text;
}

void AmountDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit)
        return;
    const QString plain = plainAmount(edit->text(), QLocale());
    if (plain.isEmpty()) {
        model->setData(index, QVariant());
        return;
    }
    if (const std::optional<Currency> amount = Currency::parse(plain))
        model->setData(index, amount->toString());
}

// ---- Choices ----------------------------------------------------------------

ChoiceDelegate::ChoiceDelegate(const QString &editorName, const QString &accessibleName, const QStringList &items,
                               bool positions, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_editorName(editorName)
    , m_accessibleName(accessibleName)
    , m_items(items)
    , m_positions(positions)
{
}

QWidget *ChoiceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *box = new QComboBox(parent);
    box->setObjectName(m_editorName);
    box->setAccessibleName(m_accessibleName);
    box->setEditable(false);
    box->addItems(m_items);
    // A choice writes into the cell at once (the row is written when the grid leaves it).
    connect(box, &QComboBox::activated, this, [this, box] { emit const_cast<ChoiceDelegate *>(this)->commitData(box); });
    return box;
}

void ChoiceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = qobject_cast<QComboBox *>(editor);
    if (!box)
        return;
    const QVariant value = index.data(Qt::EditRole);
    if (m_positions)
        box->setCurrentIndex(value.isValid() ? (value.toBool() ? 1 : 0) : -1);
    else
        box->setCurrentIndex(box->findText(value.toString(), Qt::MatchExactly));
}

void ChoiceDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *box = qobject_cast<QComboBox *>(editor);
    if (!box || box->currentIndex() < 0)
        return;
    if (m_positions)
        model->setData(index, box->currentIndex());
    else
        model->setData(index, box->currentText());
}

// ---- Dates ------------------------------------------------------------------

DateDelegate::DateDelegate(const QString &accessibleName, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_accessibleName(accessibleName)
{
}

QWidget *DateDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *edit = new QDateEdit(parent);
    edit->setObjectName(QStringLiteral("txtDate"));
    edit->setAccessibleName(m_accessibleName);
    edit->setDisplayFormat(RecordsetModel::shortDateFormat(QLocale()));
    edit->setCalendarPopup(true);
    QCalendarWidget *cal = edit->calendarWidget();
    cal->setObjectName(QStringLiteral("cal"));
    cal->setAccessibleName(QStringLiteral("Calendar"));
    // A click on a date (or Enter on it) writes it into the cell, and the calendar closes.
    const auto pick = [this, edit](QDate date) {
        edit->setDate(date);
        emit const_cast<DateDelegate *>(this)->commitData(edit);
    };
    connect(cal, &QCalendarWidget::clicked, this, pick);
    connect(cal, &QCalendarWidget::activated, this, pick);
    return edit;
}

void DateDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QDateEdit *>(editor);
    if (!edit)
        return;
    const QDate date = index.data(Qt::EditRole).toDate();
    edit->setDate(date.isValid() ? date : QDate::currentDate());
}

void DateDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QDateEdit *>(editor))
        model->setData(index, edit->date());
}
