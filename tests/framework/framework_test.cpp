#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTest>
#include <QTextEdit>

#include "framework/visual_framework.h"
#include "gui_app.h"

namespace nms {
namespace framework_test {

class Page : public QWidget {
public:
    explicit Page(QWidget* parent = nullptr) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
};

// The frame's layout: a 1 x 2 root splitter, two rows on each side, a tab window top right and pages
// added as nodes 8 and up.
class FrameworkTest : public ::testing::Test {
protected:
    test::AppGuard guard;
    void SetUp() override {
        test::App();
        frame.resize(800, 600);
        root = new TVisualNode(1, "", 1, 2);
        left = new TVisualNode(2, 0, 0, 2, 1);
        right = new TVisualNode(3, 0, 1, 2, 1);
        tree = new TVisualNode(4, 0, 0, TViewClass::Of<Page>(), 100, 100);
        info = new TVisualNode(5, 1, 0, TViewClass::Of<Page>(), 100, 100);
        tabNode = new TVisualNode(6, "", TViewClass::Of<TTabWnd>());
        alarms = new TVisualNode(7, 1, 0, TViewClass::Of<Page>(), 100, 100);
        ASSERT_TRUE(fw.Add(root));
        ASSERT_TRUE(fw.Add(root, left));
        ASSERT_TRUE(fw.Add(root, right));
        ASSERT_TRUE(fw.Add(left, tree));
        ASSERT_TRUE(fw.Add(left, info));
        ASSERT_TRUE(fw.Add(right, alarms));
        ASSERT_TRUE(fw.Add(right, tabNode));
        for (int i = 0; i < 3; ++i) {
            pages.push_back(new TVisualNode(8 + i, QString("Page %1").arg(i), TViewClass::Of<Page>()));
            ASSERT_TRUE(fw.Add(tabNode, pages.back()));
        }
    }

    TTabWnd* Tabs() const { return qobject_cast<TTabWnd*>(tabNode->GetWindow()); }

    void ShowFrame() {
        frame.show();
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    }

    void CtrlTab(bool shift) {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &frame;
        QTest::keyClick(target, Qt::Key_Tab,
                        shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }

    QMainWindow frame;
    TVisualFramework fw;
    TVisualNode *root, *left, *right, *tree, *info, *tabNode, *alarms;
    std::vector<TVisualNode*> pages;
};

TEST_F(FrameworkTest, AddRefusesDuplicateIdsAndLeavesTheNodeToTheCaller) {
    TVisualNode dup(4, "dup", TViewClass::Of<Page>());
    EXPECT_FALSE(fw.Add(&dup));
    EXPECT_FALSE(fw.Add(root, &dup));
    EXPECT_EQ(fw.FindNode(4), tree);
    EXPECT_EQ(dup.m_framework, nullptr);
}

TEST_F(FrameworkTest, NodeKindsFollowTheConstructorAndClass) {
    EXPECT_EQ(root->GetKind(), TVisualNode::kSplitter);
    EXPECT_EQ(tree->GetKind(), TVisualNode::kView);
    EXPECT_EQ(left->GetKind(), TVisualNode::kSplitterView);
    EXPECT_EQ(tabNode->GetKind(), TVisualNode::kTabWnd);
    EXPECT_EQ(pages[0]->GetKind(), TVisualNode::kTabView);
    TVisualNode none(99, "x", TViewClass{});
    EXPECT_EQ(none.GetKind(), TVisualNode::kNone);
}

TEST_F(FrameworkTest, CreateBuildsTheTreeButNoPagesAndActivatesTheFirstView) {
    ASSERT_TRUE(fw.Create(&frame));
    EXPECT_TRUE(fw.IsCreated());
    auto* rootSplitter = qobject_cast<TSplitterWnd*>(root->GetWindow());
    ASSERT_NE(rootSplitter, nullptr);
    EXPECT_EQ(frame.centralWidget(), rootSplitter);
    auto* rightSplitter = qobject_cast<TSplitterWnd*>(right->GetWindow());
    ASSERT_NE(rightSplitter, nullptr);
    // The tab window takes the pane the alarm list left free.
    EXPECT_EQ(rightSplitter->GetPane(0, 0), Tabs());
    EXPECT_EQ(rightSplitter->GetPane(1, 0), alarms->GetWindow());
    EXPECT_EQ(qobject_cast<TSplitterWnd*>(left->GetWindow())->GetPane(1, 0), info->GetWindow());
    ASSERT_NE(Tabs(), nullptr);
    EXPECT_EQ(Tabs()->GetTabCount(), 0);
    EXPECT_EQ(Tabs()->GetTabPosition(), TTabWnd::kBottom);
    for (TVisualNode* page : pages) {
        EXPECT_EQ(page->GetWindow(), nullptr);
        EXPECT_EQ(page->GetParentWindow(), Tabs());
    }
    EXPECT_EQ(fw.GetActiveView(), tree->GetWindow());
}

TEST_F(FrameworkTest, CreateStopsAtAFailingNode) {
    ASSERT_TRUE(fw.Add(left, new TVisualNode(50, 0, 0, TViewClass{}, 10, 10)));  // pane 0,0 is taken too
    EXPECT_FALSE(fw.Create(&frame));
    EXPECT_FALSE(fw.IsCreated());
}

TEST_F(FrameworkTest, ShowHideAndShowAgainMakesANewPageAtTheEnd) {
    ASSERT_TRUE(fw.Create(&frame));
    TTabWnd* tabs = Tabs();
    ASSERT_TRUE(fw.ShowNode(pages[0], true));
    ASSERT_TRUE(fw.ShowNode(pages[1], true));
    QPointer<QWidget> first = pages[0]->GetWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tabs->GetTabCount(), 2);
    EXPECT_EQ(first->property(TTabWnd::kControlIdProperty).toInt(), 13576);
    EXPECT_EQ(pages[1]->GetWindow()->property(TTabWnd::kControlIdProperty).toInt(), 13577);
    // Shown but not activated: hidden and disabled until the caller activates a tab.
    EXPECT_TRUE(first->isHidden());
    EXPECT_FALSE(first->isEnabled());
    EXPECT_EQ(tabs->GetActiveTab(), -1);

    // Showing a node that has its window adds no second tab.
    EXPECT_TRUE(fw.ShowNode(pages[0], true));
    EXPECT_EQ(tabs->GetTabCount(), 2);
    EXPECT_EQ(pages[0]->GetWindow(), first);

    ASSERT_TRUE(fw.ActivateTab(pages[0]));
    EXPECT_EQ(tabs->GetActiveTab(), 0);
    EXPECT_FALSE(first->isHidden());
    EXPECT_TRUE(first->isEnabled());

    ASSERT_TRUE(fw.ShowNode(pages[0], false));
    EXPECT_EQ(first, nullptr);  // the page object is gone
    EXPECT_EQ(pages[0]->GetWindow(), nullptr);
    EXPECT_EQ(tabs->GetTabCount(), 1);
    EXPECT_EQ(tabs->GetActiveTab(), -1);

    ASSERT_TRUE(fw.ShowNode(pages[0], true));
    EXPECT_EQ(tabs->GetTabCount(), 2);
    EXPECT_EQ(tabs->FindTab(pages[0]->GetWindow()), 1);
    EXPECT_EQ(pages[0]->GetWindow()->property(TTabWnd::kControlIdProperty).toInt(), 13577);
    // Hiding a node without a window does nothing.
    EXPECT_TRUE(fw.ShowNode(pages[2], false));
    EXPECT_EQ(tabs->GetTabCount(), 2);
}

TEST_F(FrameworkTest, SetActiveNodeRefusesSplittersTabWindowsAndDisabledNodes) {
    ASSERT_TRUE(fw.Create(&frame));
    ASSERT_TRUE(fw.ShowNode(pages[1], true));
    EXPECT_FALSE(fw.SetActiveNode(root));
    EXPECT_FALSE(fw.SetActiveNode(tabNode));
    pages[1]->m_enabled = false;
    EXPECT_FALSE(fw.SetActiveNode(pages[1]));
    pages[1]->m_enabled = true;
    ASSERT_TRUE(fw.SetActiveNode(pages[1]));
    EXPECT_EQ(Tabs()->GetActiveTab(), 0);
    EXPECT_EQ(fw.GetActiveView(), pages[1]->GetWindow());
}

TEST_F(FrameworkTest, ActivateTabLeavesTheActiveViewAlone) {
    ASSERT_TRUE(fw.Create(&frame));
    ASSERT_TRUE(fw.ShowNode(pages[0], true));
    QWidget* before = fw.GetActiveView();
    ASSERT_TRUE(fw.ActivateTab(pages[0]));
    EXPECT_EQ(fw.GetActiveView(), before);
    EXPECT_FALSE(fw.ActivateTab(tree));  // not in a tab window
}

TEST_F(FrameworkTest, DestroyDeletesWindowsAndNodes) {
    ASSERT_TRUE(fw.Create(&frame));
    ASSERT_TRUE(fw.ShowNode(pages[0], true));
    QPointer<QWidget> page = pages[0]->GetWindow();
    QPointer<QWidget> splitter = root->GetWindow();
    fw.Destroy();
    EXPECT_EQ(page, nullptr);
    EXPECT_EQ(splitter, nullptr);
    EXPECT_EQ(fw.FindNode(1), nullptr);
    EXPECT_FALSE(fw.IsCreated());
}

TEST_F(FrameworkTest, CtrlTabWrapsBothWaysAndSkipsRefusingTabs) {
    ASSERT_TRUE(fw.Create(&frame));
    for (TVisualNode* page : pages) {
        ASSERT_TRUE(fw.ShowNode(page, true));
    }
    ShowFrame();
    TTabWnd* tabs = Tabs();
    ASSERT_TRUE(fw.SetActiveNode(pages[2]));
    ASSERT_EQ(QApplication::focusWidget(), pages[2]->GetWindow());

    CtrlTab(false);
    EXPECT_EQ(tabs->GetActiveTab(), 0);  // past the last wraps to the first
    EXPECT_EQ(fw.GetActiveView(), pages[0]->GetWindow());
    CtrlTab(true);
    EXPECT_EQ(tabs->GetActiveTab(), 2);  // before the first wraps to the last
    CtrlTab(true);
    EXPECT_EQ(tabs->GetActiveTab(), 1);

    tabs->GetTabItem(2)->m_selectable = false;
    CtrlTab(false);
    EXPECT_EQ(tabs->GetActiveTab(), 0);
    CtrlTab(true);
    EXPECT_EQ(tabs->GetActiveTab(), 1);
}

TEST_F(FrameworkTest, CtrlTabEndsWhenNoTabIsActiveAndNoneAccepts) {
    ASSERT_TRUE(fw.Create(&frame));
    for (TVisualNode* page : pages) {
        ASSERT_TRUE(fw.ShowNode(page, true));
    }
    ShowFrame();
    TTabWnd* tabs = Tabs();
    ASSERT_TRUE(fw.SetActiveNode(pages[0]));
    ASSERT_TRUE(fw.ShowNode(pages[0], false));  // the active tab goes: index -1
    ASSERT_EQ(tabs->GetActiveTab(), -1);
    for (int i = 0; i < tabs->GetTabCount(); ++i) {
        tabs->GetTabItem(i)->m_selectable = false;
    }
    tabs->setFocus();
    for (bool shift : {false, true}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab,
                        shift ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        EXPECT_TRUE(fw.ProcessMessage(&press));  // returns instead of stepping for ever
        EXPECT_EQ(tabs->GetActiveTab(), -1);
    }
    tabs->GetTabItem(1)->m_selectable = true;
    CtrlTab(false);
    EXPECT_EQ(tabs->GetActiveTab(), 1);
}

TEST_F(FrameworkTest, CtrlTabOutsideATabWindowIsNotConsumed) {
    ASSERT_TRUE(fw.Create(&frame));
    ShowFrame();
    tree->GetWindow()->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(fw.ProcessMessage(&press));
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    EXPECT_FALSE(fw.ProcessMessage(&plain));
}

// A splitter in a tab and a tab window in a tab: activation finds the view inside.
TEST(FrameworkNesting, ActivationReachesViewsInsideSplitterAndTabPages) {
    test::App();
    QWidget frame;
    frame.resize(500, 400);
    TVisualFramework fw;
    auto* outer = new TVisualNode(1, "", TViewClass::Of<TTabWnd>(), TVisualNode::kTabsTop);
    auto* split = new TVisualNode(2, "Split", 1, 2);
    auto* a = new TVisualNode(3, 0, 0, TViewClass::Of<Page>(), 50, 50);
    auto* b = new TVisualNode(4, 0, 1, TViewClass::Of<Page>(), 50, 50);
    auto* inner = new TVisualNode(5, "Inner", TViewClass::Of<TTabWnd>());
    auto* c = new TVisualNode(6, "C", TViewClass::Of<Page>(), TVisualNode::kActivate);
    ASSERT_TRUE(fw.Add(outer));
    ASSERT_TRUE(fw.Add(outer, split));
    ASSERT_TRUE(fw.Add(split, a));
    ASSERT_TRUE(fw.Add(split, b));
    ASSERT_TRUE(fw.Add(outer, inner));
    ASSERT_TRUE(fw.Add(inner, c));
    ASSERT_TRUE(fw.Create(&frame));
    auto* outerTabs = qobject_cast<TTabWnd*>(outer->GetWindow());
    ASSERT_NE(outerTabs, nullptr);
    EXPECT_EQ(outerTabs->GetTabPosition(), TTabWnd::kTop);
    EXPECT_EQ(outerTabs->GetTabCount(), 2);
    // The first view in id order became active: pane (0, 0) of the splitter tab.
    EXPECT_EQ(fw.GetActiveView(), a->GetWindow());
    EXPECT_EQ(outerTabs->GetActiveTab(), 0);

    ASSERT_TRUE(fw.ShowNode(c, true));
    ASSERT_NE(c->GetWindow(), nullptr);
    ASSERT_TRUE(fw.SetActiveNode(c));
    EXPECT_EQ(outerTabs->GetActiveTab(), 1);
    EXPECT_EQ(fw.GetActiveView(), c->GetWindow());
    // Back to the splitter tab by the strip: its first pane's view becomes active.
    ASSERT_TRUE(outerTabs->SetActiveTab(0, true));
    EXPECT_EQ(fw.GetActiveView(), a->GetWindow());
}

}  // namespace framework_test
}  // namespace nms
