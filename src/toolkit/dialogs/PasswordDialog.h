#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// The box that asks for a server's password: what it is for, the server's reason when it asks
// again, a masked field, OK (the default) and Cancel. GUI thread only.
class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    PasswordDialog(const QString& server, const QString& problem, QWidget* parent = nullptr);

    QString password() const;

    QLabel* PromptLabel;
    QLabel* ProblemLabel;
    QLineEdit* PasswordEdit;
    QDialogButtonBox* Buttons;
};
