#pragma once

class TMainDataModule;

// Each report as its commands produce it: a new report window for this one use, the preview
// of its report (returning when the user closes it), the window freed afterwards, also after
// an error. A store error while walking ends the report with the error box. GUI thread only.

// The main window's buttons.
void previewCompanies(TMainDataModule& dataModule);
void previewSubprojects(TMainDataModule& dataModule);
void previewPerson(TMainDataModule& dataModule);

// The menu window's "&Reports" items.
void previewCompaniesList(TMainDataModule& dataModule);
void previewPeopleList(TMainDataModule& dataModule);
void previewCompanyPersons(TMainDataModule& dataModule);
// The three of them in one preview, page numbers counting through.
void previewAll(TMainDataModule& dataModule);
