#include "toolkit/report/PdfUnicode.h"

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace {

// A file not of the shape Qt's writer gives: it is left as it is.
struct Unexpected
{
};

// The first capture of pattern in text, a number; each pattern is compiled once.
int number(const QByteArray& text, const char* pattern)
{
    static QHash<const char*, QRegularExpression> compiled;
    auto it = compiled.find(pattern);
    if (it == compiled.end())
        it = compiled.insert(pattern, QRegularExpression(QString::fromLatin1(pattern)));
    const QRegularExpressionMatch m = it->match(QString::fromLatin1(text));
    if (!m.hasMatch())
        throw Unexpected();
    return m.captured(1).toInt();
}

// Reads objects through the cross-reference table that Qt's writer puts at the end.
class PdfReader
{
public:
    explicit PdfReader(QFile& file) : m_file(file)
    {
        const qint64 size = m_file.size();
        const QByteArray tail = readAt(std::max<qint64>(0, size - 1024), 1024);
        const qsizetype start = tail.lastIndexOf("startxref");
        if (start < 0)
            throw Unexpected();
        m_xref = tail.mid(start + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
        readXref();
    }

    // The object's dictionary (or value), without its header and stream.
    QByteArray object(int num) const
    {
        const qint64 at = offset(num);
        for (qint64 chunk = 4096;; chunk *= 4) {
            const QByteArray text = readAt(at, chunk);
            const qsizetype body = text.indexOf("obj");
            const qsizetype end = endOf(text, body);
            if (body >= 0 && end >= 0)
                return text.mid(body + 3, end - body - 3);
            if (text.size() < chunk)
                throw Unexpected();
        }
    }

    QByteArray stream(int num) const
    {
        const QByteArray dict = object(num);
        static const QRegularExpression lengthRef(QStringLiteral("/Length\\s+(\\d+)\\s+0\\s+R"));
        const QRegularExpressionMatch ref = lengthRef.match(QString::fromLatin1(dict));
        const qint64 length = ref.hasMatch() ? object(ref.captured(1).toInt()).trimmed().toLongLong() : number(dict, "/Length\\s+(\\d+)");
        const QByteArray head = readAt(offset(num), dict.size() + 64);
        qsizetype data = head.indexOf("stream", head.indexOf("obj") + 3 + dict.size() - 1);
        if (data < 0)
            throw Unexpected();
        data += 6;
        if (head.mid(data, 2) == "\r\n")
            data += 2;
        else if (head.mid(data, 1) == "\n")
            ++data;
        QByteArray bytes = readAt(offset(num) + data, length);
        if (bytes.size() != length)
            throw Unexpected();
        if (dict.contains("/FlateDecode")) {
            // qUncompress wants the size ahead; it is a first guess that grows as needed.
            const quint32 guess = quint32(std::min<qint64>(length * 8 + 64, 1 << 30));
            QByteArray framed(4, '\0');
            for (int i = 0; i < 4; ++i)
                framed[i] = char(guess >> (24 - 8 * i));
            bytes = qUncompress(framed + bytes);
            if (bytes.isEmpty())
                throw Unexpected();
        }
        return bytes;
    }

    // The page objects in order.
    std::vector<int> pages() const
    {
        std::vector<int> found;
        addPages(number(object(number(trailer(), "/Root\\s+(\\d+)\\s+0\\s+R")), "/Pages\\s+(\\d+)\\s+0\\s+R"), found);
        return found;
    }

    const QByteArray& trailer() const { return m_trailer; }
    qint64 xref() const { return m_xref; }
    int objectCount() const { return int(m_offsets.size()); }

private:
    void readXref()
    {
        qint64 at = m_xref;
        QByteArray line = readLine(at);
        if (line.trimmed() != "xref")
            throw Unexpected();
        for (;;) {
            line = readLine(at).trimmed();
            if (line.startsWith("trailer")) {
                m_trailer = readAt(at, 1024);
                return;
            }
            const QList<QByteArray> range = line.split(' ');
            if (range.size() != 2)
                throw Unexpected();
            const int first = range[0].toInt();
            const int count = range[1].toInt();
            const QByteArray entries = readAt(at, qint64(count) * 20);
            if (entries.size() != qsizetype(count) * 20)
                throw Unexpected();
            at += entries.size();
            if (m_offsets.size() < size_t(first + count))
                m_offsets.resize(size_t(first + count), -1);
            for (int i = 0; i < count; ++i) {
                const char* entry = entries.constData() + qsizetype(i) * 20;
                m_offsets[size_t(first + i)] = entry[17] == 'n' ? QByteArray(entry, 10).toLongLong() : -1;
            }
        }
    }

    void addPages(int node, std::vector<int>& found) const
    {
        const QByteArray text = object(node);
        static const QRegularExpression pagesNode(QStringLiteral("/Type\\s*/Pages\\b"));
        if (!pagesNode.match(QString::fromLatin1(text)).hasMatch()) {
            found.push_back(node);
            return;
        }
        const qsizetype kids = text.indexOf("/Kids");
        const qsizetype open = text.indexOf('[', kids), close = text.indexOf(']', open);
        if (kids < 0 || open < 0 || close < 0)
            throw Unexpected();
        static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
        for (const QRegularExpressionMatch& m : ref.globalMatch(QString::fromLatin1(text.mid(open, close - open))))
            addPages(m.captured(1).toInt(), found);
    }

    static qsizetype endOf(const QByteArray& text, qsizetype body)
    {
        if (body < 0)
            return -1;
        const qsizetype endobj = text.indexOf("endobj", body);
        const qsizetype stream = text.indexOf("stream", body);
        if (stream >= 0 && (endobj < 0 || stream < endobj))
            return stream;
        return endobj;
    }

    qint64 offset(int num) const
    {
        if (num < 0 || size_t(num) >= m_offsets.size() || m_offsets[size_t(num)] < 0)
            throw Unexpected();
        return m_offsets[size_t(num)];
    }

    QByteArray readAt(qint64 at, qint64 length) const
    {
        if (!m_file.seek(at))
            throw Unexpected();
        return m_file.read(length);
    }

    QByteArray readLine(qint64& at) const
    {
        if (!m_file.seek(at))
            throw Unexpected();
        const QByteArray line = m_file.readLine(256);
        at += line.size();
        return line;
    }

    QFile& m_file;
    qint64 m_xref = 0;
    std::vector<qint64> m_offsets;
    QByteArray m_trailer;
};

// A Type0 font of the file: its ToUnicode stream and the glyphs it shows without a character.
struct Font
{
    int toUnicode = -1;
    std::set<int> unmapped;
};

Font readFont(const PdfReader& pdf, int num)
{
    Font font;
    const QByteArray text = pdf.object(num);
    if (!text.contains("/Type0") || !text.contains("/ToUnicode"))
        return font;
    font.toUnicode = number(text, "/ToUnicode\\s+(\\d+)\\s+0\\s+R");
    const QByteArray descendant = pdf.object(number(text, "/DescendantFonts\\s*\\[\\s*(\\d+)\\s+0\\s+R"));
    const QByteArray descriptor = pdf.object(number(descendant, "/FontDescriptor\\s+(\\d+)\\s+0\\s+R"));
    if (!descriptor.contains("/CIDSet"))
        return font;
    // The glyphs the subset holds, one bit each from the first.
    const QByteArray present = pdf.stream(number(descriptor, "/CIDSet\\s+(\\d+)\\s+0\\s+R"));
    // Each line of a bfrange block starts with its first and last glyph, of a bfchar with its glyph.
    std::set<int> mapped;
    static const QRegularExpression range(QStringLiteral("^\\s*<([0-9A-Fa-f]{4})>\\s*<([0-9A-Fa-f]{4})>"));
    static const QRegularExpression single(QStringLiteral("^\\s*<([0-9A-Fa-f]{4})>"));
    const QRegularExpression* block = nullptr;
    for (const QByteArray& line : pdf.stream(font.toUnicode).split('\n')) {
        if (line.contains("beginbfrange") || line.contains("beginbfchar")) {
            block = line.contains("range") ? &range : &single;
            continue;
        }
        if (line.contains("endbf")) {
            block = nullptr;
            continue;
        }
        const QRegularExpressionMatch m = block ? block->match(QString::fromLatin1(line)) : QRegularExpressionMatch();
        if (!m.hasMatch())
            continue;
        const int first = m.captured(1).toInt(nullptr, 16);
        const int last = block == &range ? m.captured(2).toInt(nullptr, 16) : first;
        for (int g = first; g <= last; ++g)
            mapped.insert(g);
    }
    for (int g = 1; g < present.size() * 8; ++g)
        if ((quint8(present[g / 8]) >> (7 - g % 8)) & 1 && !mapped.count(g))
            font.unmapped.insert(g);
    return font;
}

// The fonts a page names in its resources: name to object.
std::map<QString, int> pageFonts(const PdfReader& pdf, const QByteArray& page)
{
    static const QRegularExpression resourcesRef(QStringLiteral("/Resources\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression fontDict(QStringLiteral("/Font\\s*<<(.*?)>>"), QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch ref = resourcesRef.match(QString::fromLatin1(page));
    const QString resources = QString::fromLatin1(ref.hasMatch() ? pdf.object(ref.captured(1).toInt()) : page);
    std::map<QString, int> fonts;
    const QRegularExpressionMatch dict = fontDict.match(resources);
    static const QRegularExpression named(QStringLiteral("/(\\S+?)\\s+(\\d+)\\s+0\\s+R"));
    if (dict.hasMatch())
        for (const QRegularExpressionMatch& m : named.globalMatch(dict.captured(1)))
            fonts[m.captured(1)] = m.captured(2).toInt();
    return fonts;
}

using Glyph = std::pair<int, int>;  // font object, glyph

// The glyphs without a character that a page's content shows, in order. Qt's writer selects a
// font with Tf and shows glyphs as hex strings with Tj; the second stroke of a synthesized bold
// it marks as standing for no text.
std::vector<Glyph> unmappedShown(const QByteArray& content, const std::map<QString, int>& names,
                                 std::map<int, Font>& fonts)
{
    static const QRegularExpression op(QStringLiteral("/(\\S+)\\s+[-+\\d.]+\\s+Tf|<([0-9A-Fa-f]*)>\\s*Tj"
                                                      "|(/ActualText\\s*<>\\s*>>\\s*BDC)|\\b(EMC)\\b"));
    std::vector<Glyph> shown;
    const Font* font = nullptr;
    int fontNum = -1;
    bool noText = false;
    for (const QRegularExpressionMatch& m : op.globalMatch(QString::fromLatin1(content))) {
        if (m.capturedLength(3) || m.capturedLength(4)) {
            noText = m.capturedLength(3) > 0;
            continue;
        }
        if (noText)
            continue;
        if (!m.captured(1).isEmpty()) {
            const auto it = names.find(m.captured(1));
            fontNum = it == names.end() ? -1 : it->second;
            font = fontNum < 0 ? nullptr : &fonts[fontNum];
            continue;
        }
        const QString hex = m.captured(2);
        for (qsizetype i = 0; font && i + 4 <= hex.size(); i += 4) {
            const int glyph = hex.mid(i, 4).toInt(nullptr, 16);
            if (font->unmapped.count(glyph))
                shown.push_back({fontNum, glyph});
        }
    }
    return shown;
}

std::vector<char32_t> beyondBmp(const QStringList& texts)
{
    std::vector<char32_t> found;
    for (const QString& text : texts)
        for (const char32_t c : text.toUcs4())
            if (c > 0xFFFF)
                found.push_back(c);
    return found;
}

QByteArray utf16Hex(char32_t c)
{
    const char16_t high = char16_t(0xD800 + ((c - 0x10000) >> 10)), low = char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    return QByteArray::number(high, 16).toUpper() + QByteArray::number(low, 16).toUpper();
}

// The font's ToUnicode stream with entries for glyphs, a hundred to a block as a CMap allows.
QByteArray completedCmap(const QByteArray& cmap, const std::map<int, char32_t>& glyphs)
{
    QByteArray added;
    int inBlock = 0;
    QByteArray block;
    const auto flush = [&] {
        if (inBlock)
            added += QByteArray::number(inBlock) + " beginbfchar\n" + block + "endbfchar\n";
        block.clear();
        inBlock = 0;
    };
    for (const auto& [glyph, c] : glyphs) {
        block += "<" + QByteArray::number(glyph, 16).rightJustified(4, '0').toUpper() + "> <" + utf16Hex(c) + ">\n";
        if (++inBlock == 100)
            flush();
    }
    flush();
    const qsizetype end = cmap.lastIndexOf("endcmap");
    if (end < 0)
        throw Unexpected();
    return cmap.left(end) + added + cmap.mid(end);
}

} // namespace

void completeToUnicode(QFile& pdf, const PageTexts& textsOfPage)
{
    QByteArray update;
    try {
        const PdfReader reader(pdf);
        std::map<int, Font> fonts;
        std::map<Glyph, char32_t> found;
        std::set<Glyph> unsure;
        const std::vector<int> pages = reader.pages();
        for (size_t i = 0; i < pages.size(); ++i) {
            const QByteArray page = reader.object(pages[i]);
            const std::map<QString, int> names = pageFonts(reader, page);
            bool any = false;
            for (const auto& [name, num] : names) {
                if (!fonts.count(num))
                    fonts[num] = readFont(reader, num);
                any = any || !fonts[num].unmapped.empty();
            }
            if (!any)
                continue;
            const std::vector<Glyph> shown =
                unmappedShown(reader.stream(number(page, "/Contents\\s+(\\d+)\\s+0\\s+R")), names, fonts);
            if (shown.empty())
                continue;
            const std::vector<char32_t> chars = beyondBmp(textsOfPage(int(i)));
            if (chars.size() != shown.size())
                continue;
            for (size_t k = 0; k < shown.size(); ++k) {
                const auto [it, added] = found.insert({shown[k], chars[k]});
                if (!added && it->second != chars[k])
                    unsure.insert(shown[k]);
            }
        }
        std::map<int, std::map<int, char32_t>> byFont;
        for (const auto& [glyph, c] : found)
            if (!unsure.count(glyph))
                byFont[glyph.first][glyph.second] = c;
        if (byFont.empty())
            return;

        const qint64 base = pdf.size();
        std::vector<std::pair<int, qint64>> written;
        update = "\n";
        for (const auto& [font, glyphs] : byFont) {
            const int num = fonts[font].toUnicode;
            const QByteArray cmap = completedCmap(reader.stream(num), glyphs);
            written.push_back({num, base + update.size()});
            update += QByteArray::number(num) + " 0 obj\n<< /Length " + QByteArray::number(cmap.size()) + " >>\nstream\n" + cmap +
                      "\nendstream\nendobj\n";
        }
        const qint64 xref = base + update.size();
        update += "xref\n";
        for (const auto& [num, at] : written)
            update += QByteArray::number(num) + " 1\n" + QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
        const QByteArray& trailer = reader.trailer();
        update += "trailer\n<< /Size " + QByteArray::number(reader.objectCount()) + " /Root " +
                  QByteArray::number(number(trailer, "/Root\\s+(\\d+)\\s+0\\s+R")) + " 0 R";
        if (trailer.contains("/Info"))
            update += " /Info " + QByteArray::number(number(trailer, "/Info\\s+(\\d+)\\s+0\\s+R")) + " 0 R";
        update += " /Prev " + QByteArray::number(reader.xref()) + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    } catch (const Unexpected&) {
        return;
    }
    if (!pdf.seek(pdf.size()) || pdf.write(update) != update.size() || !pdf.flush())
        throw std::runtime_error(QStringLiteral("The PDF's text cannot be completed: %1").arg(pdf.errorString()).toStdString());
}
