#include "Schema.h"

#include "Database.h"
#include "WriteTransaction.h"

namespace {

FieldDef text(const char *name) { return {QString::fromLatin1(name), FieldKind::Text}; }
FieldDef integer(const char *name) { return {QString::fromLatin1(name), FieldKind::Integer}; }
FieldDef currency(const char *name) { return {QString::fromLatin1(name), FieldKind::Currency}; }
FieldDef yesNo(const char *name) { return {QString::fromLatin1(name), FieldKind::YesNo}; }
FieldDef date(const char *name) { return {QString::fromLatin1(name), FieldKind::Date}; }

QList<FieldDef> donationFields()
{
    return {integer("DonationID"), integer("AttendeeID"), currency("Amount"), yesNo("RegFee"),
            date("DonDate"), date("PaymentDate"), text("PaymentType")};
}

QList<SourceDef> makeSources()
{
    QList<SourceDef> list;
    list.append({QStringLiteral("Program"), QStringLiteral("Program"), QStringLiteral("ProgramID"),
                 {integer("ProgramID"), text("Name"), text("Description"), text("Director"), date("DateStart"),
                  date("DateEnd"), yesNo("FundRaising"), currency("TargetAmt"), currency("ActualAmt")}});
    list.append({QStringLiteral("Attendees"), QStringLiteral("Attendees"), QStringLiteral("AttendeeID"),
                 {integer("AttendeeID"), integer("ProgramID"), text("Picture"), text("TitleName"),
                  text("FirstName"), text("MiddleInitial"), text("LastName"), text("OfficeName"), text("Address"),
                  text("City"), text("StateOrProvince"), text("PostalCode"), text("Country"), text("Chapter"),
                  text("EmailName"), text("HomePhone"), text("WorkPhone"), text("MobilePhone"), text("FaxNumber"),
                  text("Note")}});
    list.append({QStringLiteral("qryDon_Fees"), QStringLiteral("Donations"), QStringLiteral("DonationID"),
                 donationFields()});
    list.append({QStringLiteral("Donations"), QStringLiteral("Donations"), QStringLiteral("DonationID"),
                 donationFields()});
    list.append({QStringLiteral("Office"), QStringLiteral("Office"), QStringLiteral("OfficeID"),
                 {integer("OfficeID"), text("OfficeName"), text("OfficeDesc")}});
    list.append({QStringLiteral("Title"), QStringLiteral("Title"), QStringLiteral("TitleID"),
                 {integer("TitleID"), text("TitleName"), text("TitleDesc")}});
    return list;
}

// A currency column holds whole ten-thousandths only: a binary float never gets in.
QString currencyColumn(const char *name)
{
    return QStringLiteral("%1 INTEGER CHECK (typeof(%1) IN ('integer', 'null'))").arg(QLatin1String(name));
}

QString yesNoColumn(const char *name)
{
    return QStringLiteral("%1 INTEGER NOT NULL DEFAULT 0 CHECK (%1 IN (0, 1))").arg(QLatin1String(name));
}

} // namespace

namespace Schema {

const QList<SourceDef> &sources()
{
    static const QList<SourceDef> list = makeSources();
    return list;
}

const SourceDef *source(const QString &name)
{
    for (const SourceDef &def : sources()) {
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return &def;
    }
    return nullptr;
}

QStringList createStatements()
{
    // Dates are ISO text ("yyyy-MM-dd"); Yes/No is 0 or 1; currency is an integer
    // of ten-thousandths. Keys are AUTOINCREMENT so that a key reserved for a new
    // row (see Database::reserveKey) is never handed out twice.
    return {
        QStringLiteral("CREATE TABLE Program ("
                       "ProgramID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Description TEXT, Director TEXT, "
                       "DateStart TEXT, DateEnd TEXT, %1, %2, %3)")
            .arg(yesNoColumn("FundRaising"), currencyColumn("TargetAmt"), currencyColumn("ActualAmt")),
        QStringLiteral("CREATE TABLE Attendees ("
                       "AttendeeID INTEGER PRIMARY KEY AUTOINCREMENT, ProgramID INTEGER, Picture TEXT, "
                       "TitleName TEXT, FirstName TEXT, MiddleInitial TEXT, LastName TEXT, OfficeName TEXT, "
                       "Address TEXT, City TEXT, StateOrProvince TEXT, PostalCode TEXT, Country TEXT, "
                       "Chapter TEXT, EmailName TEXT, HomePhone TEXT, WorkPhone TEXT, MobilePhone TEXT, "
                       "FaxNumber TEXT, Note TEXT)"),
        QStringLiteral("CREATE INDEX Attendees_ProgramID ON Attendees (ProgramID)"),
        QStringLiteral("CREATE TABLE Donations ("
                       "DonationID INTEGER PRIMARY KEY AUTOINCREMENT, AttendeeID INTEGER, %1, %2, "
                       "DonDate TEXT, PaymentDate TEXT, PaymentType TEXT)")
            .arg(currencyColumn("Amount"), yesNoColumn("RegFee")),
        QStringLiteral("CREATE INDEX Donations_AttendeeID ON Donations (AttendeeID)"),
        QStringLiteral("CREATE TABLE Office ("
                       "OfficeID INTEGER PRIMARY KEY AUTOINCREMENT, OfficeName TEXT, OfficeDesc TEXT)"),
        QStringLiteral("CREATE TABLE Title ("
                       "TitleID INTEGER PRIMARY KEY AUTOINCREMENT, TitleName TEXT, TitleDesc TEXT)"),
        // The donations query, updatable through INSTEAD OF triggers; it shows the
        // donation's own key so each row can be addressed.
        QStringLiteral("CREATE VIEW qryDon_Fees AS SELECT DonationID, AttendeeID, Amount, RegFee, DonDate, "
                       "PaymentDate, PaymentType FROM Donations"),
        QStringLiteral("CREATE TRIGGER qryDon_Fees_Insert INSTEAD OF INSERT ON qryDon_Fees BEGIN "
                       "INSERT INTO Donations (DonationID, AttendeeID, Amount, RegFee, DonDate, PaymentDate, "
                       "PaymentType) VALUES (NEW.DonationID, NEW.AttendeeID, NEW.Amount, coalesce(NEW.RegFee, 0), "
                       "NEW.DonDate, NEW.PaymentDate, NEW.PaymentType); END"),
        QStringLiteral("CREATE TRIGGER qryDon_Fees_Update INSTEAD OF UPDATE ON qryDon_Fees BEGIN "
                       "UPDATE Donations SET DonationID = NEW.DonationID, AttendeeID = NEW.AttendeeID, "
                       "Amount = NEW.Amount, RegFee = coalesce(NEW.RegFee, 0), DonDate = NEW.DonDate, "
                       "PaymentDate = NEW.PaymentDate, PaymentType = NEW.PaymentType "
                       "WHERE DonationID = OLD.DonationID; END"),
        QStringLiteral("CREATE TRIGGER qryDon_Fees_Delete INSTEAD OF DELETE ON qryDon_Fees BEGIN "
                       "DELETE FROM Donations WHERE DonationID = OLD.DonationID; END"),
        // Deleting an attendee takes the attendee's donations with it, in the same
        // statement, so no donation is left that no attendee can reach.
        QStringLiteral("CREATE TRIGGER Attendees_DeleteDonations AFTER DELETE ON Attendees BEGIN "
                       "DELETE FROM Donations WHERE AttendeeID = OLD.AttendeeID; END"),
        QStringLiteral("PRAGMA user_version = %1").arg(Version),
    };
}

void create(Database &db)
{
    static const char *const titles[] = {"Mr.", "Mrs.", "Ms.", "Dr.", "Rev."};
    static const char *const offices[] = {"President", "Secretary", "Treasurer", "Member"};
    WriteTransaction write(db);
    for (const QString &statement : createStatements())
        db.execute(statement);
    for (const char *title : titles)
        db.execute(QStringLiteral("INSERT INTO Title (TitleName, TitleDesc) VALUES (?, ?)"),
                   {QString::fromLatin1(title), QString::fromLatin1(title)});
    for (const char *office : offices)
        db.execute(QStringLiteral("INSERT INTO Office (OfficeName, OfficeDesc) VALUES (?, ?)"),
                   {QString::fromLatin1(office), QString::fromLatin1(office)});
    write.commit();
}

} // namespace Schema
