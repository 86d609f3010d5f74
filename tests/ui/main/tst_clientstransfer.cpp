#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QToolButton>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>

#include "support/StoreRefusal.h"
#include "support/MainWindowFixture.h"
#include "data/PeopleTransfer.h"
#include "data/contacts/ContactReader.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBNavigator.h"
#include "ui/main/DataEntry.h"
#include "ui/main/ImportPreview.h"
#include "ui/main/ImportPreviewModel.h"
#include "support/ShownWindow.h"

namespace {

const QString DuplicateQuestion =
    QStringLiteral("A client with this name or e-mail already exists in this company. Save anyway?");
const QString PeopleColumns = QStringLiteral("Name, Title, Email, Mobile, Tel, Fax, Company, Address, Info");

QStringList manyPeople(int count)
{
    QStringList people;
    for (int i = 0; i < count; ++i)
        people.append(QStringLiteral("FN:Person %1\r\nEMAIL:p%1@x.example").arg(i));
    return people;
}

QByteArray cards(const QStringList& names)
{
    QByteArray out;
    for (const QString& n : names)
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n" + n.toUtf8() + "\r\nEND:VCARD\r\n";
    return out;
}

// A main window whose modal show returns at once, so that a jump to a record can be checked.
class ProbeForm : public TDataEntryForm
{
public:
    using TDataEntryForm::TDataEntryForm;

protected:
    void showModalWindow() override {}
};

} // namespace

class TestClientsTransfer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importShowsThePreviewThenStoresWhatWasChosen();
    void noCompanyOrBadFileWritesNothing_data();
    void noCompanyOrBadFileWritesNothing();
    void importIsOneTransaction();
    void exportedClientsImportBackEqual_data();
    void exportedClientsImportBackEqual();
    void handEnteredDuplicateAsksBeforeSaving();
    void importKeepsWhatCanBeKept();
    void previewColumnsFitAndItsSizeIsKept();
    void everyStepReportsProgressAndLetsEventsThrough();
    void cancelDuringTheCompareWritesNothing();

private:
    QString writeFile(const QString& name, const QByteArray& data);
    // Presses the Import button; inspect runs on the preview, which is then accepted.
    void importThroughPage(const QString& path, const std::function<void(TImportPreviewForm&)>& inspect = {});
    QStringList rows(const QString& where);
    // Runs look on the import's progress window each time the import lets events through.
    std::unique_ptr<QTimer> watchProgress(const std::function<void(QProgressDialog&)>& look);
    TMainDataModule& dm() { return *m_f->dm; }

    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_w = nullptr;
    bool m_previewShown = false;
};

void TestClientsTransfer::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_w = &m_f->makeMainWindow<ProbeForm>();
    m_previewShown = false;
}

void TestClientsTransfer::cleanup()
{
    m_f.reset();
}

QString TestClientsTransfer::writeFile(const QString& name, const QByteArray& data)
{
    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("vornadel-%1-%2").arg(QCoreApplication::applicationPid()).arg(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestClientsTransfer::importThroughPage(const QString& path, const std::function<void(TImportPreviewForm&)>& inspect)
{
    m_f->files.answerOpenFile(path);
    // The import lets events through while it reads and compares, so the preview is waited for.
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto* preview = qobject_cast<TImportPreviewForm*>(QApplication::activeModalWidget());
        if (!preview)
            return;
        watch.stop();
        m_previewShown = true;
        if (inspect)
            inspect(*preview);
        QTest::mouseClick(preview->ImportButton, Qt::LeftButton);
    });
    watch.start();
    QTest::mouseClick(m_w->BitBtn1, Qt::LeftButton);
    watch.stop();
    QFile::remove(path);
}

std::unique_ptr<QTimer> TestClientsTransfer::watchProgress(const std::function<void(QProgressDialog&)>& look)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(0);
    connect(timer.get(), &QTimer::timeout, this, [this, look] {
        if (auto* progress = m_w->findChild<QProgressDialog*>())
            look(*progress);
    });
    timer->start();
    return timer;
}

QStringList TestClientsTransfer::rows(const QString& where)
{
    Connection side(m_f->connectionString());
    Statement st(side, QStringLiteral("SELECT %1 FROM People WHERE %2 ORDER BY Name").arg(PeopleColumns, where));
    QStringList result;
    while (st.step()) {
        QStringList values;
        for (int c = 0; c < st.columnCount(); ++c)
            values.append(st.isNull(c) ? QStringLiteral("<null>") : st.text(c));
        result.append(values.join(QLatin1Char('|')));
    }
    return result;
}

void TestClientsTransfer::importShowsThePreviewThenStoresWhatWasChosen()
{
    const QString path = writeFile(QStringLiteral("a.vcf"),
                                   cards({QStringLiteral("FN:Carl New\r\nEMAIL:carl@x.example"),
                                          QStringLiteral("FN:a NN\r\nTEL;TYPE=CELL:0170 1\r\nTITLE:Buyer"),
                                          QStringLiteral("FN:BOB"), QStringLiteral("ORG:No name")}));
    importThroughPage(path, [](TImportPreviewForm& preview) {
        QCOMPARE(preview.CountsLabel->text(),
                 QStringLiteral("New: 1    Possible duplicates: 2    Company cards: 0    Values too long: 0    Unreadable: 1"));
        QCOMPARE(preview.ProblemsGrid->rowCount(), 1);
        QCOMPARE(preview.ProblemsGrid->item(0, 0)->text(), QStringLiteral("16"));
        QCOMPARE(preview.SummaryLabel->text(), QStringLiteral("The import adds 1 and updates 0 clients."));
        preview.ContactsGrid->selectRow(1);
        QTest::mouseClick(preview.UpdateButton, Qt::LeftButton);
        QCOMPARE(preview.SummaryLabel->text(), QStringLiteral("The import adds 1 and updates 1 clients."));
    });
    QVERIFY(m_previewShown);
    QCOMPARE(m_f->messages.texts().last(), QStringLiteral("1 clients added, 1 updated."));
    QCOMPARE(rows(QStringLiteral("CompanyID = 3")),
             QStringList({"Ann|Buyer|<null>|0170 1|<null>|<null>|<null>|<null>|<null>",
                          "Bob|<null>|<null>|<null>|<null>|<null>|<null>|<null>|<null>",
                          "Carl New|<null>|carl@x.example|<null>|<null>|<null>|<null>|<null>|<null>"}));
    // The page knows the new person at once; the people table is read again when something needs it.
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Carl New"));
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Title")), QString());
    QCOMPARE(dm().PeopleCompanyDet->recordCount(), 3);
    const QVariant carl = dm().PeopleCompanyDet->value(QStringLiteral("PersonID"));
    QVERIFY(dm().PeopleTable->isStale());
    dm().PeopleCompanyDet->first();
    m_w->ShowPersonRecord(carl);
    QCOMPARE(dm().PeopleCompanyDet->text(QStringLiteral("Name")), QStringLiteral("Carl New"));
    QCOMPARE(dm().PeopleTable->text(QStringLiteral("Name")), QStringLiteral("Carl New"));
}

void TestClientsTransfer::noCompanyOrBadFileWritesNothing_data()
{
    QTest::addColumn<bool>("withCompany");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("no company") << false << cards({QStringLiteral("FN:Ann")}) << "Please, Select company first.";
    QTest::newRow("empty file") << true << QByteArray() << "The file is empty.";
    QTest::newRow("no name column") << true << QByteArray("Email\r\na@b.c\r\n") << "The file has no column for the name";
    QTest::newRow("binary") << true << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "binary data";
}

void TestClientsTransfer::noCompanyOrBadFileWritesNothing()
{
    QFETCH(bool, withCompany);
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    if (!withCompany) {
        Connection side(m_f->connectionString());
        side.exec(QStringLiteral("DELETE FROM Companies"));
        dm().CompaniesTable->close();
        dm().CompaniesTable->open();
    }
    const int before = m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM People")).toInt();
    importThroughPage(writeFile(QStringLiteral("bad.vcf"), data));
    QVERIFY(!m_previewShown);
    QCOMPARE(m_f->messages.entries().size(), 1);
    QVERIFY2(m_f->messages.texts().first().contains(message), qPrintable(m_f->messages.texts().first()));
    QCOMPARE(m_f->files.asked().size(), withCompany ? 1 : 0);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM People")).toInt(), before);
}

void TestClientsTransfer::importIsOneTransaction()
{
    {
        Connection side(m_f->connectionString());
        refuseInStore(side, QStringLiteral("NoBoom"), QStringLiteral("BEFORE INSERT ON People"), QStringLiteral("NEW.Name = 'Boom'"),
                      QStringLiteral("Boom is not allowed"));
    }
    PeopleTransfer transfer(dm());
    const auto plan = [&](const QStringList& names) {
        return *transfer.preview(Contacts::readContactFile(cards(names)));
    };
    const QStringList before = rows(QStringLiteral("1 = 1"));
    try {
        transfer.store(plan({QStringLiteral("FN:First"), QStringLiteral("FN:Boom"), QStringLiteral("FN:Last")}));
        QFAIL("no error");
    } catch (const StoreError& e) {
        QCOMPARE(e.text(), QStringLiteral("Boom is not allowed"));
    }
    QCOMPARE(rows(QStringLiteral("1 = 1")), before);

    // Cancelled half way: nothing either.
    int calls = 0;
    const auto outcome = transfer.store(plan({QStringLiteral("FN:One"), QStringLiteral("FN:Two")}),
                                        [&](int, int) { return ++calls < 1; });
    QVERIFY(outcome.cancelled);
    QCOMPARE(rows(QStringLiteral("1 = 1")), before);

    // The store is usable afterwards.
    QCOMPARE(transfer.store(plan({QStringLiteral("FN:Fine")})).added, 1);
    QCOMPARE(rows(QStringLiteral("Name = 'Fine'")).size(), 1);
}

void TestClientsTransfer::exportedClientsImportBackEqual_data()
{
    QTest::addColumn<bool>("csv");
    QTest::newRow("vCard") << false;
    QTest::newRow("CSV") << true;
}

void TestClientsTransfer::exportedClientsImportBackEqual()
{
    QFETCH(bool, csv);
    {
        Connection side(m_f->connectionString());
        side.exec(QStringLiteral(
            "UPDATE People SET Title = 'Head; of \"Sales\"', Email = 'ann@acme.example', Mobile = '+1 555',"
            " Tel = '+1 556', Fax = '+1 557', Company = 'Acme, Inc', Address = '1 Main St' || char(10) || 'Zoë Tower',"
            " Info = 'Likes tea, coffee\\and' || char(10) || '漢字' WHERE PersonID = 40;"
            "UPDATE People SET Tel = '030 1' WHERE PersonID = 41;"
            "INSERT INTO Activities (PersonID, \"Date\", Kind, Text) VALUES (40, '2026-02-01 09:30:00', 'Call', 'Wants \"40\" seats,' || char(10) || 'by May'),"
            " (40, '2026-03-04 16:00:00', 'Note', '=SUM(A1)');"));
    }
    const QString path = QDir(QDir::tempPath()).filePath(QStringLiteral("vornadel-%1-export").arg(QCoreApplication::applicationPid()));
    m_f->files.answerSave(path);
    m_w->ExportClients(false, csv);
    const QString written = path + (csv ? QStringLiteral(".csv") : QStringLiteral(".vcf"));
    QVERIFY(QFile::exists(written));
    QCOMPARE(m_f->messages.texts().last(), QStringLiteral("2 clients exported to \"%1\".").arg(written));
    // The log goes out in a CSV file's last column, newest first; a vCard has no room for it.
    const QString file = [&] {
        QFile f(written);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }();
    QCOMPARE(file.contains(QStringLiteral("Activities")), csv);
    if (csv) {
        QVERIFY2(file.section(QStringLiteral("\r\n"), 0, 0).endsWith(QStringLiteral(",Notes,Activities")), qPrintable(file));
        QVERIFY2(file.contains(QStringLiteral(",\"2026-03-04 16:00 Note: =SUM(A1)\n2026-02-01 09:30 Call: Wants \"\"40\"\" seats,\nby May\"\r\n")),
                 qPrintable(file));
    }

    QVERIFY(dm().CompaniesTable->locate({QStringLiteral("CompanyID")}, {7}));
    importThroughPage(written);
    QVERIFY(m_previewShown);
    QCOMPARE(rows(QStringLiteral("CompanyID = 7")), rows(QStringLiteral("CompanyID = 3")));
    // The import leaves the log column alone: no entry is made up from it, and no notes take it.
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT count(*) FROM Activities")).toInt(), 2);
}

void TestClientsTransfer::handEnteredDuplicateAsksBeforeSaving()
{
    QVERIFY(showActive(*m_w));
    Dataset* people = dm().PeopleCompanyDet;
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Insert), Qt::LeftButton);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("A nn"));

    m_f->messages.answerDialog(QMessageBox::No);
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(), QStringList{DuplicateQuestion});
    QCOMPARE(people->state(), Dataset::State::Insert);
    QCOMPARE(m_w->DBEdit15->text(), QStringLiteral("A nn"));

    m_f->messages.answerDialog(QMessageBox::Yes);
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(people->state(), Dataset::State::Browse);
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = 3")).toInt(), 3);

    // A change that leaves name and e-mail alone asks nothing; a name of another company is no duplicate.
    m_f->messages.clear();
    QTest::keyClicks(m_w->DBEdit20, QStringLiteral("12"));
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Post), Qt::LeftButton);
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Insert), Qt::LeftButton);
    QTest::keyClicks(m_w->DBEdit15, QStringLiteral("Cecil"));
    QTest::mouseClick(m_w->DBNavigator2->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(m_f->messages.texts(), QStringList());
    QCOMPARE(people->state(), Dataset::State::Browse);
}

void TestClientsTransfer::importKeepsWhatCanBeKept()
{
    const QString longMail = QStringLiteral("someone.with.a.rather.long.address.for.work@department.big-company.example.org");
    QByteArray file = cards({QStringLiteral("FN:Long Mail\r\nEMAIL:") + longMail,
                             QStringLiteral("FN:Long Phone\r\nTEL;TYPE=CELL:+49 170 1234567 (mornings only)"),
                             QStringLiteral("FN:Acme Widgets GmbH\r\nORG:Acme Widgets GmbH\r\nX-ABShowAs:COMPANY")});
    file += QByteArray("BEGIN:VCARD\r\nFN:Binary\r\nNOTE:a\0b\r\nEND:VCARD\r\n", 45);
    file += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut Off\r\nEMAIL:cut@off.exa";
    importThroughPage(writeFile(QStringLiteral("kept.vcf"), file), [](TImportPreviewForm& preview) {
        QCOMPARE(preview.CountsLabel->text(), QStringLiteral("New: 2    Possible duplicates: 0    Company cards: 1    "
                                                             "Values too long: 2    Unreadable: 2"));
        QCOMPARE(preview.ProblemsGrid->item(0, 0)->text(), QStringLiteral("17"));
        QCOMPARE(preview.ProblemsGrid->item(1, 0)->text(), QStringLiteral("21"));
        QCOMPARE(preview.SummaryLabel->text(), QStringLiteral("The import adds 2 and updates 0 clients."));
        const QAbstractItemModel* model = preview.ContactsGrid->model();
        QCOMPARE(model->index(2, ImportPreviewModel::StatusColumn).data().toString(), QStringLiteral("Company card"));
        QCOMPARE(model->index(0, ImportPreviewModel::NotesColumn).data().toString(),
                 QStringLiteral("Email has 78 characters; the field takes 64: it goes to Info"));
    });
    QVERIFY(m_previewShown);
    QCOMPARE(rows(QStringLiteral("Name LIKE 'Long%' OR Name LIKE 'Acme%'")),
             QStringList({"Long Mail|<null>|<null>|<null>|<null>|<null>|<null>|<null>|Email: " + longMail,
                          "Long Phone|<null>|<null>|+49 170 1234567|<null>|<null>|<null>|<null>|Mobile: (mornings only)"}));
}

void TestClientsTransfer::previewColumnsFitAndItsSizeIsKept()
{
    Contacts::ReadResult read = Contacts::readContactFile(
        cards({QStringLiteral("FN:Bartholomew Featherstonehaugh-Smythe\r\nEMAIL:bartholomew.featherstonehaugh@example.org\r\n"
                              "TEL;TYPE=CELL:+44 7700 900123\r\nTEL;TYPE=WORK:+44 20 7946 0958 ext. 1234\r\n"
                              "NOTE:") + QString(180, QLatin1Char('n')),
               QStringLiteral("FN:Ann")}));
    Contacts::ImportPlan plan = *PeopleTransfer(dm()).preview(std::move(read));
    const auto showPreview = [&](const std::function<void(TImportPreviewForm&)>& check) {
        TImportPreviewForm preview(plan);
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        check(preview);
        QTest::mouseClick(preview.CancelButton, Qt::LeftButton);
    };
    showPreview([](TImportPreviewForm& preview) {
        QTableView* grid = preview.ContactsGrid;
        for (int c : {int(ImportPreviewModel::StatusColumn), ImportPreviewModel::fieldColumn(Contacts::Name),
                      ImportPreviewModel::fieldColumn(Contacts::Email), ImportPreviewModel::fieldColumn(Contacts::Mobile),
                      ImportPreviewModel::fieldColumn(Contacts::Tel)})
            for (int row = 0; row < 2; ++row) {
                const QString text = grid->model()->index(row, c).data().toString();
                QVERIFY2(grid->columnWidth(c) >= grid->fontMetrics().horizontalAdvance(text) + 6, qPrintable(text));
            }
        // Free text stays within bounds; its tooltip holds all of it.
        const int info = ImportPreviewModel::fieldColumn(Contacts::Info);
        QVERIFY(grid->columnWidth(info) < grid->fontMetrics().horizontalAdvance(QString(180, QLatin1Char('n'))));
        preview.grab().save(QDir::temp().filePath(QStringLiteral("vornadel-import-preview.png")));
        preview.resize(1000, 430);
    });
    showPreview([](TImportPreviewForm& preview) { QCOMPARE(preview.size(), QSize(1000, 430)); });
}

void TestClientsTransfer::everyStepReportsProgressAndLetsEventsThrough()
{
    // What the progress window says and how far it is, each time the window could paint.
    QMap<QString, QList<int>> seen;
    QMap<QString, bool> cancellable;
    const auto watch = watchProgress([&](QProgressDialog& progress) {
        seen[progress.labelText()].append(progress.value());
        cancellable[progress.labelText()] = progress.findChild<QPushButton*>() != nullptr;
    });
    importThroughPage(writeFile(QStringLiteral("many.vcf"), cards(manyPeople(9000))));
    QVERIFY(m_previewShown);
    QCOMPARE(m_f->messages.texts().last(), QStringLiteral("9000 clients added, 0 updated."));
    const QString reading =
        QStringLiteral("Reading \"vornadel-%1-many.vcf\"...").arg(QCoreApplication::applicationPid());
    const QString saving = QStringLiteral("Saving and reading the clients again...");
    QCOMPARE(seen.keys(), QStringList({QStringLiteral("Comparing with the stored clients..."),
                                       QStringLiteral("Importing clients..."), reading, saving}));
    for (const QString& step : seen.keys()) {
        const QList<int>& values = seen[step];
        QVERIFY2(values.size() >= 3, qPrintable(step));
        QVERIFY2(std::is_sorted(values.begin(), values.end()), qPrintable(step));
        QCOMPARE(cancellable[step], step != saving);
    }
    QVERIFY(seen[reading].last() > seen[reading].first());
    QCOMPARE(m_f->scalar(QStringLiteral("SELECT COUNT(*) FROM People WHERE CompanyID = 3")).toInt(), 9002);
    QCOMPARE(dm().PeopleCompanyDet->recordCount(), 9002);
}

void TestClientsTransfer::cancelDuringTheCompareWritesNothing()
{
    const QStringList before = rows(QStringLiteral("1 = 1"));
    int compared = 0;
    const auto watch = watchProgress([&](QProgressDialog& progress) {
        if (progress.labelText().startsWith(QLatin1String("Comparing")) && ++compared == 2)
            progress.cancel();
    });
    importThroughPage(writeFile(QStringLiteral("cancelled.vcf"), cards(manyPeople(3000))));
    QCOMPARE(compared, 2);
    QVERIFY(!m_previewShown);
    QCOMPARE(m_f->messages.texts(), QStringList{QStringLiteral("The import was cancelled: nothing was written.")});
    QCOMPARE(rows(QStringLiteral("1 = 1")), before);
    QCOMPARE(dm().PeopleCompanyDet->recordCount(), 2);
}

QTEST_MAIN(TestClientsTransfer)
#include "tst_clientstransfer.moc"
