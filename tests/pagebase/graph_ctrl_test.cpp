#include "pagebase/graph_ctrl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include "page_fixture.h"
#include "pagebase/position_tip_dlg.h"

namespace nms {
namespace graph_ctrl_test {

void MoveMouse(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

class GraphCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.resize(700, 450);
        chart = new CGraphCtrl(&parent);
        chart->Create(QString(), QRect(0, 0, 660, 400), &parent, 1000);
        parent.show();
    }
    QApplication* app = test::EnsureApplication();
    QWidget parent;
    CGraphCtrl* chart = nullptr;
};

TEST_F(GraphCtrlTest, CreateSetsTheChartAndPopupRectangles) {
    EXPECT_EQ(chart->ControlId(), 1000);
    EXPECT_EQ(chart->ChartRect().right, 660);
    EXPECT_EQ(chart->Popup()->m_rect.bottom, 400);
    EXPECT_FALSE(chart->Popup()->isVisible());
}

TEST_F(GraphCtrlTest, EmptyChartDrawsBackgroundWithConstructorScales) {
    const QImage frame = chart->Render();
    EXPECT_EQ(frame.size(), QSize(660, 400));
    EXPECT_EQ(QColor(frame.pixel(5, 5)), QColor(68, 68, 68));
    EXPECT_EQ(chart->Geometry().yScale, 0.5f);
}

TEST_F(GraphCtrlTest, PaintWritesLegendBoxesAndDrawsTheTrace) {
    GraphSeries a, b;
    for (GraphSeries* s : {&a, &b}) {
        s->visible = 1;
        s->fullScale = 50;
        s->rightEdgeX = 500;
    }
    a.colour = 0xFF0000;  // blue: red in the low byte
    b.colour = 0x00FFFF;
    for (int i = 0; i < 30; ++i)
        a.Append(25.0f);
    chart->AddSeries(&a);
    chart->AddSeries(&b);
    const QImage frame = chart->Render();
    EXPECT_EQ(a.legendBox.left, 30);
    EXPECT_EQ(b.legendBox.left, 170);
    EXPECT_EQ(QColor(frame.pixel(a.legendBox.left + 2, a.legendBox.top + 2)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(frame.pixel(b.legendBox.left + 2, b.legendBox.top + 2)), QColor(255, 255, 0));
    EXPECT_EQ(a.rightEdgeX, 600);
    // A flat trace at 25 with the origin at 25 lies on the plot's bottom edge.
    bool blueOnBottom = false;
    for (int y = 345; y <= 355; ++y)
        blueOnBottom |= QColor(frame.pixel(100, y)).blue() > 200 && QColor(frame.pixel(100, y)).red() < 80;
    EXPECT_TRUE(blueOnBottom);
}

TEST_F(GraphCtrlTest, PopupFollowsTheMouseInsideThePlotOnly) {
    chart->Render();  // scales of the first paint
    MoveMouse(chart, QPoint(100, 190));
    ASSERT_TRUE(chart->Popup()->isVisible());
    EXPECT_EQ(chart->Popup()->m_xOffset, 70.0f);
    EXPECT_FLOAT_EQ(chart->Popup()->m_yValue, (350.0f - 190.0f) / 0.5f);
    EXPECT_EQ(chart->Popup()->size(), QSize(90, 60));
    MoveMouse(chart, QPoint(100, 380));  // the legend margin
    EXPECT_FALSE(chart->Popup()->isVisible());
    MoveMouse(chart, QPoint(100, 190));
    MoveMouse(chart, QPoint(10, 190));  // the left margin
    EXPECT_FALSE(chart->Popup()->isVisible());
}

TEST_F(GraphCtrlTest, TinyOrEmptyChartRectanglesPaintWithoutFault) {
    GraphSeries s;
    s.visible = 1;
    s.fullScale = 50;
    s.rightEdgeX = 500;
    s.Append(12.5f);
    s.Append(4000000.0f);  // far above the full scale
    chart->AddSeries(&s);
    for (const GraphRect& r : {GraphRect{0, 0, 10, 10}, GraphRect{0, 0, 0, 0}, GraphRect{0, 0, 90, 85}}) {
        chart->SetChartRect(r);
        const QImage frame = chart->Render();
        EXPECT_FALSE(frame.isNull());
        EXPECT_EQ(chart->Geometry().xScale, 0.0f);
        EXPECT_GT(chart->Geometry().yScale, 0.0f);
    }
    // Back to a real size: the right edge recovers and the trace fills again.
    chart->SetChartRect(GraphRect{0, 0, 660, 400});
    chart->Render();
    chart->Render();
    EXPECT_EQ(s.rightEdgeX, 60);
    s.Append(1.0f);
    s.Append(2.0f);
    ASSERT_EQ(s.count, 4);
    EXPECT_EQ(s.values[3], 2.0f);
}

}  // namespace graph_ctrl_test
}  // namespace nms
