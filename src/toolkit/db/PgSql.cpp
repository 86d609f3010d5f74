#include "toolkit/db/PgSql.h"

#include <algorithm>
#include <vector>

namespace PgSql {

namespace {

enum class Kind { Word, Name, Literal, Parameter, Blank, Other };

struct Token
{
    Kind kind;
    QString text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Cuts the text into words, quoted names, literals, parameters, blanks (comments included)
// and single other characters.
std::vector<Token> tokens(const QString& sql)
{
    std::vector<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype start = i;
        if (c == u'$' && i + 1 < n && sql[i + 1] == u'$') {
            // A body in dollar quotes, as a server function is written, is taken as it is.
            const qsizetype end = sql.indexOf(QStringLiteral("$$"), i + 2);
            i = end < 0 ? n : end + 2;
            out.push_back({Kind::Literal, sql.mid(start, i - start)});
        } else if (c == u'\'' || c == u'"') {
            const QChar close = c;
            ++i;
            while (i < n) {
                if (sql[i] == close) {
                    // A doubled quote is one quote inside.
                    if (i + 1 < n && sql[i + 1] == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({c == u'\'' ? Kind::Literal : Kind::Name, sql.mid(start, i - start)});
        } else if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            out.push_back({Kind::Blank, sql.mid(start, i - start)});
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            out.push_back({Kind::Blank, sql.mid(start, i - start)});
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.push_back({Kind::Blank, sql.mid(start, i - start)});
        } else if (c == u'?') {
            ++i;
            while (i < n && sql[i].isDigit())
                ++i;
            out.push_back({Kind::Parameter, sql.mid(start, i - start)});
        } else if ((c == u':' || c == u'@' || c == u'$') && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')
                   && !(c == u':' && start > 0 && sql[start - 1] == u':')) {
            ++i;
            while (i < n && isWordChar(sql[i]))
                ++i;
            out.push_back({Kind::Parameter, sql.mid(start, i - start)});
        } else if (isWordChar(c)) {
            while (i < n && (isWordChar(sql[i]) || (sql[i] == u'.' && sql[start].isDigit())))
                ++i;
            out.push_back({Kind::Word, sql.mid(start, i - start)});
        } else {
            ++i;
            out.push_back({Kind::Other, QString(c)});
        }
    }
    return out;
}

// The name a quoted or plain word stands for, in lower case, as the server folds it.
QString nameOf(const Token& t)
{
    if (t.kind == Kind::Name)
        return t.text.mid(1, t.text.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\"")).toLower();
    return t.text.toLower();
}

bool is(const Token& t, const char* word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

void note(QStringList& tables, const Token& t)
{
    if (t.kind != Kind::Word && t.kind != Kind::Name)
        return;
    const QString name = nameOf(t);
    if (!tables.contains(name))
        tables.append(name);
}

class Translator
{
public:
    explicit Translator(const QString& sql) : m_tokens(tokens(sql)) {}

    Translation run()
    {
        noteStatementKind();
        findUnnamedSubqueries();
        for (size_t i = 0; i < m_tokens.size(); ++i)
            i = put(i);
        // WITH ... INSERT writes too.
        m_out.writes = m_out.writes || !m_out.tables.written.isEmpty();
        return std::move(m_out);
    }

private:
    // The next token that is not blank at or after i; m_tokens.size() when none.
    size_t next(size_t i) const
    {
        while (i < m_tokens.size() && m_tokens[i].kind == Kind::Blank)
            ++i;
        return i;
    }
    const Token* at(size_t i) const { return i < m_tokens.size() ? &m_tokens[i] : nullptr; }

    void noteStatementKind()
    {
        const Token* first = at(next(0));
        if (!first)
            return;
        m_out.definesSchema = is(*first, "CREATE") || is(*first, "DROP") || is(*first, "ALTER");
        m_out.writes = m_out.definesSchema || is(*first, "INSERT") || is(*first, "UPDATE") || is(*first, "DELETE")
            || is(*first, "REPLACE");
        int statements = 0;
        bool content = false;
        for (const Token& t : m_tokens) {
            if (t.kind == Kind::Other && t.text == u";") {
                statements += content;
                content = false;
            } else if (t.kind != Kind::Blank) {
                content = true;
            }
        }
        statements += content;
        m_out.insert = is(*first, "INSERT") && statements == 1;
    }

    // The index of the parenthesis that closes the one at open.
    size_t closing(size_t open) const
    {
        int depth = 0;
        for (size_t j = open; j < m_tokens.size(); ++j) {
            if (m_tokens[j].kind != Kind::Other)
                continue;
            if (m_tokens[j].text == u"(")
                ++depth;
            else if (m_tokens[j].text == u")" && --depth == 0)
                return j;
        }
        return m_tokens.size();
    }

    // SQLite reads a subquery in FROM without a name; the server wants one.
    void findUnnamedSubqueries()
    {
        for (size_t i = 0; i < m_tokens.size(); ++i) {
            if (!is(m_tokens[i], "FROM") && !is(m_tokens[i], "JOIN"))
                continue;
            const size_t open = next(i + 1);
            if (!at(open) || at(open)->text != u"(")
                continue;
            const size_t close = closing(open);
            const Token* after = at(next(close + 1));
            if (close < m_tokens.size() && (!after || after->kind == Kind::Other || isClauseWord(*after)))
                m_unnamed.push_back(close);
        }
    }

    QString parameter(const Token& t)
    {
        int index = 0;
        if (t.text.size() > 1 && t.text[0] != u'?') {
            index = int(m_out.parameters.indexOf(t.text)) + 1;
        } else if (t.text.size() > 1) {
            index = t.text.mid(1).toInt();
            while (m_out.parameters.size() < index)
                m_out.parameters.append(QString());
        }
        if (index == 0) {
            m_out.parameters.append(t.text.size() > 1 ? t.text : QString());
            index = int(m_out.parameters.size());
        }
        return u'$' + QString::number(index);
    }

    // Notes the table names after FROM, JOIN, INTO, UPDATE: a list split by commas, each
    // perhaps with an alias.
    void noteTables(size_t i, QStringList& into)
    {
        for (;;) {
            i = next(i);
            const Token* t = at(i);
            if (!t || (t->kind != Kind::Word && t->kind != Kind::Name))
                return;
            note(into, *t);
            i = next(i + 1);
            if (at(i) && is(*at(i), "AS"))
                i = next(i + 1);
            if (at(i) && at(i)->kind == Kind::Word && !isClauseWord(*at(i)))
                i = next(i + 1);
            if (!at(i) || at(i)->text != u",")
                return;
            ++i;
        }
    }

    static bool isClauseWord(const Token& t)
    {
        for (const char* w : {"WHERE", "ORDER", "GROUP", "LIMIT", "JOIN", "INNER", "LEFT", "RIGHT", "CROSS", "ON",
                              "SET", "VALUES", "UNION", "HAVING", "SELECT", "DEFAULT", "FULL", "OUTER", "USING"})
            if (is(t, w))
                return true;
        return false;
    }

    // Writes token i, or the words it and the following ones stand for; returns the last
    // token used.
    size_t put(size_t i)
    {
        const Token& t = m_tokens[i];
        switch (t.kind) {
        case Kind::Name:
            m_out.text += u'"' + nameOf(t).replace(u'"', QStringLiteral("\"\"")) + u'"';
            return i;
        case Kind::Parameter:
            m_out.text += parameter(t);
            return i;
        case Kind::Word:
            return writeWord(i);
        default:
            if (t.text == u";")
                m_atStart = true;
            m_out.text += t.text;
            if (std::find(m_unnamed.cbegin(), m_unnamed.cend(), i) != m_unnamed.cend())
                m_out.text += QStringLiteral(" AS subquery%1").arg(i);
            return i;
        }
    }

    size_t writeWord(size_t i)
    {
        const Token& t = m_tokens[i];
        if (is(t, "FROM") || is(t, "JOIN")) {
            const bool deleting = m_previousWord && is(*m_previousWord, "DELETE");
            noteTables(i + 1, deleting ? m_out.tables.written : m_out.tables.read);
        } else if ((is(t, "INTO") && m_previousWord && (is(*m_previousWord, "INSERT") || is(*m_previousWord, "REPLACE")))
                   || (is(t, "UPDATE") && m_atStart)) {
            noteTables(i + 1, m_out.tables.written);
        }
        m_previousWord = &t;
        m_atStart = false;

        if (is(t, "IS")) {
            size_t j = next(i + 1);
            const bool negated = at(j) && is(*at(j), "NOT");
            if (negated)
                j = next(j + 1);
            if (at(j) && (at(j)->kind == Kind::Parameter || at(j)->kind == Kind::Name
                          || (at(j)->kind == Kind::Word && !is(*at(j), "NULL") && !is(*at(j), "TRUE")
                              && !is(*at(j), "FALSE") && !is(*at(j), "DISTINCT") && !is(*at(j), "NOT")))) {
                // SQLite's IS compares values with NULL equal to NULL.
                m_out.text += negated ? QStringLiteral("IS DISTINCT FROM ") : QStringLiteral("IS NOT DISTINCT FROM ");
                return j - 1;
            }
        } else if (is(t, "LIKE")) {
            // SQLite's LIKE ignores the case of ASCII letters.
            m_out.text += QStringLiteral("ILIKE");
            return i;
        } else if (is(t, "COLLATE")) {
            const size_t j = next(i + 1);
            if (at(j) && nameOf(*at(j)) == u"names") {
                m_out.text += QStringLiteral("COLLATE ") + QLatin1String(NamesCollation);
                return j;
            }
        } else if (is(t, "ifnull")) {
            m_out.text += QStringLiteral("coalesce");
            return i;
        } else if (is(t, "char") && !m_out.definesSchema && at(next(i + 1)) && at(next(i + 1))->text == u"(") {
            // SQLite's char(10) is a character; the server would read a type.
            m_out.text += QStringLiteral("chr");
            return i;
        } else if (is(t, "group_concat")) {
            const size_t open = next(i + 1);
            if (at(open) && at(open)->text == u"(") {
                // string_agg wants text and names its separator.
                m_out.text += QStringLiteral("string_agg((");
                size_t j = open + 1;
                for (int depth = 1; j < m_tokens.size(); ++j) {
                    const QString& s = m_tokens[j].text;
                    if (m_tokens[j].kind == Kind::Other && s == u"(")
                        ++depth;
                    else if (m_tokens[j].kind == Kind::Other && s == u")" && --depth == 0)
                        break;
                    else if (m_tokens[j].kind == Kind::Other && s == u"," && depth == 1)
                        break;
                    j = put(j);
                }
                if (at(j) && at(j)->text == u",") {
                    m_out.text += QStringLiteral(")::text,");
                } else {
                    m_out.text += QStringLiteral(")::text, ','");
                    if (at(j))
                        m_out.text += u')';
                }
                return j;
            }
        }
        m_out.text += t.text;
        return i;
    }

    std::vector<Token> m_tokens;
    Translation m_out;
    const Token* m_previousWord = nullptr;
    bool m_atStart = true;
    // Closing parentheses of subqueries in FROM that have no name.
    std::vector<size_t> m_unnamed;
};

} // namespace

Translation translate(const QString& sql)
{
    return Translator(sql).run();
}

}
