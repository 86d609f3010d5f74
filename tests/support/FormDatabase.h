#pragma once

#include <memory>

#include "support/RecordingMessageService.h"
#include "support/TestDatabase.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"

// What the control tests start from: a table T of rows with a text, a Boolean, an integer the
// store limits (N < 1000) and a link to the list table K, data sources over them, and the
// recording message service the controls' errors reach.
class FormDatabase : public TestDatabase
{
public:
    FormDatabase() : TestDatabase(QStringLiteral("Form.mdb"))
    {
        exec(QStringLiteral(
            "CREATE TABLE K (KindID INTEGER PRIMARY KEY AUTOINCREMENT, KindName VARCHAR(30));"
            "CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(20), Flag BOOLEAN,"
            " N INTEGER CHECK (N IS NULL OR N < 1000), KindID INTEGER, Notes TEXT);"));
    }

    // T with its stored fields and the lookup Kind (KindName of K by KindID), open.
    Dataset& rows()
    {
        if (!m_kinds) {
            m_kinds = std::make_unique<Dataset>(&db(), QStringLiteral("K"));
            m_kinds->setTableName(QStringLiteral("K"));
            m_kinds->setOrderBy({QStringLiteral("KindName")});
            m_kinds->open();
            m_rows = std::make_unique<Dataset>(&db(), QStringLiteral("T"));
            m_rows->setTableName(QStringLiteral("T"));
            m_rows->addField(FieldDef::autoInc(QStringLiteral("ID")));
            m_rows->addField(FieldDef::text(QStringLiteral("Name"), 20));
            m_rows->addField(FieldDef::boolean(QStringLiteral("Flag")));
            m_rows->addField(FieldDef::integer(QStringLiteral("N")).withLabel(QStringLiteral("Number")));
            m_rows->addField(FieldDef::integer(QStringLiteral("KindID")));
            m_rows->addField(FieldDef::text(QStringLiteral("Notes"), 0));
            m_rows->addField(FieldDef::lookup(QStringLiteral("Kind"), QStringLiteral("KindID"), m_kinds.get(),
                                              QStringLiteral("KindID"), QStringLiteral("KindName")));
            m_rows->open();
            m_source = std::make_unique<DataSource>(m_rows.get());
        }
        return *m_rows;
    }
    Dataset& kinds() { return rows(), *m_kinds; }
    DataSource* source() { return rows(), m_source.get(); }

    RecordingMessageService messages;

private:
    std::unique_ptr<Dataset> m_kinds;
    std::unique_ptr<Dataset> m_rows;
    std::unique_ptr<DataSource> m_source;
};
