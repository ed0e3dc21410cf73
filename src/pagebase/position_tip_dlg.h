// The translucent read-out that follows the mouse over the monitor chart and shows the value under it.
#pragma once

#include <QWidget>

#include "pagebase/graph_series.h"

namespace nms {

class CPositionTipDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPositionTipDlg(QWidget* parent = nullptr);

    GraphRect m_rect;     // the chart rectangle
    float m_xOffset = 0;  // pixels from the left margin (kept, not shown)
    float m_yValue = 0;   // the y value under the mouse

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};

}  // namespace nms
