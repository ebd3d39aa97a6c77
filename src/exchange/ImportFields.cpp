#include "ImportFields.h"

namespace {

QStringList words(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *word : list)
        result << QString::fromUtf8(word);
    return result;
}

QList<ImportField> makeFields()
{
    const auto text = [](const char *name, const char *caption, int length, std::initializer_list<const char *> w) {
        return ImportField {QString::fromLatin1(name), QString::fromUtf8(caption), FieldKind::Text, length, false,
                            words(w)};
    };
    const auto pay = [](const char *name, const char *caption, FieldKind kind, int length,
                        std::initializer_list<const char *> w) {
        return ImportField {QString::fromLatin1(name), QString::fromUtf8(caption), kind, length, true, words(w)};
    };
    return {
        text("TitleName", "Title", 50, {"title", "salutation", "honorific", "prefix", "name prefix"}),
        text("FirstName", "First Name", 50,
             {"first name", "given name", "given names", "forename", "first", "firstname", "name first"}),
        text("MiddleInitial", "MI", 10, {"middle initial", "middle name", "middle", "initial", "mi"}),
        text("LastName", "Last Name", 50,
             {"last name", "surname", "family name", "last", "lastname", "name last", "second name"}),
        text("OfficeName", "Office", 50, {"office", "position", "role", "function"}),
        text("Address", "Address", 255,
             {"address", "street", "street address", "address line 1", "address 1", "address1", "addr", "road"}),
        text("City", "City", 50, {"city", "town", "locality", "place"}),
        text("StateOrProvince", "State/Province", 50,
             {"state", "province", "state or province", "region", "county", "territory"}),
        text("PostalCode", "ZipCode", 20,
             {"zip", "zip code", "postcode", "postal code", "post code", "postcode zip", "zip postal code"}),
        text("Country", "Country", 50, {"country", "nation", "country region"}),
        text("Chapter", "Chapter", 50, {"chapter", "branch", "local group", "section"}),
        text("EmailName", "Email", 254,
             {"email", "e-mail", "email address", "e-mail address", "mail", "email name"}),
        text("HomePhone", "HomePhone", 30,
             {"home phone", "phone", "telephone", "tel", "phone number", "telephone number", "home telephone"}),
        text("WorkPhone", "WorkPhone", 30,
             {"work phone", "business phone", "office phone", "work telephone", "daytime phone"}),
        text("MobilePhone", "MobilePhone", 30,
             {"mobile", "mobile phone", "mobile number", "cell", "cell phone", "cellphone", "cell number"}),
        text("FaxNumber", "FaxNumber", 30, {"fax", "fax number", "telefax"}),
        text("Note", "Note", 4000, {"note", "notes", "comment", "comments", "remarks", "remark"}),
        pay("Amount", "Amount", FieldKind::Currency, 0,
            {"amount", "amount paid", "paid amount", "payment amount", "donation amount", "fee amount", "donation"}),
        pay("RegFee", "Reg Fee?", FieldKind::YesNo, 0, {"reg fee", "registration fee", "regfee", "is fee"}),
        pay("DonDate", "Donation Date", FieldKind::Date, 0, {"donation date", "don date", "date of donation"}),
        pay("PaymentDate", "Payment Date", FieldKind::Date, 0,
            {"payment date", "date paid", "paid on", "date of payment"}),
        pay("PaymentType", "Payment Type", FieldKind::Text, 50,
            {"payment type", "payment method", "method of payment", "paid by", "pay type"}),
    };
}

} // namespace

const QList<ImportField> &ImportFields::all()
{
    static const QList<ImportField> fields = makeFields();
    return fields;
}

const ImportField *ImportFields::find(const QString &name)
{
    for (const ImportField &field : all())
        if (field.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &field;
    return nullptr;
}

QString ImportFields::normalized(const QString &header)
{
    const QString decomposed = header.normalized(QString::NormalizationForm_KD);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.isLetterOrNumber())
            plain += c.toCaseFolded();
    return plain;
}

int ImportFields::length(const QString &value)
{
    int surrogates = 0;
    for (const QChar c : value)
        if (c.isLowSurrogate())
            ++surrogates;
    return int(value.size()) - surrogates;
}
