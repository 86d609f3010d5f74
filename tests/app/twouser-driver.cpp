// One user's program on a server database, driven through its windows by lines on stdin, so
// that a test can run two users at once in two processes. Each command gets one line back:
//   name         the company's name as the Companies page shows it
//   type TEXT    types TEXT over the name
//   save         the navigator's save; "saved", or the boxes it showed
//   cancel       the navigator's cancel
//   f5           F5 in the window
//   notice       the notice of other users' changes as it stands, or ""
//   awaitnotice  the same, once it shows (waits up to 10 s)
//   quit
#include <cstdio>
#include <iostream>
#include <string>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/Startup.h"
#include "support/RecordingMessageService.h"
#include "toolkit/widgets/ChangedElsewhereLabel.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"

namespace {

void answer(const QString& line)
{
    std::printf("%s\n", qPrintable(QString(line).replace(u'\n', u' ')));
    std::fflush(stdout);
}

QString noticeShown()
{
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            for (const auto* label : w->findChildren<ChangedElsewhereLabel*>())
                if (!label->text().isEmpty())
                    return label->text();
    return {};
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: twouser-driver URI\n");
        return 2;
    }
    RecordingMessageService messages;
    Program program(Program::Server{QString::fromLocal8Bit(argv[1]), {}});
    TDataEntryForm* form = program.forms.DataEntryForm;
    form->MainDataEntry->setCurrentIndex(0);
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form)) {
        std::fprintf(stderr, "the window never became active\n");
        return 1;
    }
    form->DBEdit8->setFocus();
    answer(QStringLiteral("ready"));

    std::string in;
    while (std::getline(std::cin, in)) {
        QApplication::processEvents();
        const QString line = QString::fromStdString(in);
        const QString command = line.section(u' ', 0, 0);
        messages.clear();
        if (command == u"name") {
            answer(form->DBEdit8->text());
        } else if (command == u"type") {
            form->DBEdit8->setFocus();
            form->DBEdit8->selectAll();
            QTest::keyClicks(form->DBEdit8, line.section(u' ', 1));
            answer(QStringLiteral("typed"));
        } else if (command == u"save" || command == u"cancel") {
            form->DBNavigator1->click(command == u"save" ? DBNavigator::Post : DBNavigator::Cancel);
            const QStringList shown = messages.texts();
            answer(shown.isEmpty() ? QStringLiteral("done") : shown.join(u' '));
        } else if (command == u"f5") {
            form->DBEdit8->setFocus();
            QTest::keyClick(form->DBEdit8, Qt::Key_F5);
            answer(QStringLiteral("pressed"));
        } else if (command == u"notice" || command == u"awaitnotice") {
            if (command == u"awaitnotice")
                QTest::qWaitFor([] { return !noticeShown().isEmpty(); }, 10000);
            else
                QTest::qWait(200);
            answer(noticeShown());
        } else if (command == u"quit") {
            break;
        } else {
            answer(QStringLiteral("unknown command ") + command);
        }
    }
    return 0;
}
