#include <QtTest>

#include "toolkit/chart/PieGeometry.h"

namespace {

QVector<PieSlice> pie(const QVariantList& values, const QStringList& labels = {})
{
    QVector<PieSlice> slices;
    for (int i = 0; i < values.size(); ++i)
        slices.append({values[i], labels.value(i)});
    return slices;
}

QStringList marks(const QVector<PieSliceShape>& shapes)
{
    QStringList texts;
    for (const PieSliceShape& s : shapes)
        texts.append(s.markText);
    return texts;
}

} // namespace

class TestPieGeometry : public QObject
{
    Q_OBJECT

private slots:
    void formatNumber_data();
    void formatNumber();
    void percentagesInMarks_data();
    void percentagesInMarks();
    void anglesCoverTheCircleInRowOrder();
    void nothingToShareDrawsNothing();
    void emptyValueKeepsItsPlaceUndrawn();
    void layoutKeepsMarksAndPieInside_data();
    void layoutKeepsMarksAndPieInside();
    void aZeroBesideOthersKeepsItsMark();
    void depthIsTheStatedShareOfTheChart();
    void marksOfAShortWideChartStayInside();
};

void TestPieGeometry::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole number drops the point") << 75.0 << "##0.# %" << "75 %";
    QTest::newRow("one decimal") << 100.0 / 3 << "##0.# %" << "33.3 %";
    QTest::newRow("two decimals rounded") << 200.0 / 3 << "##0.## %" << "66.67 %";
    QTest::newRow("trailing zero dropped") << 12.5 << "##0.## %" << "12.5 %";
    QTest::newRow("rounds up to a whole") << 99.96 << "##0.# %" << "100 %";
    QTest::newRow("below one keeps its zero") << 0.25 << "##0.## %" << "0.25 %";
    QTest::newRow("required decimals") << 5.0 << "0.00" << "5.00";
    QTest::newRow("negative") << -2.5 << "##0.#" << "-2.5";
    QTest::newRow("prefix and suffix kept") << 7.0 << "(#0)" << "(7)";
}

void TestPieGeometry::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QCOMPARE(PieGeometry::formatNumber(value, pattern), text);
}

void TestPieGeometry::percentagesInMarks_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("30 and 10") << QVariantList{30, 10} << QStringList{"Ann", "Bob"} << "##0.# %"
                               << QStringList{"Ann 75 %", "Bob 25 %"};
    QTest::newRow("three ones") << QVariantList{1, 1, 1} << QStringList{"A", "B", "C"} << "##0.# %"
                                << QStringList{"A 33.3 %", "B 33.3 %", "C 33.3 %"};
    QTest::newRow("2 and 1, two decimals") << QVariantList{2, 1} << QStringList{"Pilot", "Review"} << "##0.## %"
                                           << QStringList{"Pilot 66.67 %", "Review 33.33 %"};
    QTest::newRow("negative counts by its size") << QVariantList{-30, 10} << QStringList{"A", "B"} << "##0.# %"
                                                 << QStringList{"A 75 %", "B 25 %"};
    QTest::newRow("empty label shows the value") << QVariantList{3, 1} << QStringList{"", "B"} << "##0.# %"
                                                 << QStringList{"3 75 %", "B 25 %"};
    QTest::newRow("no format: label alone") << QVariantList{3, 1} << QStringList{"A", ""} << ""
                                            << QStringList{"A", "1"};
}

void TestPieGeometry::percentagesInMarks()
{
    QFETCH(QVariantList, values);
    QFETCH(QStringList, labels);
    QFETCH(QString, format);
    QFETCH(QStringList, expected);
    PieSettings settings;
    settings.percentFormat = format;
    QCOMPARE(marks(PieGeometry::slices(settings, pie(values, labels))), expected);
}

void TestPieGeometry::anglesCoverTheCircleInRowOrder()
{
    const auto shapes = PieGeometry::slices(PieSettings(), pie({30, 10, 20}));
    QCOMPARE(shapes[0].startAngle, 0.0);
    QCOMPARE(shapes[0].spanAngle, 180.0);
    QCOMPARE(shapes[1].startAngle, 180.0);
    QCOMPARE(shapes[2].startAngle, 240.0);
    QCOMPARE(shapes[2].startAngle + shapes[2].spanAngle, 360.0);
    QVERIFY(shapes[0].color != shapes[1].color && shapes[1].color != shapes[2].color);
}

void TestPieGeometry::nothingToShareDrawsNothing()
{
    PieSettings settings;
    settings.title = QStringLiteral("");
    const QVector<PieSlice> zeros = pie({0, 0, QVariant()}, {"A", "B", "C"});
    for (const PieSliceShape& s : PieGeometry::slices(settings, zeros)) {
        QVERIFY(!s.drawn);
        QVERIFY(!s.markText.contains(u"nan"));
    }
    const PieLayout layout = PieGeometry::layout(QRectF(0, 0, 300, 300), settings, zeros);
    QVERIFY(layout.pieRect.isEmpty());
    QVERIFY(layout.marks.isEmpty());
}

void TestPieGeometry::emptyValueKeepsItsPlaceUndrawn()
{
    const auto shapes = PieGeometry::slices(PieSettings(), pie({10, QVariant(), 30}, {"A", "B", "C"}));
    QCOMPARE(shapes.size(), 3);
    QVERIFY(!shapes[1].drawn);
    QVERIFY(shapes[1].markText.isEmpty());
    QCOMPARE(shapes[2].markText, QStringLiteral("C 75 %"));
    // The third row keeps the third colour of the palette.
    QCOMPARE(shapes[2].color, PieGeometry::paletteColor(2));
}

void TestPieGeometry::layoutKeepsMarksAndPieInside_data()
{
    QTest::addColumn<bool>("threeD");
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("legend");
    QTest::newRow("flat") << false << 0 << false;
    QTest::newRow("3D, 40 %") << true << 40 << false;
    QTest::newRow("3D with legend") << true << 15 << true;
}

void TestPieGeometry::layoutKeepsMarksAndPieInside()
{
    QFETCH(bool, threeD);
    QFETCH(int, depth);
    QFETCH(bool, legend);
    PieSettings settings;
    settings.threeD = threeD;
    settings.depthPercent = depth;
    settings.legend = legend;
    settings.title = QStringLiteral("");
    settings.foot = QStringLiteral("Persons Contrubution");
    const QRectF chart(0, 0, 352, 374);
    const PieLayout layout = PieGeometry::layout(chart, settings, pie({30, 10, 5, 1}, {"Ann", "Bob", "Cecil", "Dora"}));
    QCOMPARE(layout.depth > 0, threeD);
    QVERIFY(chart.contains(layout.pieRect.adjusted(0, 0, 0, layout.depth)));
    QVERIFY(layout.pieRect.bottom() + layout.depth <= layout.footRect.top());
    QCOMPARE(threeD, layout.pieRect.height() < layout.pieRect.width());
    QCOMPARE(layout.marks.size(), 4);
    for (const PieMark& mark : layout.marks)
        QVERIFY2(chart.contains(mark.box), qPrintable(layout.slices[mark.slice].markText));
    if (legend)
        QVERIFY(!layout.legendRect.intersects(layout.pieRect));
}

void TestPieGeometry::aZeroBesideOthersKeepsItsMark()
{
    const auto shapes = PieGeometry::slices(PieSettings(), pie({10, 0, 30}, {"A", "B", "C"}));
    QVERIFY(shapes[1].drawn);
    QCOMPARE(shapes[1].spanAngle, 0.0);
    QCOMPARE(shapes[1].markText, QStringLiteral("B 0 %"));
    QCOMPARE(shapes[2].startAngle, shapes[1].startAngle);
    const PieLayout layout = PieGeometry::layout(QRectF(0, 0, 352, 374), PieSettings(), pie({10, 0, 30}, {"A", "B", "C"}));
    QCOMPARE(layout.marks.size(), 3);
}

void TestPieGeometry::depthIsTheStatedShareOfTheChart()
{
    // A report's chart: 178.1 x 40.5 mm at 96 dots an inch, 15 %.
    const QRectF report(0, 0, 673, 153);
    PieSettings settings;
    settings.depthPercent = 15;
    settings.percentFormat.clear();
    QCOMPARE(PieGeometry::layout(report, settings, pie({3, 1}, {"Ann", "Bob"})).depth, 0.15 * 153);
    // The project-subproject view's, 40 %, still leaves a pie to see.
    settings.depthPercent = 40;
    const QRectF view(0, 0, 400, 420);
    const PieLayout layout = PieGeometry::layout(view, settings, pie({3, 1}, {"Ann", "Bob"}));
    QVERIFY(layout.depth > 0.3 * 400);
    QVERIFY(layout.pieRect.height() > 20);
    QVERIFY(view.contains(layout.pieRect.adjusted(0, 0, 0, layout.depth)));
}

void TestPieGeometry::marksOfAShortWideChartStayInside()
{
    const QRectF report(0, 0, 673, 153);
    PieSettings settings;
    settings.percentFormat.clear();
    const PieLayout layout = PieGeometry::layout(report, settings,
                                                 pie({40, 2, 2, 2, 2, 2, 2}, {"Moira Campbell", "Ann Lee", "Bob Ray",
                                                                              "Cecil Day", "Dora Fox", "Ed Ray", "Flo Hart"}));
    QCOMPARE(layout.marks.size(), 7);
    for (const PieMark& mark : layout.marks)
        QVERIFY2(report.contains(mark.box), qPrintable(layout.slices[mark.slice].markText));
}

QTEST_MAIN(TestPieGeometry)
#include "tst_piegeometry.moc"
