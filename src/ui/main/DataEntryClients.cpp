#include "ui/main/DataEntry.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "profile/RetailForm.h"
#include "reports/ReportMenu.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"
#include "toolkit/widgets/DBEdit.h"
#include "toolkit/widgets/DBMemo.h"
#include "ui/main/LogPanel.h"
#include "ui/main/PageLayout.h"

using PageLayout::named;

namespace {

constexpr int MemoLimit = 200;

const QString NoSuchClient = QStringLiteral("No client by that name.");
const QString FinishNewClient = QStringLiteral("Save or cancel the new client first.");

// A page that reports each time it becomes visible: when it is picked, and when its window is
// shown with it current.
class ShowingPage : public QWidget
{
public:
    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        // Coming back from minimised is not a new showing.
        if (!event->spontaneous() && onShow)
            onShow();
    }
};

// Rows of a list with a red cross over them.
QIcon deleteAllGlyph()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 70));
    for (int line = 0; line < 4; ++line)
        p.drawRect(QRectF(1, 2 + line * 3.5, 10, 2));
    p.setPen(QPen(QColor(200, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 7.5), QPointF(14.5, 13.5));
    p.drawLine(QPointF(14.5, 7.5), QPointF(8.5, 13.5));
    return QIcon(pixmap);
}

// Saves a pending change of the person first; with no person, says so.
bool storedPersonSelected(Dataset& people)
{
    people.endPendingChanges();
    if (!people.isEmpty())
        return true;
    MessageService::current().messageDialog(QStringLiteral("No record selected."), MessageService::Type::Error,
                                            QMessageBox::Ok);
    return false;
}

} // namespace

void TDataEntryForm::buildClientsPage()
{
    auto* page = named(new ShowingPage, "PeopleTabSheet");
    page->onShow = [this] { PeopleTabSheetShow(); };
    PeopleTabSheet = page;

    DBNavigator2 = PageLayout::recordNavigator(page, "DBNavigator2");
    SpeedButton1 = named(new QToolButton(page), "SpeedButton1");
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(deleteAllGlyph());
    SpeedButton1->setToolTip(QStringLiteral("Delete all records"));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton1, &QToolButton::clicked, this, &TDataEntryForm::SpeedButton1Click);

    Panel1 = named(new QFrame(page), "Panel1");
    Panel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Edit1 = named(new QLineEdit(Panel1), "Edit1");
    Edit1->setMinimumWidth(140);
    connect(Edit1, &QLineEdit::textChanged, this, &TDataEntryForm::Edit1Change);
    auto* goTo = new QHBoxLayout(Panel1);
    goTo->setContentsMargins(6, 3, 3, 3);
    auto* goToLabel = new QLabel(QStringLiteral("&Go to"), Panel1);
    goToLabel->setBuddy(Edit1);
    goTo->addWidget(goToLabel);
    goTo->addWidget(Edit1);

    GoToMessage = named(new QLabel(page), "GoToMessage");
    // Room for the longer message from the start, so neither is cut nor moves the page.
    GoToMessage->setMinimumWidth(GoToMessage->fontMetrics().horizontalAdvance(FinishNewClient) + 4);
    GoToMessage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* top = new QHBoxLayout;
    top->addWidget(DBNavigator2);
    top->addWidget(SpeedButton1);
    top->addStretch(1);
    top->addWidget(GoToMessage);
    top->addWidget(Panel1);

    DBEdit15 = named(new DBEdit(page), "DBEdit15");
    DBEdit14 = named(new DBEdit(page), "DBEdit14");
    DBEdit17 = named(new DBEdit(page), "DBEdit17");
    DBMemo6 = named(new DBMemo(page), "DBMemo6");
    DBEdit20 = named(new DBEdit(page), "DBEdit20");
    DBEdit21 = named(new DBEdit(page), "DBEdit21");
    DBEdit18 = named(new DBEdit(page), "DBEdit18");
    DBEdit19 = named(new DBEdit(page), "DBEdit19");
    DBMemo5 = named(new DBMemo(page), "DBMemo5");
    for (DBMemo* memo : {DBMemo6, DBMemo5}) {
        memo->setMaxLength(MemoLimit);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setMaximumHeight(80);
    }
    for (DBEdit* phone : {DBEdit20, DBEdit21, DBEdit18})
        phone->setMaximumWidth(220);

    QFont labelFont = page->font();
    labelFont.setPointSize(10);
    QFormLayout* rows = PageLayout::fieldRows();
    const std::pair<const char*, QWidget*> fields[] = {
        {"Name (Required)", DBEdit15}, {"Company", DBEdit14}, {"Position", DBEdit17},
        {"Address", DBMemo6},          {"Primary Tel", DBEdit20}, {"Fax", DBEdit21},
        {"Mobile", DBEdit18},          {"Email", DBEdit19},       {"Info", DBMemo5}};
    for (const auto& [text, control] : fields) {
        auto* label = new QLabel(QLatin1String(text), page);
        label->setFont(labelFont);
        label->setBuddy(control);
        rows->addRow(label, control);
    }

    buildTransferButtons(page);
    RetailButton = named(new QPushButton(QStringLiteral("Pro&file..."), page), "RetailButton");
    RetailButton->setAutoDefault(false);
    connect(RetailButton, &QPushButton::clicked, this, &TDataEntryForm::RetailButtonClick);
    Button5 = named(new QPushButton(QStringLiteral("Report..."), page), "Button5");
    Button5->setAutoDefault(false);
    connect(Button5, &QPushButton::clicked, this, &TDataEntryForm::Button5Click);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(BitBtn1);
    bottom->addWidget(ExportButton);
    bottom->addWidget(RetailButton);
    bottom->addWidget(Button5);
    bottom->addStretch(1);

    ClientLogPanel = named(new TLogPanel(m_forms, page), "ClientLogPanel");
    ClientLogPanel->setMinimumWidth(440);
    auto* person = new QVBoxLayout;
    person->addLayout(rows);
    person->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(person, 1);
    middle->addWidget(ClientLogPanel);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
}

void TDataEntryForm::bindClientsPage(TMainDataModule& dm)
{
    DataSource* source = dm.PeopleCompanyDS;
    DBNavigator2->setDataSource(source);
    DBEdit15->bind(source, QStringLiteral("Name"));
    DBEdit14->bind(source, QStringLiteral("Company"));
    DBEdit17->bind(source, QStringLiteral("Title"));
    DBMemo6->bind(source, QStringLiteral("Address"));
    DBEdit20->bind(source, QStringLiteral("Tel"));
    DBEdit21->bind(source, QStringLiteral("Fax"));
    DBEdit18->bind(source, QStringLiteral("Mobile"));
    DBEdit19->bind(source, QStringLiteral("Email"));
    DBMemo5->bind(source, QStringLiteral("Info"));
    ClientLogPanel->bind(dm.PersonFollowUpsDS, dm.PersonActivitiesDS);
    connect(&dm, &TMainDataModule::personNameRequired, this, &TDataEntryForm::focusPersonName);
}

void TDataEntryForm::PeopleTabSheetShow()
{
    Dataset* people = m_forms.MainDataModule->PeopleCompanyDet;
    // A person being entered or edited stays as typed; showing the page neither saves nor drops it.
    if (!people->isEditing())
        guarded([people] { people->refresh(); });
}

void TDataEntryForm::Edit1Change()
{
    TMainDataModule& dm = *m_forms.MainDataModule;
    Dataset* people = dm.PeopleCompanyDet;
    GoToMessage->clear();
    auto stay = [this](const QString& why) {
        QApplication::beep();
        GoToMessage->setText(why);
    };
    guarded([&] {
        people->updateRecord();
        // A move would drop a new client still blank, and the user may not see that it went.
        if (people->state() == Dataset::State::Insert && !people->modified()) {
            stay(FinishNewClient);
            return;
        }
        // Among the people of the current company only: the company never moves. A changed
        // client is saved first, as by any move.
        const bool found = people->locate({QStringLiteral("CompanyID"), QStringLiteral("Name")},
                                          {dm.CompaniesTable->asInteger(QStringLiteral("CompanyID")), Edit1->text()},
                                          Dataset::CaseInsensitive | Dataset::PartialKey);
        people->refresh();
        if (!found && !Edit1->text().isEmpty())
            stay(NoSuchClient);
    });
}

void TDataEntryForm::SpeedButton1Click()
{
    guarded([this] {
        m_forms.MainDataModule->DeleteAllCompanyPeople(
            QStringLiteral("This will delete ALL records in your database. Proceed?"), [](const QString& question) {
                // Enter answers No: deleting everyone is never the default.
                return MessageService::current().messageDialog(question, MessageService::Type::Warning,
                                                               QMessageBox::No | QMessageBox::YesToAll, QMessageBox::No)
                    == QMessageBox::YesToAll;
            });
    });
}

// The current person's report, with the person's tactic advice.
void TDataEntryForm::Button5Click()
{
    Dataset* people = m_forms.MainDataModule->PeopleCompanyDet;
    guarded([&] {
        if (storedPersonSelected(*people))
            previewPerson(*m_forms.MainDataModule);
    });
}

void TDataEntryForm::RetailButtonClick()
{
    Dataset* people = m_forms.MainDataModule->PeopleCompanyDet;
    guarded([&] {
        // The answers belong to a stored person.
        if (storedPersonSelected(*people))
            m_forms.Retail->showForCurrentPerson();
    });
}

void TDataEntryForm::focusPersonName()
{
    // Second main windows are shown modally, so the one in front is where the user works.
    QWidget* front = QApplication::activeModalWidget();
    auto* target = qobject_cast<TDataEntryForm*>(front ? front : QApplication::activeWindow());
    if (!target)
        target = m_forms.DataEntryForm;
    if (target != this)
        return;
    selectPage(ClientsPage);
    raise();
    activateWindow();
    DBEdit15->setFocus(Qt::OtherFocusReason);
}
