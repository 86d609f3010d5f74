#pragma once

class QMessageBox;
class QWidget;
class TDataEntryForm;

// The actions of the "help" menu. GUI thread only.

// The about box: the product's name, version and notice, and the maker's addresses. The caller
// owns it; showAbout() runs it modally and frees it.
QMessageBox* aboutBox(QWidget* parent);
void showAbout(QWidget* parent);

// Brings the Help page of a main window forward: pass the long-lived main window, or the
// instance whose own menu asked.
void showHelpContents(TDataEntryForm& mainWindow);

// Opens the maker's web site in the desktop's browser; a failure reports nothing.
void visitWebSite();
