#include "pagebase/position_tip_dlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/codepage.h"

namespace nms {

CPositionTipDlg::CPositionTipDlg(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    // Half transparent (alpha 128) where the window system can; opaque elsewhere.
    setWindowOpacity(128.0 / 255.0);
    resize(90, 60);
}

void CPositionTipDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 127));
    painter.setPen(QColor(0, 0, 255));
    const QFontMetrics metrics(painter.font());
    const int ascent = metrics.ascent();
    painter.drawText(10, 10 + ascent, "Position:");
    // "Y" and the full-width colon of the program's code page.
    painter.drawText(10, 35 + ascent, QString::fromStdString(GbkToUtf8("Y\xA3\xBA")));
    painter.drawText(30, 35 + ascent, QString::asprintf("%2.3f", double(m_yValue)));
}

void CPositionTipDlg::mouseMoveEvent(QMouseEvent* event) {
    // The cursor reached the read-out: it steps away from the cursor.
    const QPoint p = event->position().toPoint();
    move(pos() + p + QPoint(1, 1));
    show();
    update();
}

}  // namespace nms
