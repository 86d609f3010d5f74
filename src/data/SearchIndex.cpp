#include "data/SearchIndex.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "toolkit/db/Connection.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/Statement.h"

namespace {

// Between a kind's texts, and between entries; never typed into the search box.
constexpr char FieldSeparator = '\x1f';
constexpr char EntrySeparator = '\n';

struct KindColumns
{
    const char* table;
    const char* key;
    const char* master;
    // Name first; those after it are matched and shown when the file has them.
    std::vector<const char*> texts;
};

const KindColumns& columnsOf(SearchIndex::Kind kind)
{
    static const KindColumns kinds[] = {
        {"Companies", "CompanyID", nullptr, {"Name", "Tel1", "Tel2"}},
        {"Projects", "ProjectID", "CompanyID", {"Name", "Code"}},
        {"SubProjects", "SubProjectID", "ProjectID", {"Name", "Code"}},
        {"People", "PersonID", "CompanyID", {"Name", "Email", "Tel", "Mobile", "Title"}}};
    return kinds[kind];
}

} // namespace

SearchIndex::SearchIndex(Connection& connection)
    : m_connection(connection)
{
}

std::string SearchIndex::fold(const QString& text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    bool ascii = true;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            ascii = false;
            break;
        }
        // Separators typed or stored in a text would split an entry.
        out.push_back(u < 0x20 ? ' ' : char(u >= 'A' && u <= 'Z' ? u + 32 : u));
    }
    if (ascii)
        return out;
    QString plain;
    plain.reserve(text.size());
    for (QChar c : text.normalized(QString::NormalizationForm_KD))
        if (c.category() != QChar::Mark_NonSpacing)
            plain.append(c.unicode() < 0x20 ? QChar(u' ') : c);
    return plain.toCaseFolded().toStdString();
}

QString SearchIndex::table(Kind kind)
{
    return QLatin1String(columnsOf(kind).table);
}

bool SearchIndex::stale(Kind kind) const
{
    const Part& part = m_parts[kind];
    return part.readAt == 0 || m_connection.lastWriteTo({table(kind).toLower()}) >= part.readAt;
}

bool SearchIndex::upToDate() const
{
    for (int k = 0; k < KindCount; ++k)
        if (stale(Kind(k)))
            return false;
    return true;
}

QString SearchIndex::selectFor(Kind kind) const
{
    const KindColumns& c = columnsOf(kind);
    QStringList columns{QLatin1String(c.key), c.master ? QLatin1String(c.master) : QStringLiteral("0")};
    for (const QString& text : m_columns[kind])
        columns << text;
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 > :last ORDER BY %3 LIMIT :rows")
        .arg(columns.join(QLatin1String(", ")), table(kind), QLatin1String(c.key));
}

void SearchIndex::readSlice(Kind kind, int rows)
{
    Part& part = m_parts[kind];
    if (m_columns[kind].isEmpty()) {
        // A text column the start-up does not ask for may be missing from an older file.
        QStringList present;
        for (const TableColumn& column : m_connection.tableColumns(table(kind)))
            present << column.name.toLower();
        for (const char* text : columnsOf(kind).texts)
            if (present.contains(QString::fromLatin1(text).toLower()))
                m_columns[kind] << QLatin1String(text);
    }
    if (!part.inProgress) {
        part.inProgress = true;
        part.lastKey = std::numeric_limits<qint64>::min();
        part.reading.clear();
        part.readingFolded.clear();
        // Writes made while the slices are read make the kind stale again.
        part.readingAt = m_connection.writeCount() + 1;
    }
    Statement st(m_connection, selectFor(kind));
    st.bind(QStringLiteral(":last"), part.lastKey);
    st.bind(QStringLiteral(":rows"), rows);
    int read = 0;
    const int texts = st.columnCount() - 2;
    while (st.step()) {
        ++read;
        Entry e;
        e.id = st.int64(0);
        e.masterId = st.int64(1);
        e.name = st.text(2);
        QStringList others;
        for (int t = 1; t < texts; ++t)
            if (!st.isNull(t + 2) && !st.text(t + 2).isEmpty())
                others << st.text(t + 2);
        e.detail = others.join(QLatin1String(", "));
        e.offset = quint32(part.readingFolded.size());
        const std::string name = fold(e.name);
        e.nameLength = quint32(name.size());
        part.readingFolded += name;
        for (const QString& other : others) {
            part.readingFolded += FieldSeparator;
            part.readingFolded += fold(other);
        }
        part.readingFolded += EntrySeparator;
        part.lastKey = e.id;
        part.reading.push_back(std::move(e));
    }
    if (read < rows) {
        part.entries.swap(part.reading);
        part.folded.swap(part.readingFolded);
        part.reading = {};
        part.readingFolded = {};
        part.readAt = part.readingAt;
        part.inProgress = false;
    }
}

bool SearchIndex::readSome(int rows)
{
    for (int k = 0; k < KindCount; ++k) {
        if (stale(Kind(k))) {
            readSlice(Kind(k), rows);
            return false;
        }
    }
    return true;
}

void SearchIndex::readAll()
{
    while (!readSome(20000)) {
    }
}

SearchIndex::Result SearchIndex::search(const QString& query, int limitPerKind) const
{
    Result result;
    const std::string q = fold(query.trimmed());
    if (q.empty())
        return result;
    for (int k = 0; k < KindCount; ++k) {
        const Part& part = m_parts[k];
        const std::string& text = part.folded;
        // Rank 0: the name starts with the query; 1: the name holds it; 2: another text does.
        std::vector<std::pair<int, int>> found;
        const char* base = text.data();
        const char* end = base + text.size();
        const char* at = base;
        auto from = part.entries.begin();
        while (at < end) {
            const void* hit = memmem(at, size_t(end - at), q.data(), q.size());
            if (!hit)
                break;
            const auto pos = quint32(static_cast<const char*>(hit) - base);
            // Hits come in order and are often close: gallop from the last entry found.
            ptrdiff_t step = 1;
            while (step < part.entries.end() - from && from[step].offset <= pos)
                step *= 2;
            const auto entry = std::upper_bound(from + step / 2, from + std::min(step, part.entries.end() - from), pos,
                                                [](quint32 p, const Entry& e) { return p < e.offset; })
                - 1;
            from = entry + 1;
            const int rank = pos == entry->offset ? 0 : pos + q.size() <= entry->offset + entry->nameLength ? 1 : 2;
            found.emplace_back(rank, int(entry - part.entries.begin()));
            at = from == part.entries.end() ? end : base + from->offset;
        }
        result.counts[k] = int(found.size());
        const auto nameOf = [&](int index) {
            const Entry& e = part.entries[size_t(index)];
            return std::string_view(base + e.offset, e.nameLength);
        };
        const auto shown = found.begin() + std::min<ptrdiff_t>(limitPerKind, ptrdiff_t(found.size()));
        std::partial_sort(found.begin(), shown, found.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first)
                return a.first < b.first;
            const auto na = nameOf(a.second), nb = nameOf(b.second);
            return na != nb ? na < nb : a.second < b.second;
        });
        for (auto it = found.begin(); it != shown; ++it) {
            const Entry& e = part.entries[size_t(it->second)];
            result.hits[k].push_back({Kind(k), e.id, e.masterId, e.name, e.detail});
        }
    }
    return result;
}
