#include "ColumnChoices.h"

#include "exchange/ImportFields.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>

namespace {

const QString Ignored = QStringLiteral("ignored");

} // namespace

ColumnChoices::ColumnChoices(QWidget *parent)
    : QWidget(parent)
    , m_form(new QFormLayout(this))
{
    setObjectName(QStringLiteral("fraColumns"));
    m_form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
}

QString ColumnChoices::caption(const QString &field)
{
    const ImportField *known = field.isEmpty() ? nullptr : ImportFields::find(field);
    if (!known)
        return Ignored;
    return known->payment ? QStringLiteral("Payment: ") + known->caption : known->caption;
}

void ColumnChoices::setColumns(const QStringList &header, const QStringList &fields)
{
    while (m_form->rowCount() > 0)
        m_form->removeRow(0);
    m_boxes.clear();
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString name = header.at(i).trimmed().isEmpty() ? QStringLiteral("(column %1)").arg(i + 1)
                                                               : header.at(i).simplified();
        auto *label = new QLabel(this);
        label->setText(label->fontMetrics().elidedText(name, Qt::ElideRight, 220) + u':');
        label->setToolTip(name);
        auto *box = new QComboBox(this);
        box->setObjectName(QStringLiteral("cboColumn_%1").arg(i));
        box->setAccessibleName(QStringLiteral("Field for the column %1").arg(name));
        box->addItem(Ignored, QString());
        for (const ImportField &field : ImportFields::all())
            box->addItem(caption(field.name), field.name);
        box->setCurrentIndex(qMax(0, box->findData(fields.value(i))));
        label->setBuddy(box);
        m_form->addRow(label, box);
        m_boxes << box;
        const int column = int(i);
        connect(box, &QComboBox::activated, this, [this, column] { chosen(column); });
    }
}

void ColumnChoices::chosen(int column)
{
    const QString field = m_boxes.at(column)->currentData().toString();
    if (!field.isEmpty())
        for (int i = 0; i < m_boxes.size(); ++i)
            if (i != column && m_boxes.at(i)->currentData().toString() == field)
                m_boxes.at(i)->setCurrentIndex(0);
    emit mappingChanged();
}

QStringList ColumnChoices::mapping() const
{
    QStringList fields;
    for (const QComboBox *box : m_boxes)
        fields << box->currentData().toString();
    return fields;
}
