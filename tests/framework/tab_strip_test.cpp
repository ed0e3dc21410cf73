#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "framework/tab_wnd.h"
#include "framework/view_class.h"
#include "gui_app.h"

namespace nms {
namespace tab_strip_test {

class Page : public QWidget {
public:
    explicit Page(QWidget* parent = nullptr) : QWidget(parent) {}
};

class VetoTabs : public TTabWnd {
public:
    bool CanChangeTab(QWidget* oldPage, QWidget* newPage) override {
        ++asked;
        return newPage != vetoed;
    }
    void OnTabChanged(QWidget* oldPage, QWidget* newPage) override { changes.push_back({oldPage, newPage}); }
    QWidget* vetoed = nullptr;
    int asked = 0;
    std::vector<std::pair<QWidget*, QWidget*>> changes;
};

class TabStripTest : public ::testing::Test {
protected:
    test::AppGuard guard;
    void SetUp() override {
        test::App();
        tabs.resize(400, 200);
        for (const char* title : {"Input", "Output", "PSI/SI"}) {
            ASSERT_NE(tabs.AddViewTab(title, TViewClass::Of<Page>()), nullptr);
        }
    }
    int TextWidth(int index) const {
        const QFontMetrics metrics(tabs.GetTabFont());
        return std::min(metrics.horizontalAdvance(tabs.GetTabItem(index)->m_caption->text()) + 4, 200);
    }
    QImage Grab() { return tabs.grab().toImage(); }
    QColor Face() const { return QApplication::palette().color(QPalette::Button); }
    QColor Light() const { return QApplication::palette().color(QPalette::Light); }
    QColor Dark() const { return QApplication::palette().color(QPalette::Dark); }

    VetoTabs tabs;
};

TEST_F(TabStripTest, TabsAreLaidOutLeftToRightAtTextWidthPlusSix) {
    int x = 0;
    for (int i = 0; i < tabs.GetTabCount(); ++i) {
        tabs.grab();  // geometry is recorded while painting
        const TTabItem* item = tabs.GetTabItem(i);
        EXPECT_EQ(item->m_left, x);
        EXPECT_EQ(item->m_right, x + TextWidth(i) + 6);
        EXPECT_EQ(item->m_caption->geometry().left(), x + 3);
        EXPECT_EQ(item->m_caption->width(), TextWidth(i));
        x = item->m_right;
    }
    // Hidden tabs take no room.
    tabs.ShowTab(0, false);
    EXPECT_EQ(tabs.GetTabItem(1)->m_left, 0);
    EXPECT_TRUE(tabs.GetTabItem(0)->m_caption->isHidden());
}

TEST_F(TabStripTest, LongCaptionsAreCutToTwoHundredPixels) {
    TTabItem* item = tabs.AddViewTab(QString(300, QChar('W')), TViewClass::Of<Page>());
    ASSERT_NE(item, nullptr);
    tabs.grab();
    EXPECT_EQ(item->m_right - item->m_left, 206);
    EXPECT_EQ(item->m_caption->width(), 200);
}

TEST_F(TabStripTest, TopStripPixels) {
    tabs.SetTabPosition(TTabWnd::kTop);
    ASSERT_TRUE(tabs.SetActiveTab(0, false));
    const QImage image = Grab();
    const int w0 = TextWidth(0);
    const int x1 = w0 + 6;  // the second tab, inactive
    const int w1 = TextWidth(1);
    struct Probe {
        int x, y;
        QColor colour;
        const char* what;
    };
    const Probe probes[] = {
        {0, 15, Qt::black, "active left outline"},
        {w0 / 2, 6, Qt::black, "active top outline"},
        {w0 + 5, 26, Qt::black, "active right outline reaches row 26"},
        {2, 15, Light(), "active highlight edge"},
        {w0 + 4, 15, Dark(), "active shadow edge"},
        {3, 27, Face(), "active face opens into the page over the base line"},
        {w0 / 2, 28, Face(), "active face bottom row"},
        {x1, 15, Qt::black, "inactive left frame"},
        {x1 + w1 + 5, 15, Qt::black, "inactive right frame"},
        {x1 + 1, 15, Light(), "inactive left highlight"},
        {x1 + w1 / 2, 7, Light(), "inactive top highlight"},
        {x1 + w1 + 4, 15, Dark(), "inactive right shadow"},
        {x1 + 2, 15, Face(), "inactive face"},
        {x1 + w1 / 2, 25, Qt::black, "inactive bottom frame"},
        {390, 25, Qt::black, "base line"},
        {390, 27, Light(), "base line highlight"},
    };
    for (const Probe& p : probes) {
        EXPECT_EQ(image.pixel(p.x, p.y), p.colour.rgb()) << p.what << " at " << p.x << "," << p.y;
    }
    // The page area starts below the strip.
    EXPECT_EQ(tabs.GetTabWnd(0)->geometry(), QRect(1, 31, 398, 168));
}

TEST_F(TabStripTest, BottomStripMirrorsTheShapes) {
    ASSERT_EQ(tabs.GetTabPosition(), TTabWnd::kBottom);
    ASSERT_TRUE(tabs.SetActiveTab(1, false));
    const QImage image = Grab();
    const int h = 200;
    const int w0 = TextWidth(0);
    const int x1 = w0 + 6;
    auto row = [h](int y) { return h - 1 - y; };
    EXPECT_EQ(image.pixel(0, row(15)), QColor(Qt::black).rgb());  // inactive first tab frame
    EXPECT_EQ(image.pixel(1, row(15)), Light().rgb());
    EXPECT_EQ(image.pixel(w0 / 2, row(6)), QColor(Qt::black).rgb());
    EXPECT_EQ(image.pixel(x1, row(15)), QColor(Qt::black).rgb());  // active second tab outline
    EXPECT_EQ(image.pixel(x1 + 3, row(27)), Face().rgb());
    EXPECT_EQ(image.pixel(390, row(25)), QColor(Qt::black).rgb());
    EXPECT_EQ(image.pixel(390, row(27)), Light().rgb());
    EXPECT_EQ(tabs.GetTabWnd(1)->geometry(), QRect(1, 0, 398, 170));
}

TEST_F(TabStripTest, HitTestOnlyInsideTheBand) {
    tabs.SetTabPosition(TTabWnd::kTop);
    tabs.grab();
    const int x1 = tabs.GetTabItem(1)->m_left;
    EXPECT_EQ(tabs.HitTest(1, 6), 0);
    EXPECT_EQ(tabs.HitTest(1, 26), 0);
    EXPECT_EQ(tabs.HitTest(1, 5), -1);
    EXPECT_EQ(tabs.HitTest(1, 27), -1);
    EXPECT_EQ(tabs.HitTest(x1, 15), 1);
    EXPECT_EQ(tabs.HitTest(x1 - 1, 15), 0);
    EXPECT_EQ(tabs.HitTest(399, 15), -1);
    tabs.GetTabItem(1)->m_selectable = false;
    EXPECT_EQ(tabs.HitTest(x1, 15), -1);

    tabs.SetTabPosition(TTabWnd::kBottom);
    EXPECT_EQ(tabs.HitTest(1, 200 - 26), 0);
    EXPECT_EQ(tabs.HitTest(1, 200 - 6), 0);
    EXPECT_EQ(tabs.HitTest(1, 15), -1);
}

TEST_F(TabStripTest, ClickReleaseActivatesOnlyInTheBand) {
    tabs.SetTabPosition(TTabWnd::kTop);
    tabs.grab();
    const int x2 = tabs.GetTabItem(2)->m_left + 2;
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(x2, 28));
    EXPECT_EQ(tabs.GetActiveTab(), -1);
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(x2, 15));
    EXPECT_EQ(tabs.GetActiveTab(), 2);
}

TEST_F(TabStripTest, SetActiveTabRefusesAndChangesNothing) {
    ASSERT_TRUE(tabs.SetActiveTab(0, false));
    tabs.changes.clear();
    tabs.ShowTab(1, false);
    tabs.GetTabItem(2)->m_selectable = false;
    EXPECT_FALSE(tabs.SetActiveTab(-1, false));
    EXPECT_FALSE(tabs.SetActiveTab(3, false));
    EXPECT_FALSE(tabs.SetActiveTab(1, false));
    EXPECT_FALSE(tabs.SetActiveTab(2, false));
    tabs.ShowTab(1, true);
    tabs.vetoed = tabs.GetTabWnd(1);
    EXPECT_FALSE(tabs.SetActiveTab(1, false));
    EXPECT_EQ(tabs.GetActiveTab(), 0);
    EXPECT_FALSE(tabs.GetTabWnd(0)->isHidden());
    EXPECT_TRUE(tabs.changes.empty());
}

TEST_F(TabStripTest, ActivationSwapsPagesAndRespectsTheEnabledFlag) {
    tabs.GetTabItem(1)->m_enabled = false;
    ASSERT_TRUE(tabs.SetActiveTab(0, false));
    ASSERT_TRUE(tabs.SetActiveTab(1, false));
    QWidget* p0 = tabs.GetTabWnd(0);
    QWidget* p1 = tabs.GetTabWnd(1);
    EXPECT_TRUE(p0->isHidden());
    EXPECT_FALSE(p0->isEnabled());
    EXPECT_FALSE(p1->isHidden());
    EXPECT_FALSE(p1->isEnabled());
    ASSERT_EQ(tabs.changes.size(), 2u);
    EXPECT_EQ(tabs.changes[1], std::make_pair(p0, p1));
}

TEST_F(TabStripTest, RemoveTabMovesTheActiveIndexWithoutActivating) {
    ASSERT_TRUE(tabs.SetActiveTab(2, false));
    QWidget* p1 = tabs.GetTabWnd(1);
    QWidget* p2 = tabs.GetTabWnd(2);
    EXPECT_EQ(tabs.RemoveTab(p2), 1);  // the removed active tab leaves the one before it
    EXPECT_TRUE(p1->isHidden());       // ... not shown: the caller activates
    EXPECT_EQ(tabs.RemoveTab(p2), 0);  // unknown page: 0, whatever is active
    EXPECT_EQ(tabs.GetActiveTab(), 1);
    ASSERT_TRUE(tabs.SetActiveTab(1, false));
    EXPECT_EQ(tabs.RemoveTab(tabs.GetTabWnd(0)), 0);  // a tab before the active one
    EXPECT_EQ(tabs.GetTabWnd(0), p1);
    EXPECT_EQ(tabs.RemoveTab(p1), -1);
    EXPECT_EQ(tabs.GetTabCount(), 0);
    delete p2;
}

TEST_F(TabStripTest, GetTabWndIsNullForADeletedPage) {
    delete tabs.GetTabWnd(1);
    EXPECT_EQ(tabs.GetTabWnd(1), nullptr);
    EXPECT_EQ(tabs.GetTabWnd(7), nullptr);
    EXPECT_EQ(tabs.FindTab(nullptr), -1);
}

}  // namespace tab_strip_test
}  // namespace nms
