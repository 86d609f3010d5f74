#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;
class ReportCursor;

// A banded report as plain data: page settings, the report's text style, the bands and the
// elements on them. Positions and sizes are in millimetres from a band's top-left corner;
// the layout turns them into points. Nothing here throws. GUI thread only (fonts).

// Draws a picture (a chart) fitted into a rectangle from the data it was given when its band
// printed; the painter's unit is a screen pixel (1/96 inch) of the page, whatever the device.
using ReportPictureRoutine = std::function<void(QPainter&, const QRectF&, const QByteArray& data)>;

// A picture on a page: the routine, one for every page an element prints on, and the page's
// own data, which is kept with the page (in a file for a long report), not in memory.
struct ReportPicture
{
    std::shared_ptr<const ReportPictureRoutine> routine;
    QByteArray data;

    ReportPicture() = default;
    ReportPicture(std::shared_ptr<const ReportPictureRoutine> r, const QByteArray& d) : routine(std::move(r)), data(d) {}
    // A picture that needs no data of its own.
    explicit ReportPicture(const std::function<void(QPainter&, const QRectF&)>& draw)
        : routine(std::make_shared<const ReportPictureRoutine>([draw](QPainter& p, const QRectF& r, const QByteArray&) { draw(p, r); }))
    {
    }

    explicit operator bool() const { return routine && *routine; }
    void operator()(QPainter& painter, const QRectF& rect) const { (*routine)(painter, rect, data); }
};
// Called when the band holding a picture prints: reads what the picture shows at that moment,
// a chart from the rows of the cursor it names (null for a picture that names none).
using ReportPictureCapture = std::function<ReportPicture(const ReportCursor* rows)>;

struct TextStyle
{
    QFont font;
    QColor color = Qt::black;
};

// A report font: family, point size, bold, colour. Text keeps its widths on every device.
TextStyle reportStyle(const QString& family, qreal pointSize, bool bold = false, const QColor& color = Qt::black);

// Border lines on the named sides; widths are screen pixels (1/96 inch).
struct BandFrame
{
    bool left = false, top = false, right = false, bottom = false;
    qreal width = 1;

    static BandFrame all(qreal width = 1) { return {true, true, true, true, width}; }
    bool any() const { return left || top || right || bottom; }
};

struct ReportElement
{
    enum class Kind { Label, DataField, DateTime, PageNumber, DetailNumber, Line, Rectangle, Memo, Picture };

    Kind kind = Kind::Label;
    QString name;
    // Left, top, width, height in mm. A text element of zero width fits its text; centred, its
    // left is the centre.
    QRectF box;
    QString text;              // a label's or a memo's text
    QString parameter;         // a memo's: the run's value so named replaces its text
    QString source, field;     // a data field: the cursor's name and the field's; a chart: the cursor's
    std::optional<TextStyle> style;  // none: the band's, else the report's
    QColor background;         // invalid: transparent
    Qt::Alignment alignment = Qt::AlignLeft;
    BandFrame frame;           // a memo's border
    ReportPictureCapture capture;

    static ReportElement label(const QString& text, qreal left, qreal top);
    static ReportElement dataField(const QString& source, const QString& field, qreal left, qreal top);
    static ReportElement system(Kind kind, const QRectF& box);
    static ReportElement line(const QRectF& box);
    static ReportElement rectangle(const QRectF& box);
    static ReportElement memo(const QString& name, const QRectF& box);
    static ReportElement picture(const QString& name, const QRectF& box, const std::function<ReportPicture()>& capture);
    // A picture drawn from all rows of the cursor named source, read without moving it.
    static ReportElement chart(const QString& name, const QRectF& box, const QString& source,
                               const std::function<ReportPicture(const ReportCursor& rows)>& capture);

    ReportElement& styled(const TextStyle& s) { style = s; return *this; }
    ReportElement& on(const QColor& colour) { background = colour; return *this; }
};

struct ReportBand
{
    qreal height = 0;  // mm; a growing memo makes the printed band taller
    QColor color = Qt::white;
    BandFrame frame;
    std::optional<TextStyle> style;
    std::vector<ReportElement> elements;

    ReportBand& add(const ReportElement& element) { elements.push_back(element); return *this; }
};

// How a sub-detail's rows belong to its master's current row: their detailField holds the
// master's masterField, compared as the cursors' texts.
struct SubDetailLink
{
    QString masterField, detailField;
};

// Tied to a master (the report's main cursor or another sub-detail) and walked each time the
// master's band has printed: header, a band per row (each followed by the children), footer.
// A linked sub-detail prints only the rows that belong to the master's row and skips others,
// so its cursor may hold more; an unlinked one prints every row its cursor has.
struct SubDetail
{
    QString source;
    std::optional<SubDetailLink> link;
    bool printIfEmpty = false;
    std::optional<ReportBand> header, footer;
    ReportBand band;
    std::vector<SubDetail> children;
};

struct PageSettings
{
    QSizeF paper{215.9, 279.4};  // US Letter, portrait
    qreal left = 10, top = 10, right = 10, bottom = 10;
};

struct ReportDefinition
{
    QString caption;
    PageSettings page;
    TextStyle style = reportStyle(QStringLiteral("Arial"), 10);
    // The cursor the detail band prints once per row of; empty: the detail prints once.
    QString mainSource;
    // An empty main cursor still prints the detail band once with empty fields.
    bool printIfEmpty = true;
    // detailHeader prints once, before the first detail row and on that row's page.
    std::optional<ReportBand> pageHeader, title, detailHeader, detail, summary, pageFooter;
    std::vector<SubDetail> subDetails;

    // The element so named on any band, or nullptr.
    ReportElement* element(const QString& name);
};

// Values a run gives a definition's memos by name, so a definition stays as it was made.
using ReportParameters = QHash<QString, QString>;
