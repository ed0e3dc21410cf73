// The strip chart of the monitor pages: series of float samples against the sample index, axes, a dotted
// grid with labels, a legend and a read-out popup under the mouse. The chart does not own its series.
#pragma once

#include <QWidget>
#include <vector>

#include "pagebase/graph_series.h"

namespace nms {

class CPositionTipDlg;

class CGraphCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CGraphCtrl(QWidget* parent = nullptr);

    // Takes the rectangle (in the parent) as the control's place; the chart rectangle starts at 0, 0.
    virtual bool Create(const QString& text, const QRect& rect, QWidget* parent, int id);

    // The record must outlive the chart's use of it.
    void AddSeries(GraphSeries* series) { m_series.push_back(series); }
    const std::vector<GraphSeries*>& Series() const { return m_series; }

    // The owner's resize: the new client rectangle (origin 0, 0) becomes the chart rectangle.
    void SetChartRect(const GraphRect& rect);
    const GraphRect& ChartRect() const { return m_chartRect; }
    const GraphGeometry& Geometry() const { return m_geometry; }
    CPositionTipDlg* Popup() const { return m_popup; }
    int ControlId() const { return m_id; }

    // Draws one frame into an image of the chart rectangle's size (what paint copies to the screen).
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    GraphRect m_chartRect;
    GraphGeometry m_geometry;
    std::vector<GraphSeries*> m_series;
    CPositionTipDlg* m_popup;
    int m_id = 0;
};

}  // namespace nms
