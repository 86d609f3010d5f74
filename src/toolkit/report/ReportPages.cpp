#include "toolkit/report/ReportPages.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include <QDir>
#include <QTemporaryFile>

#include "toolkit/report/ReportProgram.h"

namespace {

// What a page and each of its primitives are written as; a primitive's clip box (when it has
// one) and its text follow it.
struct PageHead
{
    qint32 number;
    qint32 items;
    double width, height;
};

struct ItemHead
{
    double rect[4];
    double penWidth;
    qint32 flags;
    qint32 textLength;
    qint32 picture;  // the routine's index; -1: none
    qint32 pictureLength;
    quint16 font, color, fill;
    quint8 kind;
    quint8 clipped;
};

constexpr qint32 NoPicture = -1;

template<typename T>
void put(QByteArray& out, const T& value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template<typename T>
T take(const char*& in)
{
    T value;
    std::memcpy(&value, in, sizeof value);
    in += sizeof value;
    return value;
}

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

// The index of value in values, added when new. Reports use a handful of fonts, colours and
// picture routines.
template<typename T>
quint16 intern(std::vector<T>& values, const T& value)
{
    for (size_t i = values.size(); i-- > 0;)
        if (values[i] == value)
            return quint16(i);
    if (values.size() > std::numeric_limits<quint16>::max())
        fail(QStringLiteral("The report uses too many fonts, colours or charts."));
    values.push_back(value);
    return quint16(values.size() - 1);
}

} // namespace

class ReportPages::Store
{
public:
    size_t count() const { return m_offsets.size() - 1; }

    void append(const ReportPage& page)
    {
        if (!m_file.isOpen() && !m_file.open())
            fail(QStringLiteral("The report's pages cannot be kept in a temporary file: %1").arg(m_file.errorString()));
        m_buffer.clear();
        put(m_buffer, PageHead{page.number, qint32(page.items.size()), page.size.width(), page.size.height()});
        for (const ReportPrimitive& p : page.items)
            write(p);
        const qint64 end = m_offsets.back();
        if ((m_file.pos() != end && !m_file.seek(end)) || m_file.write(m_buffer) != m_buffer.size())
            fail(QStringLiteral("The report's pages cannot be written to a temporary file: %1").arg(m_file.errorString()));
        m_offsets.push_back(end + m_buffer.size());
    }

    ReportPage read(size_t index) const
    {
        if (index == m_cachedIndex)
            return m_cached;
        const qint64 length = m_offsets[index + 1] - m_offsets[index];
        if (!m_file.seek(m_offsets[index]))
            fail(QStringLiteral("The report's pages cannot be read back: %1").arg(m_file.errorString()));
        const QByteArray bytes = m_file.read(length);
        if (bytes.size() != length)
            fail(QStringLiteral("The report's pages cannot be read back: %1").arg(m_file.errorString()));
        const char* in = bytes.constData();
        const auto head = take<PageHead>(in);
        ReportPage page;
        page.number = head.number;
        page.size = QSizeF(head.width, head.height);
        page.items.resize(size_t(head.items));
        for (ReportPrimitive& p : page.items)
            p = readItem(in);
        m_cachedIndex = index;
        m_cached = page;
        return page;
    }

private:
    void write(const ReportPrimitive& p)
    {
        ItemHead head{};
        head.rect[0] = p.rect.x();
        head.rect[1] = p.rect.y();
        head.rect[2] = p.rect.width();
        head.rect[3] = p.rect.height();
        head.penWidth = p.penWidth;
        head.flags = p.flags;
        head.textLength = qint32(p.text.size());
        head.picture = NoPicture;
        if (p.picture) {
            head.picture = intern(m_routines, p.picture.routine);
            head.pictureLength = qint32(p.picture.data.size());
        }
        head.font = intern(m_fonts, p.font);
        head.color = intern(m_colors, p.color);
        head.fill = intern(m_colors, p.fill);
        head.kind = quint8(p.kind);
        head.clipped = p.clip != QRectF();
        put(m_buffer, head);
        if (head.clipped)
            for (const double v : {p.clip.x(), p.clip.y(), p.clip.width(), p.clip.height()})
                put(m_buffer, v);
        m_buffer.append(reinterpret_cast<const char*>(p.text.constData()), p.text.size() * qsizetype(sizeof(QChar)));
        if (p.picture)
            m_buffer.append(p.picture.data);
    }

    ReportPrimitive readItem(const char*& in) const
    {
        const auto head = take<ItemHead>(in);
        ReportPrimitive p;
        p.kind = ReportPrimitive::Kind(head.kind);
        p.rect = QRectF(head.rect[0], head.rect[1], head.rect[2], head.rect[3]);
        p.penWidth = head.penWidth;
        p.flags = head.flags;
        p.font = m_fonts[head.font];
        p.color = m_colors[head.color];
        p.fill = m_colors[head.fill];

        if (head.clipped) {
            const double x = take<double>(in), y = take<double>(in), w = take<double>(in), h = take<double>(in);
            p.clip = QRectF(x, y, w, h);
        }
        p.text = QString(reinterpret_cast<const QChar*>(in), head.textLength);
        in += head.textLength * qsizetype(sizeof(QChar));
        if (head.picture != NoPicture) {
            p.picture = ReportPicture(m_routines[size_t(head.picture)], QByteArray(in, head.pictureLength));
            in += head.pictureLength;
        }
        return p;
    }

    mutable QTemporaryFile m_file{QDir(QDir::tempPath()).filePath(reportProgram().filePrefix + QStringLiteral("-report-XXXXXX.pages"))};
    std::vector<qint64> m_offsets{0};  // where each page starts, and where the next would
    std::vector<QFont> m_fonts;
    std::vector<QColor> m_colors;
    std::vector<std::shared_ptr<const ReportPictureRoutine>> m_routines;
    QByteArray m_buffer;
    mutable size_t m_cachedIndex = std::numeric_limits<size_t>::max();
    mutable ReportPage m_cached;
};

ReportPages::ReportPages() : m_store(std::make_shared<Store>()) {}

void ReportPages::push_back(const ReportPage& page)
{
    if (m_count != m_store->count())
        throw std::logic_error("pages added to an older copy of a report's pages");
    m_store->append(page);
    ++m_count;
}

ReportPage ReportPages::read(size_t index) const
{
    if (index >= m_count)
        throw std::out_of_range("no such report page");
    return m_store->read(index);
}
