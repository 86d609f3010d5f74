#include "data/contacts/Contact.h"

namespace Contacts {

QString column(Field field)
{
    static const char* const names[FieldCount] = {"Name", "Title", "Email", "Mobile", "Tel",
                                                  "Fax",  "Company", "Address", "Info"};
    return QLatin1String(names[field]);
}

int width(Field field)
{
    static const int widths[FieldCount] = {255, 255, 64, 30, 255, 255, 255, 200, 200};
    return widths[field];
}

QString caption(Field field)
{
    static const char* const captions[FieldCount] = {"Name", "Position", "Email", "Mobile", "Primary Tel",
                                                     "Fax",  "Company",  "Address", "Info"};
    return QLatin1String(captions[field]);
}

QString nameKey(const QString& name)
{
    QString key;
    key.reserve(name.size());
    for (QChar c : name)
        if (!c.isSpace())
            key.append(c);
    return key.toCaseFolded();
}

QString emailKey(const QString& email)
{
    return email.trimmed().toCaseFolded();
}

} // namespace Contacts
