#include "ui/main/ImportPreview.h"

#include <algorithm>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/main/ImportPreviewModel.h"

using Contacts::ImportPlan;

namespace {

// The size the user last gave the preview, for the rest of the session: the program keeps no
// settings between runs.
QSize& rememberedSize()
{
    static QSize size;
    return size;
}

// Free text is cut at this many average letters in its column; the tooltip shows all of it.
constexpr int FreeTextLetters = 40;

} // namespace

TImportPreviewForm::TImportPreviewForm(ImportPlan& plan, QWidget* parent)
    : QDialog(parent), m_plan(plan), m_model(new ImportPreviewModel(plan, this))
{
    setObjectName(QStringLiteral("ImportPreviewForm"));
    setWindowTitle(QStringLiteral("Import clients"));

    CountsLabel = new QLabel(QStringLiteral("New: %1    Possible duplicates: %2    Company cards: %3    "
                                            "Values too long: %4    Unreadable: %5")
                                 .arg(plan.newCount()).arg(plan.duplicateCount()).arg(plan.companyCardCount())
                                 .arg(plan.tooLongCount()).arg(plan.problemCount()), this);
    CountsLabel->setObjectName(QStringLiteral("CountsLabel"));

    ContactsGrid = new QTableView(this);
    ContactsGrid->setObjectName(QStringLiteral("ContactsGrid"));
    ContactsGrid->setModel(m_model);
    ContactsGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ContactsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ContactsGrid->verticalHeader()->hide();
    ContactsGrid->verticalHeader()->setDefaultSectionSize(ContactsGrid->fontMetrics().height() + 6);
    ContactsGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ContactsGrid->horizontalHeader()->setStretchLastSection(true);
    fitColumns();

    ProblemsGrid = new QTableWidget(int(plan.problems().size()), 2, this);
    ProblemsGrid->setObjectName(QStringLiteral("ProblemsGrid"));
    ProblemsGrid->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Why it could not be read")});
    ProblemsGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ProblemsGrid->verticalHeader()->hide();
    ProblemsGrid->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < int(plan.problems().size()); ++i) {
        ProblemsGrid->setItem(i, 0, new QTableWidgetItem(QString::number(plan.problems()[i].line)));
        ProblemsGrid->setItem(i, 1, new QTableWidgetItem(plan.problems()[i].reason));
    }

    PreviewTabs = new QTabWidget(this);
    PreviewTabs->addTab(ContactsGrid, QStringLiteral("&Contacts (%1)").arg(plan.rows().size()));
    PreviewTabs->addTab(ProblemsGrid, QStringLiteral("U&nreadable (%1)").arg(plan.problemCount()));

    SkipButton = new QPushButton(QStringLiteral("&Skip"), this);
    AddButton = new QPushButton(QStringLiteral("&Add anyway"), this);
    UpdateButton = new QPushButton(QStringLiteral("&Update empty fields"), this);
    auto* forSelected = new QHBoxLayout;
    forSelected->addWidget(new QLabel(QStringLiteral("Selected rows:"), this));
    for (auto [button, action] : {std::pair{SkipButton, ImportPlan::Action::Skip}, std::pair{AddButton, ImportPlan::Action::Add},
                                  std::pair{UpdateButton, ImportPlan::Action::UpdateEmpty}}) {
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, a = action] { setSelectedAction(a); });
        forSelected->addWidget(button);
    }
    forSelected->addStretch(1);

    LongValuesBox = new QComboBox(this);
    LongValuesBox->setObjectName(QStringLiteral("LongValuesBox"));
    // In the order of ImportPlan::LongValues.
    LongValuesBox->addItems({QStringLiteral("Keep them whole in Info, or leave them out with a note"),
                             QStringLiteral("Cut them to fit"), QStringLiteral("Skip the contact")});
    auto* longLabel = new QLabel(QStringLiteral("&Values too long for their field:"), this);
    longLabel->setBuddy(LongValuesBox);
    connect(LongValuesBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_plan.setLongValues(ImportPlan::LongValues(index));
        m_model->planChanged();
        showSummary();
    });
    forSelected->addWidget(longLabel);
    forSelected->addWidget(LongValuesBox);

    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    ImportButton = new QPushButton(QStringLiteral("&Import"), this);
    ImportButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setAutoDefault(false);
    connect(ImportButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(SummaryLabel, 1);
    bottom->addWidget(ImportButton);
    bottom->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CountsLabel);
    layout->addWidget(PreviewTabs, 1);
    layout->addLayout(forSelected);
    layout->addLayout(bottom);
    showSummary();

    if (rememberedSize().isValid()) {
        resize(rememberedSize());
    } else {
        // Wide enough for the columns, as far as the screen allows.
        int columns = 0;
        for (int c = 0; c < m_model->columnCount(); ++c)
            columns += ContactsGrid->columnWidth(c);
        const QRect screen = this->screen()->availableGeometry();
        resize(std::clamp(columns + 60, 820, std::max(820, screen.width() * 9 / 10)),
               std::min(520, screen.height() * 9 / 10));
    }
}

void TImportPreviewForm::done(int result)
{
    rememberedSize() = size();
    QDialog::done(result);
}

void TImportPreviewForm::fitColumns()
{
    // Sized from the first rows (the header's resize precision), so a large file opens quickly.
    ContactsGrid->resizeColumnsToContents();
    const int freeText = ContactsGrid->fontMetrics().averageCharWidth() * FreeTextLetters;
    for (int c : {ImportPreviewModel::fieldColumn(Contacts::Address), ImportPreviewModel::fieldColumn(Contacts::Info),
                  int(ImportPreviewModel::NotesColumn)})
        ContactsGrid->setColumnWidth(c, std::min(ContactsGrid->columnWidth(c), freeText));
}

void TImportPreviewForm::setSelectedAction(ImportPlan::Action action)
{
    for (const QModelIndex& index : ContactsGrid->selectionModel()->selectedRows())
        m_plan.setAction(index.row(), action);
    m_model->planChanged();
    showSummary();
}

void TImportPreviewForm::showSummary()
{
    const int added = m_plan.addCount(), updated = m_plan.updateCount();
    SummaryLabel->setText(QStringLiteral("The import adds %1 and updates %2 clients.").arg(added).arg(updated));
    ImportButton->setEnabled(added + updated > 0);
}
