#include "ui/pipeline/Pipeline.h"

#include <map>

#include <QCheckBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "data/Pipeline.h"
#include "toolkit/db/Connection.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/FileDialogService.h"
#include "toolkit/dialogs/MessageService.h"
#include "ui/main/DataEntry.h"
#include "ui/pipeline/PipelineModel.h"
#include "ui/pipeline/PipelineReport.h"

namespace {

const QString StandOutKey = QStringLiteral("pipeline/standOutDays");

// The program names no organisation; its settings go under its own name.
QSettings settings()
{
    return QSettings(QStringLiteral("Vornadel"), QCoreApplication::applicationName());
}

QWidget* countRow(QWidget* parent, const char* name, const QString& title)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QLatin1String(name));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* label = new QLabel(title, row);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Status:")) + 12);
    layout->addWidget(label);
    layout->addStretch(1);
    return row;
}

// Takes the counts out of a row, leaving its title and the stretch after them.
void clearRow(QWidget* row)
{
    for (QToolButton* button : row->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        delete button;
}

} // namespace

TPipelineForm::TPipelineForm(Forms& forms, QWidget* parent, const QDate& today)
    : RecordListWindow(forms, parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint,
                       "PipelineForm", QStringLiteral("Pipeline"), today)
{
    buildLayout();
    startReading();
}

void TPipelineForm::startReading()
{
    Connection& connection = *m_forms.MainDataModule->MainADOConnection();
    m_reader = std::make_unique<Pipeline::Reader>(connection, m_today);
    m_readAt = connection.writeCount();
    Model->rows().clear();
    Model->update();
    ReadProgress->setValue(0);
    ReadProgress->show();
    CancelButton->show();
    ReadTimer->start();
}

TPipelineForm::~TPipelineForm() = default;

void TPipelineForm::buildLayout()
{
    StatusCounts = countRow(this, "StatusCounts", QStringLiteral("Status:"));
    SizeCounts = countRow(this, "SizeCounts", QStringLiteral("Size:"));

    TypeCombo = new QComboBox(this);
    TypeCombo->setObjectName(QStringLiteral("TypeCombo"));
    TypeCombo->addItem(QStringLiteral("All types"));
    connect(TypeCombo, &QComboBox::currentIndexChanged, this, &TPipelineForm::TypeComboChange);
    NoDecisionMaker = new QCheckBox(QStringLiteral("&No decision maker"), this);
    NoDecisionMaker->setObjectName(QStringLiteral("NoDecisionMaker"));
    connect(NoDecisionMaker, &QCheckBox::toggled, this, &TPipelineForm::NoDecisionMakerClick);
    DaysSpin = new QSpinBox(this);
    DaysSpin->setObjectName(QStringLiteral("DaysSpin"));
    DaysSpin->setRange(1, 3650);
    DaysSpin->setSuffix(QStringLiteral(" days"));
    DaysSpin->setValue(settings().value(StandOutKey, 60).toInt());
    connect(DaysSpin, &QSpinBox::valueChanged, this, &TPipelineForm::DaysSpinChange);

    Model = new PipelineModel(this);
    Model->setStandOutDays(DaysSpin->value());
    PipelineGrid = recordGrid(QStringLiteral("PipelineGrid"), Model, [this] { PipelineGridDblClick(); });
    PipelineGrid->setSortingEnabled(true);
    PipelineGrid->sortByColumn(Pipeline::Company, Qt::AscendingOrder);
    PipelineGrid->verticalHeader()->setDefaultSectionSize(PipelineGrid->fontMetrics().height() + 6);
    PipelineGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Column widths from the first rows, not from a thousand of a large file's.
    PipelineGrid->horizontalHeader()->setResizeContentsPrecision(200);
    connect(PipelineGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TPipelineForm::PipelineGridRowChange);
    connect(Model, &QAbstractItemModel::modelReset, this, [this] {
        connect(PipelineGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &TPipelineForm::PipelineGridRowChange, Qt::UniqueConnection);
        ShownLabel->setText(QStringLiteral("%1 of %2 subprojects shown").arg(Model->shown().size()).arg(Model->rows().size()));
        PipelineGridRowChange();
    });

    TimeLabel = new QLabel(QStringLiteral("&Time in each status"), this);
    TimeList = new QTreeWidget(this);
    TimeList->setObjectName(QStringLiteral("TimeList"));
    TimeList->setHeaderLabels({QStringLiteral("Status"), QStringLiteral("First reached"), QStringLiteral("Days")});
    TimeList->setRootIsDecorated(false);
    TimeList->setMaximumHeight(150);
    TimeLabel->setBuddy(TimeList);

    ReadProgress = new QProgressBar(this);
    ReadProgress->setObjectName(QStringLiteral("ReadProgress"));
    ReadProgress->setRange(0, 1000);
    ReadProgress->setFormat(QStringLiteral("Reading the subprojects… %p%"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(CancelButton, &QPushButton::clicked, this, &TPipelineForm::CancelButtonClick);
    ExportButton = new QPushButton(QStringLiteral("E&xport CSV..."), this);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    ExportButton->setAutoDefault(false);
    connect(ExportButton, &QPushButton::clicked, this, &TPipelineForm::ExportButtonClick);
    PrintButton = new QPushButton(QStringLiteral("&Print..."), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setAutoDefault(false);
    connect(PrintButton, &QPushButton::clicked, this, &TPipelineForm::PrintButtonClick);
    ShownLabel = new QLabel(this);
    ShownLabel->setObjectName(QStringLiteral("ShownLabel"));
    // Room for the largest counts from the start, so the text is never cut.
    ShownLabel->setMinimumWidth(ShownLabel->fontMetrics().horizontalAdvance(QStringLiteral("0000000 of 0000000 subprojects shown")) + 8);

    ReadTimer = new QTimer(this);
    ReadTimer->setObjectName(QStringLiteral("ReadTimer"));
    ReadTimer->setInterval(0);
    connect(ReadTimer, &QTimer::timeout, this, &TPipelineForm::ReadTimerTimer);

    auto* filters = new QHBoxLayout;
    auto* typeLabel = new QLabel(QStringLiteral("T&ype"), this);
    typeLabel->setBuddy(TypeCombo);
    auto* daysLabel = new QLabel(QStringLiteral("&Stands out after"), this);
    daysLabel->setBuddy(DaysSpin);
    filters->addWidget(typeLabel);
    filters->addWidget(TypeCombo);
    filters->addSpacing(12);
    filters->addWidget(NoDecisionMaker);
    filters->addSpacing(12);
    filters->addWidget(daysLabel);
    filters->addWidget(DaysSpin);
    filters->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ShownLabel);
    bottom->addWidget(ReadProgress, 1);
    bottom->addWidget(CancelButton);
    bottom->addStretch(0);
    bottom->addWidget(PrintButton);
    bottom->addWidget(ExportButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StatusCounts);
    layout->addWidget(SizeCounts);
    layout->addLayout(filters);
    layout->addWidget(PipelineGrid, 1);
    layout->addWidget(TimeLabel);
    layout->addWidget(TimeList);
    layout->addLayout(bottom);
    resize(1100, 640);
}

void TPipelineForm::ReadTimerTimer()
{
    bool done = false;
    const bool ran = guarded([&] { done = m_reader->readSome(Model->rows()); });
    ReadProgress->setValue(m_reader->progress());
    if (!ran || done)
        finishReading();
}

void TPipelineForm::readAll()
{
    while (ReadTimer->isActive())
        ReadTimerTimer();
}

void TPipelineForm::CancelButtonClick()
{
    ReadTimer->stop();
    reject();
}

void TPipelineForm::finishReading()
{
    ReadTimer->stop();
    ReadProgress->hide();
    CancelButton->hide();
    std::map<qint64, QString> types;
    for (const Pipeline::Row& row : Model->rows())
        types.emplace(row.typeId, row.type);
    TypeCombo->blockSignals(true);
    while (TypeCombo->count() > 1)
        TypeCombo->removeItem(1);
    for (const auto& [id, name] : types)
        TypeCombo->addItem(name.isEmpty() ? QStringLiteral("(none)") : name, id);
    const std::optional<qint64> type = Model->filter().typeId;
    TypeCombo->setCurrentIndex(type ? std::max(0, TypeCombo->findData(*type)) : 0);
    TypeCombo->blockSignals(false);
    fillCounts();
    applyFilter();
    // Read again after a visit, the subproject visited stays selected.
    int row = 0;
    for (int r = 0; r < Model->rowCount(); ++r)
        if (Model->rowAt(r).subProjectId == m_selectedId)
            row = r;
    if (Model->rowCount() > 0)
        PipelineGrid->selectRow(row);
    PipelineGrid->resizeColumnsToContents();
    PipelineGrid->setFocus();
}

void TPipelineForm::fillCounts()
{
    std::map<qint64, std::pair<QString, int>> statuses, sizes;
    for (const Pipeline::Row& row : Model->rows()) {
        auto& s = statuses.try_emplace(row.statusId, row.statusId ? row.status : QStringLiteral("No status"), 0).first->second;
        ++s.second;
        auto& z = sizes.try_emplace(row.sizeId, row.size.isEmpty() ? QStringLiteral("No size") : row.size, 0).first->second;
        ++z.second;
    }
    const auto fill = [this](QWidget* row, const std::map<qint64, std::pair<QString, int>>& counts,
                             void (TPipelineForm::*click)(qint64)) {
        clearRow(row);
        auto* layout = static_cast<QHBoxLayout*>(row->layout());
        for (const auto& [id, count] : counts) {
            auto* button = new QToolButton(row);
            button->setObjectName(QStringLiteral("Count%1").arg(id));
            button->setText(QStringLiteral("%1: %2").arg(count.first).arg(count.second));
            button->setCheckable(true);
            button->setAutoRaise(true);
            connect(button, &QToolButton::clicked, this, [this, click, id = id] { (this->*click)(id); });
            // Before the stretch, which keeps the counts together at the left.
            layout->insertWidget(layout->count() - 1, button);
            button->show();
        }
    };
    fill(StatusCounts, statuses, &TPipelineForm::StatusButtonClick);
    fill(SizeCounts, sizes, &TPipelineForm::SizeButtonClick);
}

void TPipelineForm::applyFilter()
{
    Pipeline::Filter f = Model->filter();
    const auto check = [](QWidget* row, const std::optional<qint64>& chosen) {
        for (QToolButton* button : row->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            button->setChecked(chosen && button->objectName() == QStringLiteral("Count%1").arg(*chosen));
    };
    check(StatusCounts, f.statusId);
    check(SizeCounts, f.sizeId);
    Model->setFilter(f);
}

void TPipelineForm::StatusButtonClick(qint64 statusId)
{
    Pipeline::Filter f = Model->filter();
    // A second click on the chosen count shows every status again.
    f.statusId = f.statusId == statusId ? std::nullopt : std::optional<qint64>(statusId);
    Model->setFilter(f);
    applyFilter();
}

void TPipelineForm::SizeButtonClick(qint64 sizeId)
{
    Pipeline::Filter f = Model->filter();
    f.sizeId = f.sizeId == sizeId ? std::nullopt : std::optional<qint64>(sizeId);
    Model->setFilter(f);
    applyFilter();
}

void TPipelineForm::TypeComboChange()
{
    Pipeline::Filter f = Model->filter();
    const QVariant type = TypeCombo->currentData();
    f.typeId = type.isValid() ? std::optional<qint64>(type.toLongLong()) : std::nullopt;
    Model->setFilter(f);
}

void TPipelineForm::NoDecisionMakerClick()
{
    Pipeline::Filter f = Model->filter();
    f.noDecisionMaker = NoDecisionMaker->isChecked();
    Model->setFilter(f);
}

void TPipelineForm::DaysSpinChange()
{
    settings().setValue(StandOutKey, DaysSpin->value());
    Model->setStandOutDays(DaysSpin->value());
}

void TPipelineForm::PipelineGridRowChange()
{
    TimeList->clear();
    const QModelIndex current = PipelineGrid->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = Model->rowAt(current.row()).subProjectId;
    guarded([&] {
        const auto times = Pipeline::timeInStatus(Pipeline::readHistory(*m_forms.MainDataModule->MainADOConnection(), id), m_today);
        for (const Pipeline::StatusTime& t : times)
            new QTreeWidgetItem(TimeList, {t.status, t.firstReached.toString(QStringLiteral("yyyy-MM-dd")), QString::number(t.days)});
    });
    for (int c = 0; c < TimeList->columnCount(); ++c)
        TimeList->resizeColumnToContents(c);
}

void TPipelineForm::PipelineGridDblClick()
{
    const QModelIndex current = PipelineGrid->currentIndex();
    if (!current.isValid())
        return;
    const qint64 id = Model->rowAt(current.row()).subProjectId;
    m_selectedId = id;
    guarded([&] {
        if (!showRecord(SearchIndex::SubProjects, id, TDataEntryForm::SubProjectsPage)) {
            MessageService::current().showMessage(QStringLiteral("That subproject is no longer in the file."));
            return;
        }
        // What was changed there shows here; the filters and the order stay.
        if (m_forms.MainDataModule->MainADOConnection()->writeCount() != m_readAt)
            startReading();
    });
}

void TPipelineForm::ExportButtonClick()
{
    FileDialogService::SaveRequest request;
    request.caption = QStringLiteral("Export the rows shown");
    request.filter = QStringLiteral("CSV files|*.csv");
    request.defaultExtension = QStringLiteral("csv");
    const QString path = FileDialogService::current().saveFileName(request);
    if (path.isEmpty())
        return;
    guarded([&] { Pipeline::writeCsv(path, Model->rows(), Model->shown()); });
}

void TPipelineForm::PrintButtonClick()
{
    guarded([&] { previewPipeline(Model->rows(), Model->shown()); });
}
