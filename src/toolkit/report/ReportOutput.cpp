#include "toolkit/report/ReportOutput.h"

#include <stdexcept>

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryFile>

#include "toolkit/report/PdfUnicode.h"
#include "toolkit/report/ReportPainter.h"
#include "toolkit/report/ReportProgram.h"

namespace {

QPageSize pageSizeOf(const ReportPage& page)
{
    return QPageSize(page.size, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
}

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// A device that keeps the text of every text item painted on it, split by font as a PDF
// writer's engine receives them, and draws nothing.
class TextRecorder : public QPaintDevice
{
public:
    explicit TextRecorder(const QSizeF& points) : m_size((points * Resolution / 72.0).toSize()) {}

    QPaintEngine* paintEngine() const override { return &m_engine; }
    const QStringList& texts() const { return m_engine.texts; }

    static constexpr int Resolution = 600;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_size.width();
        case PdmHeight: return m_size.height();
        case PdmWidthMM: return qRound(m_size.width() * 25.4 / Resolution);
        case PdmHeightMM: return qRound(m_size.height() * 25.4 / Resolution);
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return Resolution;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    struct Engine : QPaintEngine
    {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts.append(item.text()); }
        Type type() const override { return QPaintEngine::User; }
        QStringList texts;
    };

    QSize m_size;
    mutable Engine m_engine;
};

// The texts paintPage draws for page, in order.
QStringList textsDrawn(const ReportPage& page)
{
    TextRecorder recorder(page.size);
    QPainter painter(&recorder);
    paintPage(painter, page, QRectF(QPointF(0, 0), page.size * TextRecorder::Resolution / 72.0));
    painter.end();
    return recorder.texts();
}

// Gives the file's characters beyond the BMP to its text, page i of the file being pages'
// first + i.
void completeText(QFile& file, const ReportPages& pages, size_t first)
{
    completeToUnicode(file, [&](int page) {
        const size_t index = first + size_t(page);
        return index < pages.size() ? textsDrawn(pages.read(index)) : QStringList();
    });
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
    // The writer's file is read back and completed before it takes the name.
    QTemporaryFile made(QDir(QDir::tempPath()).filePath(reportProgram().filePrefix + QStringLiteral("-export-XXXXXX.pdf")));
    if (!made.open())
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(name, made.errorString()));
    {
        QPdfWriter writer(&made);
        writer.setTitle(title);
        writer.setCreator(reportProgram().creator);
        writer.setResolution(600);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!pages.empty())
            writer.setPageSize(pageSizeOf(pages.read(0)));
        QPainter painter;
        if (!painter.begin(&writer))
            fail(QStringLiteral("The file \"%1\" cannot be written.").arg(name));
        const bool whole = paintAll(
            painter, pages, 0, pages.size(), writer.resolution(),
            [&](const ReportPage& page) {
                writer.setPageSize(pageSizeOf(page));
                writer.newPage();
            },
            [&](size_t written) { return !progress || progress(int(written), int(pages.size())); });
        painter.end();
        if (!whole)
            return false;
    }
    if (made.error() != QFileDevice::NoError || !made.flush())
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(name, made.errorString()));
    completeText(made, pages, 0);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("The file \"%1\" cannot be written: %2").arg(name, file.errorString()));
    made.seek(0);
    while (!made.atEnd()) {
        const QByteArray chunk = made.read(1 << 20);
        if (chunk.isEmpty() || file.write(chunk) != chunk.size())
            break;
    }
    if (!made.atEnd() || file.error() != QFileDevice::NoError || !file.commit())
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
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        QFile file(printer.outputFileName());
        if (!file.open(QIODevice::ReadWrite))
            fail(QStringLiteral("The file \"%1\" cannot be completed: %2").arg(printer.outputFileName(), file.errorString()));
        completeText(file, pages, size_t(from - 1));
    }
}
