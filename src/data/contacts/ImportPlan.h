#pragma once

#include <vector>

#include <QHash>

#include "data/contacts/Contact.h"

namespace Contacts {

// A person already stored in the company the contacts go to.
struct StoredPerson
{
    qint64 id = 0;
    QString name;
    QString email;
};

// What an import will do, shown in the preview before anything is written: each contact read
// is new or a possible duplicate (the same e-mail, or the same name without case and blanks,
// as a stored person of the company or an earlier contact of the file) or a company's card,
// values longer than their field are marked, and the lines that could not be read are listed.
// The user picks per duplicate or company card skip (the default), add anyway, or update the
// empty fields of the stored person, and once for all long values whether they are placed
// whole elsewhere (the default), cut, or skip their contact. Pure and GUI-free.
class ImportPlan
{
public:
    enum class Action : quint8 { Add, Skip, UpdateEmpty };
    // Place: a phone keeps its number and its further words go to Info; another value goes to
    // Info whole where it fits there, else it is left out with a note in Info. A name is cut.
    enum class LongValues { Place, Cut, SkipContact };

    // What the plan knows of a contact besides its values, which contact() unpacks.
    struct Row
    {
        qint64 storedDuplicate = 0;  // id of the stored person it may duplicate
        int fileDuplicate = -1;      // index of the earlier row it may duplicate
        quint16 tooLong = 0;         // bit per Field
        Action action = Action::Add;
        bool companyCard = false;

        bool isDuplicate() const { return storedDuplicate != 0 || fileDuplicate >= 0; }
        bool isCompanyCard() const { return companyCard; }
        bool isTooLong(Field f) const { return tooLong & (1u << f); }
    };

    // Compares every contact read with the stored people and the contacts before it, reporting
    // progress every thousand contacts; when progress says stop, the plan is cancelled and empty.
    ImportPlan(ReadResult read, const std::vector<StoredPerson>& stored, const ReadProgress& progress = {});

    bool isCancelled() const { return m_cancelled; }

    const std::vector<Row>& rows() const { return m_rows; }
    Contact contact(int row) const { return m_contacts[size_t(row)]; }
    // The name of the stored person or earlier contact the row may duplicate.
    QString duplicateName(int row) const;
    const std::vector<Problem>& problems() const { return m_problems; }

    int newCount() const;
    int duplicateCount() const;
    int tooLongCount() const;
    int companyCardCount() const;
    int problemCount() const { return int(m_problems.size()); }
    // What storing the plan would add and update.
    int addCount() const;
    int updateCount() const;

    // Update is only for a duplicate of a stored person; otherwise the row keeps its action.
    void setAction(int row, Action action);
    LongValues longValues() const { return m_longValues; }
    void setLongValues(LongValues choice) { m_longValues = choice; }

    // Whether the row is written (added or used to update), and with which values: long ones
    // as the choice for them says, each change noted after the reader's notes.
    bool writes(int row) const;
    Contact written(int row) const;

private:
    ContactList m_contacts;
    std::vector<Row> m_rows;
    QHash<qint64, QString> m_storedNames;  // of the stored people some row may duplicate
    std::vector<Problem> m_problems;
    LongValues m_longValues = LongValues::Place;
    bool m_cancelled = false;
};

} // namespace Contacts
