#pragma once

#include <QPointer>
#include <QWidget>

#include "toolkit/chart/PieGeometry.h"
// DataSource.h needs Dataset complete for its inline QPointer access.
#include "toolkit/db/Dataset.h"
#include "toolkit/db/DataSource.h"

class QPrinter;

// A pie chart with one series read from the rows of a data source's dataset: one slice a row,
// value and label from two fields, in the dataset's order. refreshData() reads the rows again
// without moving the dataset, so its current row and its events stay untouched; it is ignored
// while it runs and while the dataset is closed. The user cannot zoom or scroll it.
//
// print() and saveBitmap() throw std::runtime_error with a text for the user (no usable
// printer, a file that cannot be written); the chart stays as it was. The data source is not
// owned. GUI thread only.
class DBChart : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(DataSource* dataSource READ dataSource)
public:
    explicit DBChart(QWidget* parent = nullptr);

    void setSeries(DataSource* source, const QString& valueField, const QString& labelField);
    DataSource* dataSource() const { return m_source; }

    const PieSettings& settings() const { return m_settings; }
    void setSettings(const PieSettings& settings);
    bool threeD() const { return m_settings.threeD; }
    void setThreeD(bool on);

    // Empties the pie and reads it again from every row of the dataset, first to last.
    void refreshData();
    const QVector<PieSlice>& slices() const { return m_slices; }

    // The chart alone, one page on the default printer, without a dialog.
    void print();
    // The chart alone on one page of printer, scaled to the page within margins.
    void print(QPrinter& printer);
    // The chart at its on-screen size on a white background, written as a BMP to path exactly.
    void saveBitmap(const QString& path);
    QImage image() const;

    // Where a chart of size lands on a page: 15 % margins on each side, then narrowed on one
    // axis to keep the chart's width-to-height ratio, centred.
    static QRectF printRect(const QRectF& page, const QSizeF& size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<DataSource> m_source;
    QString m_valueField;
    QString m_labelField;
    PieSettings m_settings;
    QVector<PieSlice> m_slices;
    bool m_reading = false;
};
