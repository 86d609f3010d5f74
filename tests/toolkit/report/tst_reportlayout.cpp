#include <QPainter>
#include <QTest>

#include "ListCursor.h"
#include "toolkit/report/ReportLayout.h"

namespace {

struct CollectingSink : PageSink
{
    std::vector<ReportPage> pages;
    int bands = 0;
    int stopAfter = -1;  // bands; -1: never
    void addPage(ReportPage page) override { pages.push_back(std::move(page)); }
    bool keepGoing() override { return ++bands != stopAfter; }
};

ReportBand band(qreal height, const QString& text)
{
    ReportBand b;
    b.height = height;
    b.add(ReportElement::label(text, 1, 1));
    return b;
}

ReportBand fieldBand(qreal height, const QString& tag, const QString& source)
{
    ReportBand b = band(height, tag);
    b.add(ReportElement::dataField(source, QStringLiteral("Name"), 40, 1));
    return b;
}

QStringList texts(const ReportPage& page)
{
    QStringList out;
    for (const ReportPrimitive& p : page.items)
        if (p.kind == ReportPrimitive::Kind::Text)
            out.append(p.text);
    return out;
}

QStringList texts(const std::vector<ReportPage>& pages)
{
    QStringList out;
    for (const ReportPage& page : pages)
        out += texts(page);
    return out;
}

const ReportPrimitive* findText(const ReportPage& page, const QString& text)
{
    for (const ReportPrimitive& p : page.items)
        if (p.kind == ReportPrimitive::Kind::Text && p.text == text)
            return &p;
    return nullptr;
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT

private slots:
    void bandsPrintInOrderAndStackDownwards();
    void printIfEmpty_data();
    void printIfEmpty();
    void linkedDetailsPrintOnlyTheirMastersRows();
    void pagesBreakWithHeaderAndFooterOnEach();
    void detailNumberCountsMainRows();
    void memoGrowsItsBand();
    void memoShowsTheRunsParameter();
    void picturesCaptureWhenTheirBandPrints();
    void chartsReadEveryRowWithoutMovingTheCursor();
    void textsStayInTheirBoxesAndWrapWhatDoesNotFit();
    void wrappedLinesInATallerFallbackFontGetTheirHeight();
    void aHeaderNeverEndsAPageAlone();
    void aChartStaysWithItsLastRow();
    void stopsWhenTheSinkSaysSo();
};

void TestReportLayout::bandsPrintInOrderAndStackDownwards()
{
    ListCursor companies(namedRows({QStringLiteral("A"), QStringLiteral("B")}));
    ListCursor projects(linkedRows({{"p1", "A"}, {"p2", "A"}}));
    ReportDefinition def;
    def.mainSource = QStringLiteral("companies");
    def.pageHeader = band(10, QStringLiteral("PH"));
    def.title = band(20, QStringLiteral("T"));
    def.detailHeader = band(5, QStringLiteral("G"));
    def.detail = fieldBand(10, QStringLiteral("D"), QStringLiteral("companies"));
    SubDetail sub;
    sub.source = QStringLiteral("projects");
    sub.link = SubDetailLink{QStringLiteral("Name"), QStringLiteral("Master")};
    sub.header = band(5, QStringLiteral("SH"));
    sub.band = fieldBand(5, QStringLiteral("S"), QStringLiteral("projects"));
    sub.footer = band(5, QStringLiteral("SF"));
    def.subDetails.push_back(sub);
    def.summary = band(10, QStringLiteral("Sum"));
    def.pageFooter = band(10, QStringLiteral("PF"));

    CollectingSink sink;
    QCOMPARE(layoutReport(def, {{QStringLiteral("companies"), &companies}, {QStringLiteral("projects"), &projects}}, sink), 2);
    QCOMPARE(sink.pages.size(), size_t(1));
    // The detail header once; a sub-detail without rows and not printed if empty prints nothing.
    QCOMPARE(texts(sink.pages[0]), QStringList({"PH", "T", "G", "D", "A", "SH", "S", "p1", "S", "p2", "SF", "D", "B",
                                                "Sum", "PF"}));
    // Each band starts where the one before ended; the page footer sits on the bottom margin.
    const qreal top = mmToPoints(10) + mmToPoints(1);
    const QList<std::pair<QString, qreal>> expected = {
        {"PH", 0}, {"T", 10}, {"G", 30}, {"A", 35}, {"SH", 45}, {"p1", 50}, {"p2", 55}, {"SF", 60}, {"B", 65}, {"Sum", 75}};
    for (const auto& [text, mm] : expected)
        QCOMPARE(findText(sink.pages[0], text)->rect.top(), top + mmToPoints(mm));
    QCOMPARE(findText(sink.pages[0], QStringLiteral("PF"))->rect.top(), mmToPoints(279.4 - 10 - 10 + 1));
    QCOMPARE(companies.index(), 1);
    QVERIFY(companies.eof());
}

void TestReportLayout::printIfEmpty_data()
{
    QTest::addColumn<bool>("mainEmpty");
    QTest::addColumn<bool>("reportIfEmpty");
    QTest::addColumn<bool>("subIfEmpty");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("empty main, printed if empty") << true << true << false << QStringList({"T", "D", "Sum"});
    QTest::newRow("empty main, not printed if empty") << true << false << false << QStringList({"T", "Sum"});
    QTest::newRow("empty levels printed if empty")
        << false << true << true << QStringList({"T", "G", "D", "x", "SH", "S", "CH", "C", "CF", "SF", "Sum"});
    QTest::newRow("empty levels not printed if empty") << false << true << false << QStringList({"T", "G", "D", "x", "Sum"});
}

void TestReportLayout::printIfEmpty()
{
    QFETCH(bool, mainEmpty);
    QFETCH(bool, reportIfEmpty);
    QFETCH(bool, subIfEmpty);
    QFETCH(QStringList, printed);
    ListCursor main(mainEmpty ? QList<QVariantMap>() : namedRows({QStringLiteral("x")}));
    ListCursor empty;
    ReportDefinition def;
    def.mainSource = QStringLiteral("main");
    def.printIfEmpty = reportIfEmpty;
    def.title = band(5, QStringLiteral("T"));
    def.detailHeader = band(5, QStringLiteral("G"));
    def.detail = fieldBand(5, QStringLiteral("D"), QStringLiteral("main"));
    SubDetail child;
    child.source = QStringLiteral("empty");
    child.printIfEmpty = subIfEmpty;
    child.header = band(5, QStringLiteral("CH"));
    child.band = fieldBand(5, QStringLiteral("C"), QStringLiteral("empty"));
    child.footer = band(5, QStringLiteral("CF"));
    SubDetail sub = child;
    sub.header = band(5, QStringLiteral("SH"));
    sub.band = fieldBand(5, QStringLiteral("S"), QStringLiteral("empty"));
    sub.footer = band(5, QStringLiteral("SF"));
    sub.children.push_back(child);
    def.subDetails.push_back(sub);
    def.summary = band(5, QStringLiteral("Sum"));

    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("main"), &main}, {QStringLiteral("empty"), &empty}}, sink);
    QCOMPARE(texts(sink.pages), printed);
}

void TestReportLayout::linkedDetailsPrintOnlyTheirMastersRows()
{
    // The details hold the rows of every master, in no order of theirs.
    ListCursor companies(namedRows({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    ListCursor projects(linkedRows({{"p1", "A"}, {"q1", "B"}, {"p2", "A"}}));
    ListCursor tasks(linkedRows({{"t1", "p2"}, {"t2", "q1"}, {"t3", "p1"}, {"t4", "p2"}}));
    ReportDefinition def;
    def.mainSource = QStringLiteral("companies");
    def.detail = fieldBand(5, QStringLiteral("D"), QStringLiteral("companies"));
    SubDetail task;
    task.source = QStringLiteral("tasks");
    task.link = SubDetailLink{QStringLiteral("Name"), QStringLiteral("Master")};
    task.band = fieldBand(5, QStringLiteral("T"), QStringLiteral("tasks"));
    SubDetail project;
    project.source = QStringLiteral("projects");
    project.link = SubDetailLink{QStringLiteral("Name"), QStringLiteral("Master")};
    project.printIfEmpty = true;
    project.header = band(5, QStringLiteral("PH"));
    project.band = fieldBand(5, QStringLiteral("P"), QStringLiteral("projects"));
    project.children.push_back(task);
    def.subDetails.push_back(project);

    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("companies"), &companies}, {QStringLiteral("projects"), &projects},
                       {QStringLiteral("tasks"), &tasks}}, sink);
    // C has no project: its empty band shows none of another company's.
    QCOMPARE(texts(sink.pages).join(u' '),
             QStringLiteral("D A PH P p1 T t3 P p2 T t1 T t4 D B PH P q1 T t2 D C PH P"));
}

void TestReportLayout::pagesBreakWithHeaderAndFooterOnEach()
{
    QStringList names;
    for (int i = 1; i <= 40; ++i)
        names.append(QStringLiteral("row%1").arg(i));
    ListCursor rows(namedRows(names));
    ReportDefinition def;
    def.mainSource = QStringLiteral("rows");
    def.pageHeader = band(10, QStringLiteral("PH"));
    def.title = band(10, QStringLiteral("T"));
    def.detail = fieldBand(16.9, QStringLiteral("D"), QStringLiteral("rows"));
    def.pageFooter = band(6.1, QStringLiteral("PF"));
    def.pageFooter->add(ReportElement::system(ReportElement::Kind::PageNumber, QRectF(182, 0, 13, 0)));
    def.pageFooter->elements.back().alignment = Qt::AlignRight;

    CollectingSink sink;
    const int nextPage = layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink, 5);
    QCOMPARE(nextPage, 5 + int(sink.pages.size()));
    QVERIFY(sink.pages.size() >= 3);
    const qreal footerTop = mmToPoints(279.4 - 10 - 6.1);
    int printedRows = 0;
    for (size_t i = 0; i < sink.pages.size(); ++i) {
        const ReportPage& page = sink.pages[i];
        const QStringList t = texts(page);
        QCOMPARE(t.first(), QStringLiteral("PH"));
        QCOMPARE(t.contains(QStringLiteral("T")), i == 0);
        // The page number counts on from the first page's, right-aligned in its box.
        QCOMPARE(t.last(), QString::number(5 + int(i)));
        QCOMPARE(findText(page, t.last())->flags & Qt::AlignRight, int(Qt::AlignRight));
        QCOMPARE(findText(page, t.last())->rect.right(), mmToPoints(10 + 195));
        QCOMPARE(page.number, 5 + int(i));
        for (const ReportPrimitive& p : page.items)
            if (p.kind == ReportPrimitive::Kind::Text && p.text.startsWith(QLatin1String("row"))) {
                ++printedRows;
                QVERIFY(p.rect.top() - mmToPoints(1) + mmToPoints(16.9) <= footerTop + 0.01);
            }
    }
    QCOMPARE(printedRows, 40);
}

void TestReportLayout::detailNumberCountsMainRows()
{
    ListCursor rows(namedRows({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    ReportDefinition def;
    def.detail = band(5, QStringLiteral("D"));
    def.detail->add(ReportElement::system(ReportElement::Kind::DetailNumber, QRectF(50, 0, 0, 0)));
    def.pageFooter = band(5, QStringLiteral("PF"));
    def.pageFooter->add(ReportElement::system(ReportElement::Kind::DetailNumber, QRectF(50, 0, 0, 0)));

    CollectingSink without;
    layoutReport(def, {}, without);
    QCOMPARE(texts(without.pages), QStringList({"D", "0", "PF", "0"}));

    def.mainSource = QStringLiteral("rows");
    CollectingSink with;
    layoutReport(def, {{QStringLiteral("rows"), &rows}}, with);
    QCOMPARE(texts(with.pages), QStringList({"D", "1", "D", "2", "D", "3", "PF", "3"}));
}

void TestReportLayout::memoGrowsItsBand()
{
    ReportDefinition def;
    def.title = band(30, QStringLiteral("T"));
    def.title->add(ReportElement::memo(QStringLiteral("Memo"), QRectF(10, 5, 30, 10)));
    def.summary = band(5, QStringLiteral("Sum"));

    CollectingSink shortText;
    layoutReport(def, {}, shortText);
    const qreal summaryTop = findText(shortText.pages[0], QStringLiteral("Sum"))->rect.top();
    QCOMPARE(summaryTop, mmToPoints(10 + 30 + 1));

    def.element(QStringLiteral("Memo"))->text = QStringLiteral("line of advice for the reader\n").repeated(12);
    CollectingSink longText;
    layoutReport(def, {}, longText);
    const ReportPrimitive* memo = findText(longText.pages[0], def.element(QStringLiteral("Memo"))->text);
    QVERIFY(memo);
    QVERIFY(memo->rect.height() > mmToPoints(10) * 3);
    // The band grows by what the memo grew; what follows moves down as much.
    const qreal grown = memo->rect.bottom() + 1.5 - (mmToPoints(10 + 5 + 10));
    QCOMPARE(findText(longText.pages[0], QStringLiteral("Sum"))->rect.top(), summaryTop + grown);
}

void TestReportLayout::memoShowsTheRunsParameter()
{
    ReportDefinition def;
    def.title = band(20, QStringLiteral("T"));
    ReportElement memo = ReportElement::memo(QStringLiteral("Memo"), QRectF(10, 5, 60, 10));
    memo.parameter = QStringLiteral("advice");
    def.title->add(memo);
    CollectingSink first, second;
    layoutReport(def, {}, first, 1, {{QStringLiteral("advice"), QStringLiteral("Call on Monday")}});
    layoutReport(def, {}, second, 1, {{QStringLiteral("advice"), QStringLiteral("Send the offer")}});
    QCOMPARE(texts(first.pages[0]), QStringList({"T", "Call on Monday"}));
    QCOMPARE(texts(second.pages[0]), QStringList({"T", "Send the offer"}));
    // A run without the value prints the memo empty.
    CollectingSink none;
    layoutReport(def, {}, none);
    QCOMPARE(texts(none.pages[0]), QStringList({"T"}));
}

void TestReportLayout::picturesCaptureWhenTheirBandPrints()
{
    ListCursor rows(namedRows({QStringLiteral("a"), QStringLiteral("b")}));
    QStringList captured;
    ReportDefinition def;
    def.mainSource = QStringLiteral("rows");
    def.detail = band(20, QStringLiteral("D"));
    def.detail->add(ReportElement::picture(QStringLiteral("Chart"), QRectF(10, 2, 50, 15), [&] {
        captured.append(rows.text(QStringLiteral("Name")));
        return ReportPicture([](QPainter&, const QRectF&) {});
    }));
    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink);
    QCOMPARE(captured, QStringList({"a", "b"}));
    int pictures = 0;
    for (const ReportPrimitive& p : sink.pages[0].items)
        if (p.kind == ReportPrimitive::Kind::Picture) {
            ++pictures;
            QCOMPARE(p.rect.size(), QSizeF(mmToPoints(50), mmToPoints(15)));
        }
    QCOMPARE(pictures, 2);
}

void TestReportLayout::chartsReadEveryRowWithoutMovingTheCursor()
{
    ListCursor masters(namedRows({QStringLiteral("m1"), QStringLiteral("m2")}));
    ListCursor rows({QVariantMap{{QStringLiteral("Name"), QStringLiteral("a")}, {QStringLiteral("Weight"), 3}},
                     QVariantMap{{QStringLiteral("Name"), QStringLiteral("b")}, {QStringLiteral("Weight"), 5}}});
    QStringList read;
    ReportDefinition def;
    def.mainSource = QStringLiteral("masters");
    def.detail = fieldBand(10, QStringLiteral("D"), QStringLiteral("masters"));
    def.summary = band(30, QStringLiteral("Sum"));
    def.summary->add(ReportElement::chart(QStringLiteral("Pie"), QRectF(10, 5, 50, 20), QStringLiteral("rows"),
                                          [&](const ReportCursor& r) {
                                              for (int i = 0; i < r.rowCount(); ++i)
                                                  read.append(r.textAt(i, QStringLiteral("Name")) + u'=' +
                                                              r.valueAt(i, QStringLiteral("Weight")).toString());
                                              return ReportPicture([](QPainter&, const QRectF&) {});
                                          }));
    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("masters"), &masters}, {QStringLiteral("rows"), &rows}}, sink);
    QCOMPARE(read, QStringList({"a=3", "b=5"}));
    // Never walked, the chart's cursor was never moved to a first row.
    QVERIFY(rows.eof());
    QCOMPARE(rows.index(), 0);
}

void TestReportLayout::textsStayInTheirBoxesAndWrapWhatDoesNotFit()
{
    const QString longTel = QStringLiteral("0118 496 0400 0118 496 0401");
    const QString comment = QStringLiteral("A comment of many words that goes on. ").repeated(8);
    const QString unbroken = QString(120, u'x');
    ListCursor rows({QVariantMap{{QStringLiteral("Tel"), longTel}, {QStringLiteral("Fax"), QStringLiteral("0118 496 0480")},
                                 {QStringLiteral("Comments"), comment}, {QStringLiteral("Code"), unbroken},
                                 {QStringLiteral("Empty"), QString()}}});
    ReportDefinition def;
    def.mainSource = QStringLiteral("rows");
    def.detail = ReportBand();
    def.detail->height = 20;
    const auto field = [&](const char* name, qreal left, qreal top) {
        def.detail->add(ReportElement::dataField(QStringLiteral("rows"), QLatin1String(name), left, top).on(Qt::gray));
    };
    field("Tel", 10, 1);
    field("Fax", 40, 1);
    field("Comments", 10, 7);
    field("Code", 150, 1);
    field("Empty", 100, 1);
    def.detail->add(ReportElement::label(QStringLiteral("Below"), 10, 14));
    def.summary = band(5, QStringLiteral("Sum"));
    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink);
    const ReportPage& page = sink.pages[0];

    const auto printed = [&](const QString& start) -> const ReportPrimitive* {
        for (const ReportPrimitive& p : page.items)
            if (p.kind == ReportPrimitive::Kind::Text && p.text.startsWith(start))
                return &p;
        return nullptr;
    };
    const qreal origin = mmToPoints(10);
    // Tel ends where Fax begins and wraps there; Fax keeps its place.
    const ReportPrimitive* tel = printed(QStringLiteral("0118 496 0400"));
    const ReportPrimitive* fax = printed(QStringLiteral("0118 496 0480"));
    QVERIFY(tel && fax);
    QVERIFY(tel->rect.right() <= origin + mmToPoints(40) + 0.01);
    QCOMPARE(fax->rect.left(), origin + mmToPoints(40));
    QVERIFY(tel->text.contains(u'\n'));
    QCOMPARE(QString(tel->text).replace(u'\n', u' '), longTel);
    // The empty value prints nothing, not even its background; Fax ends where Empty would begin.
    QVERIFY(fax->rect.right() <= origin + mmToPoints(100) + 0.01);
    // A long text wraps within the band, every word kept; a word wider than its box breaks.
    const ReportPrimitive* comments = printed(QStringLiteral("A comment"));
    QVERIFY(comments->rect.right() <= origin + mmToPoints(195.9) + 0.01);
    QCOMPARE(QString(comments->text).replace(u'\n', u' ').simplified(), comment.simplified());
    const ReportPrimitive* code = printed(QStringLiteral("xxx"));
    QVERIFY(code->rect.right() <= origin + mmToPoints(195.9) + 0.01);
    QCOMPARE(QString(code->text).remove(u'\n'), unbroken);
    // What lies below a grown text moves down by as much, and the band grows to hold it all.
    const ReportPrimitive* below = printed(QStringLiteral("Below"));
    QVERIFY(below->rect.top() >= comments->rect.bottom() - 0.01);
    QVERIFY(printed(QStringLiteral("Sum"))->rect.top() >= below->rect.bottom());
    for (const ReportPrimitive* text : {tel, fax, comments, code, below})
        QVERIFY(text->clip == text->rect);
    int fills = 0;
    for (const ReportPrimitive& p : page.items)
        fills += p.kind == ReportPrimitive::Kind::Fill;
    QCOMPARE(fills, 4);
}

// Names in CJK print in a fallback font with taller lines than the report's own: a wrapped name
// gets the room its lines take, not that of as many lines of the report's font.
void TestReportLayout::wrappedLinesInATallerFallbackFontGetTheirHeight()
{
    const auto laidOut = [](const QString& name) {
        ListCursor rows({QVariantMap{{QStringLiteral("Name"), name}}});
        ReportDefinition def;
        def.mainSource = QStringLiteral("rows");
        def.detail = ReportBand();
        def.detail->height = 6;
        def.detail->add(ReportElement::dataField(QStringLiteral("rows"), QStringLiteral("Name"), 10, 1));
        def.detail->add(ReportElement::label(QStringLiteral("Next"), 19, 1));
        CollectingSink sink;
        layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink);
        for (const ReportPrimitive& p : sink.pages[0].items)
            if (p.kind == ReportPrimitive::Kind::Text && p.text.startsWith(name.left(2)))
                return p;
        return ReportPrimitive();
    };
    const ReportPrimitive latin = laidOut(QStringLiteral("Abcd Abcd Abcd Abcd"));
    const ReportPrimitive cjk = laidOut(QString::fromUtf8("\xE6\x9D\x8E\xE6\x98\x8E \xE6\x9D\xB1\xE4\xBA\xAC "
                                                          "\xEC\x84\x9C\xEC\x9A\xB8 \xE5\x8C\x97\xE4\xBA\xAC"));
    QCOMPARE(latin.text.count(u'\n'), 3);
    QCOMPARE(cjk.text.count(u'\n'), 3);
    QVERIFY2(cjk.rect.height() > latin.rect.height() * 1.1, qPrintable(QStringLiteral("%1 %2").arg(cjk.rect.height()).arg(latin.rect.height())));
}

void TestReportLayout::aHeaderNeverEndsAPageAlone()
{
    ListCursor masters(namedRows({QStringLiteral("m1"), QStringLiteral("m2")}));
    ListCursor details(linkedRows({{"m1-row", "m1"}, {"m2-row", "m2"}}));
    ReportDefinition def;
    def.mainSource = QStringLiteral("masters");
    // Two masters fill most of the page; the second's header would fit, its row would not.
    def.detail = fieldBand(110, QStringLiteral("D"), QStringLiteral("masters"));
    SubDetail sub;
    sub.source = QStringLiteral("details");
    sub.link = SubDetailLink{QStringLiteral("Name"), QStringLiteral("Master")};
    sub.header = band(10, QStringLiteral("Heading"));
    sub.band = fieldBand(15, QStringLiteral("R"), QStringLiteral("details"));
    def.subDetails.push_back(sub);
    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("masters"), &masters}, {QStringLiteral("details"), &details}}, sink);
    for (const ReportPage& page : sink.pages) {
        const QStringList t = texts(page);
        QVERIFY2(t.last() != QStringLiteral("Heading"), qPrintable(t.join(u',')));
        // A master's band stays with its heading and first row.
        QVERIFY2(t.last() != QStringLiteral("m2"), qPrintable(t.join(u',')));
    }
    QCOMPARE(texts(sink.pages).filter(QStringLiteral("-row")), QStringList({"m1-row", "m2-row"}));
}

void TestReportLayout::aChartStaysWithItsLastRow()
{
    // Ten rows of 20 mm fill most of the page; the chart under them would not fit after the last.
    QStringList names;
    for (int i = 1; i <= 10; ++i)
        names.append(QStringLiteral("row%1").arg(i));
    ListCursor rows(namedRows(names));
    ReportDefinition def;
    def.mainSource = QStringLiteral("rows");
    def.detail = fieldBand(20, QStringLiteral("D"), QStringLiteral("rows"));
    def.summary = band(70, QStringLiteral("Graph"));
    def.summary->add(ReportElement::picture(QStringLiteral("Chart"), QRectF(10, 5, 100, 60),
                                            [] { return ReportPicture([](QPainter&, const QRectF&) {}); }));
    CollectingSink sink;
    layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink);
    QCOMPARE(sink.pages.size(), size_t(2));
    QCOMPARE(texts(sink.pages[1]).mid(0, 3), QStringList({"D", "row10", "Graph"}));
    QVERIFY(texts(sink.pages[0]).contains(QStringLiteral("row9")));
}

void TestReportLayout::stopsWhenTheSinkSaysSo()
{
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names.append(QString::number(i));
    ListCursor rows(namedRows(names));
    ReportDefinition def;
    def.mainSource = QStringLiteral("rows");
    def.detail = fieldBand(20, QStringLiteral("D"), QStringLiteral("rows"));
    CollectingSink sink;
    sink.stopAfter = 30;
    layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink);
    QCOMPARE(sink.bands, 30);
    // Only whole pages are delivered; the one being filled is dropped.
    QVERIFY(!sink.pages.empty());
    QVERIFY(!texts(sink.pages).contains(QStringLiteral("29")));
    QVERIFY(rows.index() < 30);
}

QTEST_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
