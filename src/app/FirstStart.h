#pragma once

#include <QString>

// The first start of the program built for the package, when the user's database file is not
// there yet: says where the data will be kept and offers to make a new empty database there,
// one with sample data to try the program, or to quit. Returns false when the user quits;
// nothing is made then. Throws StoreError when the folder or the file cannot be made. GUI
// thread only.
bool offerNewDatabase(const QString& file);
