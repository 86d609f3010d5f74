#pragma once

#include <array>
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

struct ReadResult
{
    std::vector<Contact> contacts;
    std::vector<Problem> problems;
};

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
