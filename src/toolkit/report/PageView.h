#pragma once

#include <QImage>
#include <QWidget>

#include "toolkit/report/ReportPage.h"

// Shows one laid-out page at a zoom (1.0: the paper's real size on the screen), with an
// optional highlighted box (a search hit, in points). Holds a pointer to the page, which its
// owner keeps alive while shown. GUI thread only.
class PageView : public QWidget
{
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);

    void setPage(const ReportPage* page);
    const ReportPage* page() const { return m_page; }
    void setZoom(qreal zoom);
    qreal zoom() const { return m_zoom; }
    void setHighlight(const QRectF& points);
    // Screen pixels per point at zoom 1.
    qreal pixelsPerPoint() const;
    // A box in points as pixels of this widget.
    QRect toPixels(const QRectF& points) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void render();

    const ReportPage* m_page = nullptr;
    qreal m_zoom = 1;
    QRectF m_highlight;
    QImage m_image;
};
