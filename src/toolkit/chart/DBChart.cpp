#include "toolkit/chart/DBChart.h"

#include <stdexcept>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScopedValueRollback>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "toolkit/chart/PiePainter.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// The wait cursor while the rows are read, put back on every way out.
struct WaitCursor
{
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

DBChart::DBChart(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setAutoFillBackground(true);
}

void DBChart::setSeries(DataSource* source, const QString& valueField, const QString& labelField)
{
    m_source = source;
    m_valueField = valueField;
    m_labelField = labelField;
}

void DBChart::setSettings(const PieSettings& settings)
{
    m_settings = settings;
    update();
}

void DBChart::setThreeD(bool on)
{
    m_settings.threeD = on;
    update();
}

void DBChart::refreshData()
{
    Dataset* dataset = m_source ? m_source->dataset() : nullptr;
    if (m_reading || !dataset || !dataset->isActive())
        return;
    QScopedValueRollback reading(m_reading, true);
    WaitCursor wait;
    m_slices.clear();
    const int rows = dataset->recordCount();
    m_slices.reserve(rows);
    for (int row = 0; row < rows; ++row)
        m_slices.append({dataset->valueAt(row, m_valueField), dataset->textAt(row, m_labelField)});
    update();
}

QImage DBChart::image() const
{
    QImage picture(size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    paintPie(painter, QRectF(QPointF(0, 0), QSizeF(size())), m_settings, m_slices);
    return picture;
}

void DBChart::saveBitmap(const QString& path)
{
    const QImage picture = image();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    if (!picture.save(&file, "BMP"))
        fail(QStringLiteral("Cannot write the picture to \"%1\". %2").arg(path, file.errorString()));
}

QRectF DBChart::printRect(const QRectF& page, const QSizeF& size)
{
    QRectF target = page.adjusted(page.width() * 0.15, page.height() * 0.15, -page.width() * 0.15, -page.height() * 0.15);
    if (size.isEmpty() || target.isEmpty())
        return target;
    const QSizeF fitted = size.scaled(target.size(), Qt::KeepAspectRatio);
    return QRectF(target.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

void DBChart::print()
{
    if (QPrinterInfo::defaultPrinter().isNull())
        fail(QStringLiteral("There is no default printer currently selected."));
    QPrinter printer(QPrinter::HighResolution);
    print(printer);
}

void DBChart::print(QPrinter& printer)
{
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer))
        fail(QStringLiteral("The chart cannot be printed: the printer \"%1\" is not ready.").arg(printer.printerName()));
    const QRectF target = printRect(QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size()), QSizeF(size()));
    painter.translate(target.topLeft());
    painter.scale(target.width() / width(), target.height() / height());
    paintPie(painter, QRectF(QPointF(0, 0), QSizeF(size())), m_settings, m_slices);
    painter.end();
}

void DBChart::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    paintPie(painter, QRectF(rect()), m_settings, m_slices);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}
