#pragma once

#include <array>
#include <string>
#include <vector>

#include <QStringList>
#include <QtGlobal>

class Connection;

// What the jump search finds: companies (name, phones), projects and subprojects (name, code)
// and people (name, e-mail, phones, title), each matched on any part of its texts without
// regard to case or accents. The texts are held in memory, folded once, one buffer per kind;
// a kind is read again when the program has written its table since it was read, a slice of
// rows at a time, so no step holds the window long. Reads throw StoreError. GUI thread only.
class SearchIndex
{
public:
    enum Kind { Companies, Projects, SubProjects, People };
    static constexpr int KindCount = 4;

    struct Hit
    {
        Kind kind;
        qint64 id;
        // The company of a project or person, the project of a subproject; 0 for a company.
        qint64 masterId;
        QString name;
        // The other texts, as shown beside the name.
        QString detail;
    };

    struct Result
    {
        // Up to the limit per kind, names that start with the query first, then by name.
        std::array<std::vector<Hit>, KindCount> hits;
        std::array<int, KindCount> counts{};
    };

    explicit SearchIndex(Connection& connection);

    // Whether every kind holds its table as the program last wrote it.
    bool upToDate() const;
    // Reads up to rows rows of the kinds that are out of date; true when none is left.
    bool readSome(int rows);
    // Reads until up to date.
    void readAll();

    Result search(const QString& query, int limitPerKind) const;

    // Lower case without accents, as texts are compared.
    static std::string fold(const QString& text);

private:
    struct Entry
    {
        qint64 id;
        qint64 masterId;
        QString name;
        QString detail;
        // Where the entry's folded texts start in the kind's buffer.
        quint32 offset;
        quint32 nameLength;
    };
    struct Part
    {
        std::vector<Entry> entries;
        std::string folded;
        // While reading again: what is read so far, and the last key read.
        std::vector<Entry> reading;
        std::string readingFolded;
        qint64 lastKey = 0;
        quint64 readingAt = 0;
        bool inProgress = false;
        // A write at this count or later is not in the held entries; 0: never read.
        quint64 readAt = 0;
    };

    bool stale(Kind kind) const;
    void readSlice(Kind kind, int rows);
    QString selectFor(Kind kind) const;
    static QString table(Kind kind);

    Connection& m_connection;
    std::array<Part, KindCount> m_parts;
    // The optional columns each table has in this file.
    std::array<QStringList, KindCount> m_columns;
};
