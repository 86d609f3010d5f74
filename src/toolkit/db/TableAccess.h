#pragma once

#include <QStringList>

// The tables a statement reads and writes, in lower case, as the engine names them while
// preparing it.
struct TableAccess
{
    QStringList read;
    QStringList written;
};
