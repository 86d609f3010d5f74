#pragma once

class Connection;
class Dataset;

// Before a person entered by hand is saved: when another stored person of the same company has
// the same e-mail, or the same name without regard to case and blanks, asks whether to save
// anyway. Asked for a new person, and for a changed one whose name or e-mail changed. No
// refuses the save with AbortAction and the row stays as typed. Throws StoreError.
void confirmUniquePerson(Connection& connection, Dataset& people);
