#include "pagebase/graph_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "pagebase/position_tip_dlg.h"

namespace nms {
namespace {

using G = GraphGeometry;

const QColor kBackground(68, 68, 68);
const QColor kLabelColour(0, 98, 255);
constexpr int kArrowLength = 8;
constexpr int kArrowHalfWidth = 3;

QColor FromColourRef(uint32_t c) {
    return QColor(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
}

}  // namespace

CGraphCtrl::CGraphCtrl(QWidget* parent) : QWidget(parent), m_popup(new CPositionTipDlg(this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);  // painting covers the whole area: no erase
    m_popup->hide();
}

bool CGraphCtrl::Create(const QString& text, const QRect& rect, QWidget* parent, int id) {
    if (parent && parentWidget() != parent)
        setParent(parent);
    setWindowTitle(text);
    m_id = id;
    setGeometry(rect);
    m_chartRect = GraphRect{0, 0, rect.width(), rect.height()};
    m_popup->m_rect = m_chartRect;
    m_popup->hide();
    show();
    return true;
}

void CGraphCtrl::SetChartRect(const GraphRect& rect) {
    m_chartRect = rect;
    update();
}

QImage CGraphCtrl::Render() {
    const GraphRect& r = m_chartRect;
    QImage image(std::max(1, r.Width()), std::max(1, r.Height()), QImage::Format_RGB32);
    QPainter p(&image);
    p.translate(-r.left, -r.top);
    p.setBackgroundMode(Qt::TransparentMode);

    // 1. Background.
    p.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), kBackground);

    // 2. Scales.
    m_geometry.UpdateScales(r, m_series);
    QString xLabel, yLabel;
    if (!m_series.empty()) {
        xLabel = QString::fromStdString(m_series.back()->xLabel);
        yLabel = QString::fromStdString(m_series.back()->yLabel);
    }
    const int plotLeft = G::kLeftMargin;
    const int plotRight = r.right - G::kRightMargin;
    const int plotTop = G::kTopMargin;
    const int plotBottom = r.bottom - G::kBottomMargin;
    const QPen axisPen(QColor(255, 255, 0), 2);
    const QPen hiddenPen(kBackground, 2);

    // 3. X axis at y = 0.
    const int xAxisY = int(m_geometry.YPixel(r, 0.0f));
    p.setPen(xAxisY < plotTop || xAxisY > plotBottom ? hiddenPen : axisPen);
    p.drawLine(plotLeft, xAxisY, plotRight, xAxisY);
    p.drawLine(plotRight, xAxisY, plotRight - kArrowLength, xAxisY - kArrowHalfWidth);
    p.drawLine(plotRight, xAxisY, plotRight - kArrowLength, xAxisY + kArrowHalfWidth);
    p.drawText(plotRight, xAxisY, xLabel);

    // 4. Y axis at x = 0.
    const int yAxisX = int(m_geometry.XPixel(r, 0.0f));
    p.setPen(yAxisX < plotLeft || yAxisX > plotRight ? hiddenPen : axisPen);
    p.drawLine(yAxisX, plotBottom, yAxisX, plotTop);
    p.drawLine(yAxisX, plotTop, yAxisX - kArrowHalfWidth, plotTop + kArrowLength);
    p.drawLine(yAxisX, plotTop, yAxisX + kArrowHalfWidth, plotTop + kArrowLength);
    const int ascent = QFontMetrics(p.font()).ascent();
    p.drawText(yAxisX - 10, plotTop - 20 + ascent, yLabel);

    // 5. and 6. Grid.
    const QPen gridPen(Qt::white, 1, Qt::DotLine);
    for (int x : m_geometry.VerticalGrid(r)) {
        const int px = int(m_geometry.XPixel(r, float(x)));
        p.setPen(gridPen);
        p.drawLine(px, plotBottom, px, plotTop);
        p.setPen(kLabelColour);
        p.drawText(px, plotBottom + 5 + ascent, QString::number(x));
    }
    for (float y : m_geometry.HorizontalGrid(r)) {
        const int py = int(m_geometry.YPixel(r, y));
        p.setPen(gridPen);
        p.drawLine(plotLeft, py, plotRight, py);
        p.setPen(kLabelColour);
        p.drawText(plotLeft - 30, py, QString::asprintf("%.3f", double(y)));
    }

    // 7. Traces.
    p.setRenderHint(QPainter::Antialiasing, true);
    for (GraphSeries* s : m_series) {
        const int n = std::clamp(s->count, 0, kGraphSamples);
        if (!s->visible || n <= 0)
            continue;
        p.setPen(QPen(FromColourRef(s->colour), 3));
        QPainterPath path(QPointF(m_geometry.XPixel(r, 0.0f), m_geometry.YPixel(r, s->values[0])));
        for (int i = 0; i < n; ++i)
            path.lineTo(m_geometry.XPixel(r, float(i)), m_geometry.YPixel(r, s->values[size_t(i)]));
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    // 8. Legend.
    for (size_t i = 0; i < m_series.size(); ++i) {
        GraphSeries* s = m_series[i];
        s->legendBox = G::LegendBox(r, int(i));
        const GraphRect& b = s->legendBox;
        const QColor colour = FromColourRef(s->colour);
        p.fillRect(QRect(b.left, b.top, b.Width(), b.Height()), colour);
        p.setPen(colour);
        p.drawText(b.right + 5, b.top + 5 + ascent, QString::fromStdString(s->name));
    }
    p.end();
    return image;
}

void CGraphCtrl::paintEvent(QPaintEvent*) {
    const QImage frame = Render();
    QPainter p(this);
    p.drawImage(QPoint(m_chartRect.left, m_chartRect.top), frame);
}

void CGraphCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_geometry.InPlot(m_chartRect, at.x(), at.y())) {
        m_popup->m_xOffset = float(at.x() - G::kLeftMargin);
        m_popup->m_yValue = m_geometry.YValueAt(m_chartRect, float(at.y()));
        m_popup->setGeometry(QRect(event->globalPosition().toPoint() + QPoint(1, 1), QSize(90, 60)));
        m_popup->show();
        m_popup->update();
    } else {
        m_popup->hide();
    }
    QWidget::mouseMoveEvent(event);
}

}  // namespace nms
