#include "ui/main/LogPanel.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/FollowUps.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/DBMemo.h"
#include "toolkit/widgets/DBNavigator.h"
#include "ui/main/PageLayout.h"
#include "ui/main/PickDate.h"

using PageLayout::named;

namespace {

DBNavigator* compactNavigator(QWidget* parent, const char* name)
{
    auto* navigator = named(new DBNavigator(parent), name);
    navigator->setVisibleButtons({DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last,
                                  DBNavigator::Insert, DBNavigator::Delete, DBNavigator::Post, DBNavigator::Cancel,
                                  DBNavigator::Refresh});
    navigator->setFlat(true);
    return navigator;
}

} // namespace

TLogPanel::TLogPanel(Forms& forms, QWidget* parent)
    : QWidget(parent)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("LogPanel"));
    FollowUpsGrid = named(new DBGrid(this), "FollowUpsGrid");
    FollowUpsLabel = named(new QLabel(QStringLiteral("Follo&w-ups"), this), "FollowUpsLabel");
    FollowUpsLabel->setBuddy(FollowUpsGrid);
    FollowUpsNavigator = compactNavigator(this, "FollowUpsNavigator");
    connect(FollowUpsGrid, &DBGrid::editButtonClick, this, &TLogPanel::FollowUpsGridEditButtonClick);
    FollowUpsGrid->installKeyFilter(this);

    ActivitiesGrid = named(new DBGrid(this), "ActivitiesGrid");
    ActivitiesLabel = named(new QLabel(QStringLiteral("Activit&y log"), this), "ActivitiesLabel");
    ActivitiesLabel->setBuddy(ActivitiesGrid);
    ActivitiesNavigator = compactNavigator(this, "ActivitiesNavigator");
    connect(ActivitiesGrid, &DBGrid::editButtonClick, this, &TLogPanel::ActivitiesGridEditButtonClick);
    ActivityText = named(new DBMemo(this), "ActivityText");
    ActivityText->setMaxLength(FollowUps::ActivityTextLimit);
    ActivityText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ActivityText->setPlaceholderText(QStringLiteral("What was said or done"));

    FindEdit = named(new QLineEdit(this), "FindEdit");
    FindEdit->setPlaceholderText(QStringLiteral("Text in the log"));
    auto* findLabel = new QLabel(QStringLiteral("F&ind"), this);
    findLabel->setBuddy(FindEdit);
    FindButton = named(new QPushButton(QStringLiteral("Next"), this), "FindButton");
    FindButton->setAutoDefault(false);
    FindMessage = named(new QLabel(this), "FindMessage");
    connect(FindEdit, &QLineEdit::returnPressed, this, &TLogPanel::FindEditReturnPressed);
    connect(FindButton, &QPushButton::clicked, this, &TLogPanel::FindEditReturnPressed);
    connect(FindEdit, &QLineEdit::textChanged, FindMessage, &QLabel::clear);

    auto* find = new QHBoxLayout;
    find->addWidget(findLabel);
    find->addWidget(FindEdit, 1);
    find->addWidget(FindButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FollowUpsLabel);
    layout->addWidget(FollowUpsGrid, 2);
    layout->addWidget(FollowUpsNavigator, 0, Qt::AlignLeft);
    layout->addSpacing(6);
    // Why a find did not move, beside the title, where it takes no room of its own.
    auto* title = new QHBoxLayout;
    title->addWidget(ActivitiesLabel);
    title->addStretch(1);
    title->addWidget(FindMessage);
    layout->addLayout(title);
    layout->addLayout(find);
    layout->addWidget(ActivitiesGrid, 3);
    layout->addWidget(ActivitiesNavigator, 0, Qt::AlignLeft);
    layout->addWidget(ActivityText, 2);
}

void TLogPanel::bind(DataSource* followUps, DataSource* activities)
{
    m_followUps = followUps;
    m_activities = activities;
    FollowUpsGrid->setDataSource(followUps);
    FollowUpsGrid->setColumns({GridColumn(QStringLiteral("Due"), 110).withEllipsis(), GridColumn(QStringLiteral("Text"), 210),
                               GridColumn(QStringLiteral("Done"), 48)});
    FollowUpsNavigator->setDataSource(followUps);
    ActivitiesGrid->setDataSource(activities);
    // The text is written in the memo under the grid, which shows all of it.
    ActivitiesGrid->setColumns({GridColumn(QStringLiteral("Date"), 158).withEllipsis(),
                                GridColumn(QStringLiteral("KindName"), 66),
                                GridColumn(QStringLiteral("Text"), 150).asReadOnly()});
    ActivitiesNavigator->setDataSource(activities);
    ActivityText->bind(activities, QStringLiteral("Text"));
}

void TLogPanel::FollowUpsGridEditButtonClick()
{
    TPickDateForm& picker = *m_forms.PickDateForm;
    if (picker.showModalWindow() != QDialog::Accepted)
        return;
    guarded([&] {
        if (m_followUps->edit())
            m_followUps->dataset()->setValue(QStringLiteral("Due"), picker.date());
    });
}

bool TLogPanel::eventFilter(QObject* watched, QEvent* event)
{
    return FollowUpsGridKeyPress(FollowUpsGrid->keyCharacter(watched, event)) || QWidget::eventFilter(watched, event);
}

bool TLogPanel::FollowUpsGridKeyPress(QChar key)
{
    if (key != u' ' || FollowUpsGrid->selectedField() != u"Done")
        return false;
    guarded([this] {
        Dataset* d = m_followUps->dataset();
        if (m_followUps->edit())
            d->setValue(QStringLiteral("Done"), !d->asBoolean(QStringLiteral("Done")));
    });
    return true;
}

void TLogPanel::ActivitiesGridEditButtonClick()
{
    TPickDateForm& picker = *m_forms.PickDateForm;
    if (picker.showModalWindow() != QDialog::Accepted)
        return;
    guarded([&] {
        if (!m_activities->edit())
            return;
        // The day changes; the time of day stays.
        Dataset* d = m_activities->dataset();
        const QTime time = d->value(QStringLiteral("Date")).toDateTime().time();
        d->setValue(QStringLiteral("Date"), QDateTime(picker.date(), time.isValid() ? time : QTime(0, 0)));
    });
}

void TLogPanel::FindEditReturnPressed()
{
    FindMessage->clear();
    guarded([this] {
        if (!FollowUps::findInLog(*m_activities->dataset(), FindEdit->text())) {
            QApplication::beep();
            FindMessage->setText(QStringLiteral("Not found in this log."));
        }
    });
}
