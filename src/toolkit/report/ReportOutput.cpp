#include "toolkit/report/ReportOutput.h"

#include <stdexcept>

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include "toolkit/report/ReportPainter.h"

namespace {

QPageSize pageSizeOf(const ReportPage& page)
{
    return QPageSize(page.size, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
}

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// Draws the pages on a device that has begun with the first page's size; each later page
// starts through newPage. Stops, returning false, when painted(pages painted) says so.
template<typename NewPage>
bool paintAll(QPainter& painter, const ReportPages& pages, size_t from, size_t to, int resolution,
              NewPage newPage, const std::function<bool(size_t)>& painted = {})
{
    for (size_t i = from; i < to; ++i) {
        const ReportPage page = pages.read(i);
        if (i > from)
            newPage(page);
        paintPage(painter, page, QRectF(QPointF(0, 0), page.size * resolution / 72.0));
        if (painted && !painted(i + 1 - from))
            return false;
    }
    return true;
}

} // namespace

bool exportPdf(const ReportPages& pages, const QString& path, const QString& title, const ExportProgress& progress)
{
    const QString name = QFileInfo(path).fileName();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(name, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Vornadel Lite"));
        writer.setResolution(600);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!pages.empty())
            writer.setPageSize(pageSizeOf(pages.read(0)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            fail(QStringLiteral("The file \"%1\" cannot be written.").arg(name));
        }
        const bool whole = paintAll(
            painter, pages, 0, pages.size(), writer.resolution(),
            [&](const ReportPage& page) {
                writer.setPageSize(pageSizeOf(page));
                writer.newPage();
            },
            [&](size_t written) { return !progress || progress(int(written), int(pages.size())); });
        painter.end();
        if (!whole) {
            file.cancelWriting();
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(name, file.errorString()));
    return true;
}

void printPages(const ReportPages& pages, QPrinter& printer, int from, int to)
{
    const int last = int(pages.size());
    if (from <= 0 || from > last)
        from = 1;
    if (to <= 0 || to > last)
        to = last;
    if (pages.empty() || from > to)
        return;
    printer.setFullPage(true);
    printer.setPageSize(pageSizeOf(pages.read(size_t(from - 1))));
    QPainter painter;
    if (!printer.isValid() || !painter.begin(&printer))
        fail(QStringLiteral("The printer \"%1\" cannot be used.").arg(printer.printerName()));
    paintAll(painter, pages, size_t(from - 1), size_t(to), printer.resolution(), [&](const ReportPage& page) {
        printer.setPageSize(pageSizeOf(page));
        if (!printer.newPage())
            fail(QStringLiteral("The printer \"%1\" stopped printing.").arg(printer.printerName()));
    });
    if (!painter.end())
        fail(QStringLiteral("The printer \"%1\" could not finish printing.").arg(printer.printerName()));
}
