#include "toolkit/dialogs/PasswordDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "toolkit/dialogs/MessageService.h"

PasswordDialog::PasswordDialog(const QString& server, const QString& problem, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PasswordDialog"));
    setWindowTitle(MessageService::title());
    PromptLabel = new QLabel(tr("The server %1 asks for your &password:").arg(server), this);
    PromptLabel->setWordWrap(true);
    PromptLabel->setTextFormat(Qt::PlainText);
    ProblemLabel = new QLabel(problem.trimmed(), this);
    ProblemLabel->setObjectName(QStringLiteral("ProblemLabel"));
    ProblemLabel->setWordWrap(true);
    ProblemLabel->setTextFormat(Qt::PlainText);
    ProblemLabel->setVisible(!problem.trimmed().isEmpty());
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PromptLabel->setBuddy(PasswordEdit);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PromptLabel);
    layout->addWidget(ProblemLabel);
    layout->addWidget(PasswordEdit);
    layout->addWidget(Buttons);
    // Wide enough for a server's name and a line of its message without cutting either.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    PasswordEdit->setFocus();
}

QString PasswordDialog::password() const
{
    return PasswordEdit->text();
}
