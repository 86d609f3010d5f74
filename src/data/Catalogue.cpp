#include "data/Catalogue.h"

#include "toolkit/db/Dataset.h"

namespace Catalogue {

namespace {

ColumnDef autoNumber(const char* name) { return {QLatin1String(name), FieldType::AutoInc, 0, true}; }
ColumnDef key(const char* name) { return {QLatin1String(name), FieldType::Integer, 0, true}; }
ColumnDef integer(const char* name) { return {QLatin1String(name), FieldType::Integer}; }
// Rows are read by it as the details of another table's row, so it is indexed.
ColumnDef link(const char* name) { return {QLatin1String(name), FieldType::Integer, 0, false, true}; }
ColumnDef dateTime(const char* name) { return {QLatin1String(name), FieldType::DateTime}; }
ColumnDef text(const char* name, int width) { return {QLatin1String(name), FieldType::Text, width}; }
ColumnDef memo(const char* name) { return {QLatin1String(name), FieldType::Memo}; }
ColumnDef boolean(const char* name) { return {QLatin1String(name), FieldType::Boolean}; }
// Needed only by the pages, windows and reports that show it; a file without it still opens.
ColumnDef shown(ColumnDef column)
{
    column.required = false;
    return column;
}

const QString Weight = QStringLiteral("SPWeight");

QList<ColumnDef> businessColumns()
{
    QList<ColumnDef> columns = {link("PersonID"), link("SubProjectID")};
    for (const BuyingRole& role : roles())
        columns.append({role.field, FieldType::Boolean});
    columns.append({Weight, FieldType::Integer});
    return columns;
}

} // namespace

// Widths are those the datasets declare; a text no dataset declares a width for has width 0.
// Business and QuestionsMain have no key of their own: RowKey gives each row a stable identity
// that no dataset shows, and AUTOINCREMENT keeps a deleted row's identity from coming back.
const QList<TableDef>& tables()
{
    static const QList<TableDef> all = {
        {QStringLiteral("Companies"),
         {autoNumber("CompanyID"), text("Name", 255), shown(text("Address", 255)), shown(text("Tel1", 30)),
          shown(text("Tel2", 30)), shown(text("Fax", 30)), shown(text("MainActivities", 512)),
          shown(text("Comments", 512))},
         {},
         {}},
        {QStringLiteral("People"),
         {autoNumber("PersonID"), link("CompanyID"), text("Name", 255), text("Title", 255), text("Email", 64),
          text("Mobile", 30), text("Info", 255), shown(text("Company", 0)), shown(text("Address", 0)),
          shown(text("Tel", 0)), shown(text("Fax", 0))},
         {},
         {}},
        {QStringLiteral("Projects"),
         {autoNumber("ProjectID"), link("CompanyID"), text("Name", 255), text("Code", 255), text("Comments", 512)},
         {},
         {}},
        {QStringLiteral("SubProjects"),
         {autoNumber("SubProjectID"), integer("SubProjectTypeID"), link("ProjectID"), integer("SizeID"),
          text("Name", 255), text("Code", 255), text("Comments", 512)},
         {},
         {}},
        {QStringLiteral("SubProjectType"), {key("SPTypeID"), text("SPTypeName", 64), text("Comments", 255)}, {}, {}},
        {QStringLiteral("SubProjectSize"), {key("ID"), text("Name", 0)}, {}, {}},
        {QStringLiteral("SubProjectStatus"), {key("SPStatusID"), text("SPStatusName", 64)}, {}, {}},
        {QStringLiteral("SubProjectHistory"),
         {autoNumber("ID"), link("SubProjectID"), integer("SubProjectStatusID"), dateTime("Date")},
         {},
         {}},
        {QStringLiteral("Business"), businessColumns(), QStringLiteral("RowKey"), {}},
        {QStringLiteral("QuestionsMain"), {link("PersonID"), integer("QuestionID"), integer("Answer")},
         QStringLiteral("RowKey"),
         {}},
        // A next step about a person, a subproject or both. The due list reads the open ones
        // by date, so they are indexed that way.
        {QStringLiteral("FollowUps"),
         {autoNumber("FollowUpID"), link("PersonID"), link("SubProjectID"), dateTime("Due"), text("Text", 255),
          boolean("Done")},
         {},
         {{QStringLiteral("Done"), QStringLiteral("Due")}}},
        // A dated call, meeting, mail or note about a person or a subproject.
        {QStringLiteral("Activities"),
         {autoNumber("ActivityID"), link("PersonID"), link("SubProjectID"), dateTime("Date"), text("Kind", 16),
          memo("Text")},
         {},
         {}},
    };
    return all;
}

const TableDef& table(const QString& name)
{
    for (const TableDef& t : tables())
        if (t.name == name)
            return t;
    qFatal("No table %s in the catalogue", qPrintable(name));
}

QList<FieldDef> fields(const QString& tableName)
{
    QList<FieldDef> declared;
    for (const ColumnDef& c : table(tableName).columns)
        if (c.type != FieldType::Text || c.width > 0)
            declared.append(fieldOf(c));
    return declared;
}

FieldDef field(const QString& tableName, const QString& column)
{
    const ColumnDef* c = table(tableName).column(column);
    if (!c)
        qFatal("No column %s.%s in the catalogue", qPrintable(tableName), qPrintable(column));
    return fieldOf(*c);
}

void addFields(Dataset& dataset, const QString& tableName)
{
    for (const FieldDef& f : fields(tableName))
        dataset.addField(f);
}

const QList<BuyingRole>& roles()
{
    static const QList<BuyingRole> all = {
        {QStringLiteral("SPDecisionMaker"), QStringLiteral("Decision Maker"), QStringLiteral("SPDecisionMaker"),
         QStringLiteral("Decision maker : People who make the actual buying decision. Eg. managers.")},
        {QStringLiteral("SPUser"), QStringLiteral("User"), QStringLiteral("User"),
         QStringLiteral("User : People who actually use the product, service, or solution. Eg. field engineers.")},
        {QStringLiteral("SPInfluencer"), QStringLiteral("Influencer"), QStringLiteral("Influencer"),
         QStringLiteral("Influencers : People who set the specifications and aspects of buying decisions. Eg. consultants.")},
        {QStringLiteral("SPPurchaser"), QStringLiteral("Purchaser"), QStringLiteral("Purchaser"),
         QStringLiteral("Purchaser : People who interact with suppliers, arrange terms and conditions, and process "
                        "purchase orders.")},
        {QStringLiteral("SPGateKeeper"), QStringLiteral("Gate Keeper"), QStringLiteral("GateKeeper"),
         QStringLiteral("Gate keeper : People who control the flow of purchasing information. Eg. secretaries.")},
    };
    return all;
}

QString weightField()
{
    return Weight;
}

QString weightCaption()
{
    return QStringLiteral("Weight");
}

QStringList roleFields()
{
    QStringList names;
    for (const BuyingRole& role : roles())
        names.append(role.field);
    names.append(Weight);
    return names;
}

QString caption(const QString& column)
{
    if (column == Weight)
        return weightCaption();
    for (const BuyingRole& role : roles())
        if (role.field == column)
            return role.caption;
    return {};
}

} // namespace Catalogue
