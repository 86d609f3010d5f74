#pragma once

#include <memory>
#include <vector>

#include <QObject>

#include "reports/DatasetCursor.h"
#include "toolkit/report/ReportDefinition.h"
#include "toolkit/report/ReportLayout.h"

class Dataset;
class TMainDataModule;

// A report window: never shown itself, it holds its report QuickRep1 and the cursors over the
// datasets the report walks. Made for one use, previewed, then freed by its maker. Producing
// walks the shared datasets in place with their bound controls disabled, re-enabled at the
// end also after an error; a store error passes through as StoreError. GUI thread only.
class ReportForm : public QObject
{
    Q_OBJECT
public:
    ReportForm(TMainDataModule& dataModule, const QString& name, const QString& caption, QObject* parent = nullptr);
    ~ReportForm() override;

    const QString& caption() const { return QuickRep1.caption; }

    // Lays the report out into sink, page numbers counting from firstPage; returns the next
    // page's number.
    int produce(PageSink& sink, int firstPage = 1);
    // Shows the preview of QuickRep1 through the preview service; returns when it is closed.
    void Preview();

    ReportDefinition QuickRep1;

protected:
    // Runs before each walk and gives the run's parameters: a list report runs its query here.
    virtual ReportParameters prepare() { return {}; }
    // Lets the report's elements and bands name dataset by its own name.
    void addCursor(Dataset* dataset);

    TMainDataModule& m_dataModule;

private:
    std::vector<std::unique_ptr<DatasetCursor>> m_cursorStore;
    QList<Dataset*> m_walked;
    ReportCursors m_cursors;
};

// Previews several reports one after the other in one preview, page numbers counting through.
void previewReports(const QString& caption, const std::vector<ReportForm*>& reports);
