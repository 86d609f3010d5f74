#include <QImage>
#include <QPainter>
#include <QTest>

#include "toolkit/report/ReportPages.h"

// Pages kept out of memory must come back exactly as they were made.
class tst_ReportPages : public QObject
{
    Q_OBJECT

private:
    // One routine for every page's picture; a page's data is the red of its fill.
    static std::shared_ptr<const ReportPictureRoutine> fillRed()
    {
        static const auto routine = std::make_shared<const ReportPictureRoutine>(
            [](QPainter& painter, const QRectF& rect, const QByteArray& data) { painter.fillRect(rect, QColor(quint8(data.at(0)), 0, 0)); });
        return routine;
    }

    static ReportPage sample(int number)
    {
        ReportPage page;
        page.number = number;
        page.size = QSizeF(595.28, 841.89);
        ReportPrimitive text;
        text.rect = QRectF(35.43307, 10.1 * number, 120.5, 14.25);
        text.text = QStringLiteral("Éclair 株式会社 🙂 page %1").arg(number);
        text.font = QFont(QStringLiteral("Arial"), 10, QFont::Bold);
        text.color = QColor(12, 34, 56);
        text.flags = Qt::AlignRight | Qt::TextWordWrap;
        text.clip = QRectF(35.43307, 10.1 * number, 60.25, 14.25);
        ReportPrimitive empty;
        empty.kind = ReportPrimitive::Kind::Text;
        empty.rect = QRectF(1, 2, 3, 4);
        ReportPrimitive fill;
        fill.kind = ReportPrimitive::Kind::Fill;
        fill.rect = QRectF(0, 0, 595.28, 20);
        fill.fill = QColor(Qt::lightGray);
        fill.penWidth = 0.75;
        ReportPrimitive picture;
        picture.kind = ReportPrimitive::Kind::Picture;
        picture.rect = QRectF(10, 10, 4, 4);
        picture.picture = ReportPicture(fillRed(), QByteArray(1, char(number)));
        page.items = {text, empty, fill, picture};
        return page;
    }

    static void compare(const ReportPage& got, const ReportPage& expected)
    {
        QCOMPARE(got.number, expected.number);
        QCOMPARE(got.size, expected.size);
        QCOMPARE(got.items.size(), expected.items.size());
        for (size_t i = 0; i < got.items.size(); ++i) {
            const ReportPrimitive& g = got.items[i];
            const ReportPrimitive& e = expected.items[i];
            QCOMPARE(g.kind, e.kind);
            QCOMPARE(g.rect, e.rect);
            QCOMPARE(g.text, e.text);
            QCOMPARE(g.font, e.font);
            QCOMPARE(g.color, e.color);
            QCOMPARE(g.fill, e.fill);
            QCOMPARE(g.penWidth, e.penWidth);
            QCOMPARE(g.flags, e.flags);
            QCOMPARE(g.clip, e.clip);
            QCOMPARE(bool(g.picture), bool(e.picture));
            QCOMPARE(g.picture.data, e.picture.data);
        }
    }

private slots:
    void everyPageComesBackAsItWasMade()
    {
        ReportPages pages;
        QVERIFY(pages.empty());
        for (int n = 1; n <= 300; ++n)
            pages.push_back(sample(n));
        QCOMPARE(pages.size(), size_t(300));
        // Out of order and repeated, as paging back and forth and a search read them.
        for (const int n : {300, 1, 150, 150, 2, 299})
            compare(pages.read(size_t(n - 1)), sample(n));
        // A page read is the caller's own: reading others leaves it whole.
        const ReportPage first = pages.read(0);
        for (size_t i = 1; i < 5; ++i)
            pages.read(i);
        compare(first, sample(1));
        int seen = 0;
        for (const ReportPage& page : pages)
            QCOMPARE(page.number, ++seen);
        QCOMPARE(seen, 300);

        // A picture still draws what it drew when its band printed.
        QImage image(4, 4, QImage::Format_RGB32);
        QPainter painter(&image);
        pages.read(41).items[3].picture(painter, QRectF(0, 0, 4, 4));
        painter.end();
        QCOMPARE(image.pixelColor(1, 1), QColor(42, 0, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, pages.read(300));
    }

    void aCopyKeepsThePagesMadeBeforeIt()
    {
        ReportPages pages;
        pages.push_back(sample(1));
        const ReportPages copy = pages;
        pages.push_back(sample(2));
        QCOMPARE(copy.size(), size_t(1));
        QCOMPARE(pages.size(), size_t(2));
        compare(copy.read(0), sample(1));
        compare(pages.read(1), sample(2));
        ReportPages older = copy;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, older.push_back(sample(3)));
    }
};

QTEST_MAIN(tst_ReportPages)
#include "tst_reportpages.moc"
