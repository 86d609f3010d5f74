#pragma once

#include <QString>
#include <QStringList>

#include "toolkit/db/TableAccess.h"

// The program's SQL, written as SQLite reads it, in the words of a PostgreSQL server:
// "Quoted" names in lower case (the server keeps unquoted names in lower case), ? and :name
// parameters numbered $1, $2 (a name used twice keeps its number), x IS ? as IS NOT DISTINCT
// FROM, LIKE without regard to case as ILIKE, COLLATE NAMES as the server's root collation,
// group_concat as string_agg, ifnull as coalesce, char() as chr(), a subquery in FROM given
// a name. String literals and comments pass through untouched. Pure text work that touches
// no store and never throws.
namespace PgSql {

struct Translation
{
    QString text;
    // Per parameter, from 1 at index 0: the name as written (":id"), empty for a bare ?.
    QStringList parameters;
    TableAccess tables;
    // The text begins with INSERT, UPDATE, DELETE or a statement that changes the schema.
    bool writes = false;
    // One INSERT, to which the engine adds RETURNING rowid.
    bool insert = false;
    // Changes the schema (CREATE, DROP, ALTER).
    bool definesSchema = false;
};

Translation translate(const QString& sql);

// The root collation of the server's ICU, which orders names as NameOrder does: letters
// before their accents, accents before case.
inline constexpr const char* NamesCollation = "\"und-x-icu\"";

}
