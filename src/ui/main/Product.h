#pragma once

#include <QString>

// The product's name, version and notice and the maker's addresses: the one place the Help
// page, the about box and the help menu take them from.
namespace Product {

inline const QString Name = QStringLiteral("Vornadel Lite");
inline const QString Version = QStringLiteral("1.0");
inline const QString WebSite = QStringLiteral("http://www.example.com");
inline const QString MailAddress = QStringLiteral("sales@example.com");

// Eight lines: the name with the version, then the notice.
inline QString about()
{
    return Name + QStringLiteral(", version ") + Version + QStringLiteral(
               "\nCopyright (c) 2026 the makers of Vornadel. All rights reserved.\n"
               "Licensed to one salesperson for use on one computer.\n"
               "This program is provided \"as is\", without warranty of any kind.\n"
               "The makers are not liable for any loss arising from its use.\n"
               "Your data stays in one file, Vornadel.mdb, on this computer;\n"
               "keep a copy of it in a safe place (see \"Where your data lives\" in the help).\n"
               "Questions and orders: see the web site and mail address below.");
}

} // namespace Product
