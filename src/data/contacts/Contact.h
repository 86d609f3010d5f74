#pragma once

#include <array>
#include <functional>
#include <stdexcept>
#include <vector>

#include <QStringList>

// A contact read from or written to a vCard or CSV file, held as the person columns it fills.
namespace Contacts {

enum Field { Name, Title, Email, Mobile, Tel, Fax, Company, Address, Info, FieldCount };

// The People column a field fills, and how many characters it takes (the Clients page's memo
// limit for the address and the notes, so an imported person stays editable there).
QString column(Field field);
int width(Field field);
// The field's caption on the Clients page.
QString caption(Field field);

struct Contact
{
    int line = 0;  // where the card or row begins, 1-based
    bool companyCard = false;  // the card is marked as a company's and names no person
    std::array<QString, FieldCount> values;
    QStringList notes;  // what the reader left out, for the preview

    QString& operator[](Field f) { return values[f]; }
    const QString& operator[](Field f) const { return values[f]; }
};

// A card or row that could not be read, and why.
struct Problem
{
    int line = 0;
    QString reason;
};

// Contacts held packed, each in one block of UTF-8, so that a file of many contacts takes
// little more memory than its text. Values hold no NUL: the readers refuse a card or line
// with one.
class ContactList
{
public:
    ContactList() = default;
    ContactList(std::initializer_list<Contact> contacts);

    void push_back(const Contact& contact);
    Contact operator[](size_t index) const;
    Contact front() const { return (*this)[0]; }
    size_t size() const { return m_contacts.size(); }
    bool empty() const { return m_contacts.empty(); }

private:
    struct Packed
    {
        int line;
        bool companyCard;
        QByteArray text;  // the values, then the notes, each ended by a NUL
    };
    std::vector<Packed> m_contacts;
};

struct ReadResult
{
    ContactList contacts;
    std::vector<Problem> problems;
    bool cancelled = false;  // the reading was cancelled: nothing of the file is used
};

// How far the reading has come, as done of total; returning false cancels it.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

// A file that cannot be read at all: nothing of it is used. what() is the user's message.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// Keys under which two people count as possibly the same: the name without case and blanks,
// the e-mail without case and surrounding blanks. Empty when there is nothing to compare.
QString nameKey(const QString& name);
QString emailKey(const QString& email);

} // namespace Contacts
