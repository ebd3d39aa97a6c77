#include "Schema.h"

#include "Database.h"
#include "Engine.h"
#include "SchemaMigration.h"
#include "WriteTransaction.h"

namespace {

FieldDef text(const char *name) { return {QString::fromLatin1(name), FieldKind::Text}; }
FieldDef integer(const char *name) { return {QString::fromLatin1(name), FieldKind::Integer}; }
FieldDef currency(const char *name) { return {QString::fromLatin1(name), FieldKind::Currency}; }
FieldDef yesNo(const char *name) { return {QString::fromLatin1(name), FieldKind::YesNo}; }
FieldDef date(const char *name) { return {QString::fromLatin1(name), FieldKind::Date}; }
FieldDef dateTime(const char *name) { return {QString::fromLatin1(name), FieldKind::DateTime}; }

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
    // Since schema 2: who was checked in at the desk, and every card printed.
    list.append({QStringLiteral("CheckIns"), QStringLiteral("CheckIns"), QStringLiteral("CheckInID"),
                 {integer("CheckInID"), integer("AttendeeID"), dateTime("CheckedIn"), text("Desk")}});
    list.append({QStringLiteral("CardPrints"), QStringLiteral("CardPrints"), QStringLiteral("CardPrintID"),
                 {integer("CardPrintID"), integer("AttendeeID"), dateTime("Printed"), text("CardSize"),
                  text("Printer"), text("Desk")}});
    return list;
}

const SourceDef &known(const char *name)
{
    return *Schema::source(QString::fromLatin1(name));
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

QStringList firstSchemaStatements(const Engine &engine)
{
    // How each kind of field is stored is the engine's: dates as ISO text, Yes/No
    // as 0 or 1 and currency as an integer of ten-thousandths on SQLite.
    QStringList statements = engine.schemaPrelude();
    statements += QStringList {
        engine.createTable(known("Program")),
        engine.createTable(known("Attendees")),
        QStringLiteral("CREATE INDEX Attendees_ProgramID ON Attendees (ProgramID)"),
        engine.createTable(known("Donations")),
        QStringLiteral("CREATE INDEX Donations_AttendeeID ON Donations (AttendeeID)"),
        engine.createTable(known("Office")),
        engine.createTable(known("Title")),
    };
    statements += engine.createUpdatableView(known("qryDon_Fees"));
    // Deleting an attendee takes the attendee's donations with it, in the same
    // statement, so no donation is left that no attendee can reach.
    statements += engine.cascadeDelete(QStringLiteral("Attendees"), QStringLiteral("Donations"),
                                       QStringLiteral("AttendeeID"));
    // On a server the photographs too, in a table of their own.
    statements += engine.createPhotoTable();
    for (const char *table : {"Program", "Attendees", "Donations", "Office", "Title"})
        statements += engine.notifyChanges(known(table));
    return statements;
}

QStringList createStatements(const Engine &engine)
{
    QStringList statements = firstSchemaStatements(engine);
    for (int version = 1; version < Version; ++version)
        statements += SchemaMigration::step(engine, version);
    statements += engine.setSchemaVersion(Version);
    return statements;
}

void createTables(Database &db)
{
    WriteTransaction write(db);
    for (const QString &statement : createStatements(db.engine()))
        db.execute(statement);
    write.commit();
}

void create(Database &db)
{
    static const char *const titles[] = {"Mr.", "Mrs.", "Ms.", "Dr.", "Rev."};
    static const char *const offices[] = {"President", "Secretary", "Treasurer", "Member"};
    WriteTransaction write(db);
    createTables(db);
    for (const char *title : titles)
        db.execute(QStringLiteral("INSERT INTO Title (TitleName, TitleDesc) VALUES (?, ?)"),
                   {QString::fromLatin1(title), QString::fromLatin1(title)});
    for (const char *office : offices)
        db.execute(QStringLiteral("INSERT INTO Office (OfficeName, OfficeDesc) VALUES (?, ?)"),
                   {QString::fromLatin1(office), QString::fromLatin1(office)});
    write.commit();
}

} // namespace Schema
