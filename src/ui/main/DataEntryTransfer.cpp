#include "ui/main/DataEntry.h"

#include <algorithm>
#include <optional>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>

#include "data/DataModule.h"
#include "data/PeopleTransfer.h"
#include "data/contacts/ContactReader.h"
#include "data/contacts/ContactWriter.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/FileDialogService.h"
#include "toolkit/dialogs/MessageService.h"
#include "ui/main/ImportPreview.h"
#include "ui/main/PageLayout.h"

using PageLayout::named;

namespace {

const QString NoCompanyMessage = QStringLiteral("Please, Select company first.");
constexpr int ProgressSteps = 1000;

// A card with an arrow going into it (import) or coming out of it (export).
QIcon transferGlyph(bool into)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(60, 60, 70));
    p.setBrush(QColor(250, 250, 235));
    p.drawRoundedRect(QRectF(5.5, 3.5, 10, 11), 1.5, 1.5);
    p.setPen(QPen(QColor(40, 110, 190), 1.2));
    for (int line = 0; line < 3; ++line)
        p.drawLine(QPointF(9, 7 + line * 2.5), QPointF(13.5, 7 + line * 2.5));
    p.setPen(QPen(QColor(30, 140, 60), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal tip = into ? 8 : 1, tail = into ? 1 : 8, back = into ? -2.5 : 2.5;
    p.drawLine(QPointF(tail, 5), QPointF(tip, 5));
    p.drawPolyline(QPolygonF({QPointF(tip + back, 2.5), QPointF(tip, 5), QPointF(tip + back, 7.5)}));
    return QIcon(pixmap);
}

bool hasCompany(TMainDataModule& dm)
{
    if (!dm.CompaniesTable->text(QStringLiteral("CompanyID")).isEmpty())
        return true;
    MessageService::current().showMessage(NoCompanyMessage);
    return false;
}

// The steps of an import show in one modal progress window with Cancel, which appears once a
// step takes a while.
void prepare(QProgressDialog& steps)
{
    steps.setWindowTitle(QStringLiteral("Import clients"));
    steps.setWindowModality(Qt::ApplicationModal);
    steps.setMinimumDuration(500);
    steps.setAutoReset(false);
    steps.setAutoClose(false);
}

// Shows how far a step has come and keeps the windows painting, also before the progress window
// appears; false once the user has cancelled. Until the window shows, and so keeps the user's
// input to itself, input waits.
bool reported(QProgressDialog& steps, int value)
{
    steps.setValue(value);
    QCoreApplication::processEvents(steps.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !steps.wasCanceled();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Contacts::FileError(QStringLiteral("The file \"%1\" cannot be read: %2").arg(path, file.errorString()));
    return file.readAll();
}

} // namespace

void TDataEntryForm::buildTransferButtons(QWidget* page)
{
    BitBtn1 = named(new QPushButton(transferGlyph(true), QStringLiteral("Import"), page), "BitBtn1");
    BitBtn1->setToolTip(QStringLiteral("Import data from MS Outlook"));
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &TDataEntryForm::BitBtn1Click);

    ExportButton = named(new QPushButton(transferGlyph(false), QStringLiteral("E&xport"), page), "ExportButton");
    ExportButton->setToolTip(QStringLiteral("Export clients to a vCard or CSV file"));
    ExportButton->setAutoDefault(false);
    auto* menu = new QMenu(ExportButton);
    const std::tuple<const char*, bool, bool> choices[] = {
        {"Clients of this company as &vCard...", false, false},
        {"Clients of this company as &CSV...", false, true},
        {"&All clients as vCard...", true, false},
        {"All clients as CS&V...", true, true},
    };
    for (const auto& [text, all, csv] : choices)
        connect(menu->addAction(QLatin1String(text)), &QAction::triggered, this,
                [this, all = all, csv = csv] { ExportClients(all, csv); });
    ExportButton->setMenu(menu);
}

void TDataEntryForm::BitBtn1Click()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    if (!hasCompany(dm))
        return;
    const QString path = FileDialogService::current().openFileName(
        QStringLiteral("Import clients"),
        QStringLiteral("Contacts|*.vcf;*.vcard;*.csv;*.txt|vCard files|*.vcf;*.vcard|CSV files|*.csv;*.txt|All files|*"));
    if (path.isEmpty())
        return;
    guarded([&] {
        PeopleTransfer transfer(dm);
        const QString cancelled = QStringLiteral("The import was cancelled: nothing was written.");
        std::optional<Contacts::ImportPlan> plan;
        {
            QProgressDialog steps(QStringLiteral("Reading \"%1\"...").arg(QFileInfo(path).fileName()),
                                  QStringLiteral("Cancel"), 0, ProgressSteps, this);
            prepare(steps);
            Contacts::ReadResult read = Contacts::readContactFile(readFile(path), [&](qint64 done, qint64 total) {
                return reported(steps, int(done * ProgressSteps / std::max<qint64>(total, 1)));
            });
            if (read.cancelled) {
                MessageService::current().showMessage(cancelled);
                return;
            }
            steps.setLabelText(QStringLiteral("Comparing with the stored clients..."));
            plan = transfer.preview(std::move(read), [&](int done, int total) {
                return reported(steps, done * ProgressSteps / std::max(total, 1));
            });
            if (!plan) {
                MessageService::current().showMessage(cancelled);
                return;
            }
        }
        {
            TImportPreviewForm preview(*plan, this);
            if (preview.exec() != QDialog::Accepted)
                return;
        }
        QProgressDialog steps(QStringLiteral("Importing clients..."), QStringLiteral("Cancel"), 0,
                              std::max<int>(1, int(plan->rows().size())), this);
        prepare(steps);
        const PeopleTransfer::Outcome outcome = transfer.store(std::move(*plan), [&](int done, int all) {
            if (done < all)
                return reported(steps, done);
            // Saving and reading the clients again cannot be cancelled; it is named so that the
            // wait is not taken for a hang.
            if (steps.value() < steps.maximum()) {
                steps.setCancelButton(nullptr);
                steps.setLabelText(QStringLiteral("Saving and reading the clients again..."));
            }
            reported(steps, steps.maximum());
            return true;
        });
        steps.reset();
        if (outcome.cancelled)
            MessageService::current().showMessage(cancelled);
        else
            MessageService::current().showMessage(
                QStringLiteral("%1 clients added, %2 updated.").arg(outcome.added).arg(outcome.updated));
    });
}

void TDataEntryForm::ExportClients(bool allPeople, bool csv)
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    if (!allPeople && !hasCompany(dm))
        return;
    guarded([&] {
        const std::vector<Contacts::Contact> people = PeopleTransfer(dm).exportedPeople(allPeople);
        // A CSV file has room for the activity log; a vCard's NOTE is the person's notes.
        const QStringList activities = csv ? PeopleTransfer(dm).exportedActivities(allPeople) : QStringList();
        if (people.empty()) {
            MessageService::current().showMessage(QStringLiteral("There are no clients to export."));
            return;
        }
        const QString suffix = csv ? QStringLiteral("csv") : QStringLiteral("vcf");
        QString name = allPeople ? QStringLiteral("Clients") : dm.CompaniesTable->text(QStringLiteral("Name"));
        name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
        FileDialogService::SaveRequest request;
        request.caption = QStringLiteral("Export clients");
        request.filter = csv ? QStringLiteral("CSV files|*.csv") : QStringLiteral("vCard files|*.vcf");
        request.defaultExtension = suffix;
        request.directory = (name.trimmed().isEmpty() ? QStringLiteral("Clients") : name.trimmed()) + QLatin1Char('.') + suffix;
        const QString path = FileDialogService::current().saveFileName(request);
        if (path.isEmpty())
            return;
        // Written whole or not at all: a failed export leaves no half file behind.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv ? Contacts::writeCsv(people, activities) : Contacts::writeVCards(people)) < 0
            || !file.commit())
            throw std::runtime_error(
                QStringLiteral("The file \"%1\" cannot be written: %2").arg(path, file.errorString()).toStdString());
        MessageService::current().showMessage(QStringLiteral("%1 clients exported to \"%2\".").arg(people.size()).arg(path));
    });
}
