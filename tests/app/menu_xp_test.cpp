#include "app/menu_xp.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/accel_text.h"
#include "app/menu_bar.h"
#include "app/tool_bar_xp.h"
#include "platform/resource_icons.h"
#include "qt_app_environment.h"

namespace nms {
namespace menu_xp_test {

TEST(AccelText, ModifiersThenKeyNameOrCharacter) {
    struct Case {
        uint8_t flags;
        uint16_t key;
        const char* text;
    };
    const Case cases[] = {
        {CAccelText::FVIRTKEY | CAccelText::FCONTROL, 'S', "Ctrl+S"},
        {CAccelText::FVIRTKEY | CAccelText::FCONTROL | CAccelText::FSHIFT | CAccelText::FALT, 0x74,
         "Ctrl+Shift+Alt+F5"},
        {CAccelText::FVIRTKEY, 0x2E, "Del"},
        {CAccelText::FVIRTKEY | CAccelText::FSHIFT, 0x2D, "Shift+Ins"},
        {CAccelText::FVIRTKEY, 0x63, "Num 3"},
        {CAccelText::FVIRTKEY | CAccelText::FALT, 0x73, "Alt+F4"},
        {CAccelText::FVIRTKEY, 0x1B, "Esc"},
        {CAccelText::FCONTROL, 'a', "Ctrl+a"},  // a character, not a key code
        {CAccelText::FCONTROL, 27, "Ctrl+"},    // the Escape character adds nothing
        {0, 27, ""},
        {CAccelText::FVIRTKEY | CAccelText::FCONTROL, 0xFF, "Ctrl+"},  // a code without a name
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CAccelText(c.flags, c.key).GetText().toStdString(), c.text)
            << "flags " << int(c.flags) << " key " << c.key;
    }
}

TEST(MenuXP, AppendMenuItemAppliesFlagsBreaksAndAccelerator) {
    CMenuXP menu;
    const CAccelText ctrlS(CAccelText::FVIRTKEY | CAccelText::FCONTROL, 'S');
    auto* save = new CMenuXPItem(32803, IconById(174), "Save(&S)");
    QAction* a = menu.AppendMenuItem(MF_STRING, save, &ctrlS);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(save->m_text, "Save(&S)\tCtrl+S");
    EXPECT_EQ(a->text(), "Save(&S)");
    EXPECT_EQ(a->data().toInt(), 32803);
    EXPECT_EQ(menu.ItemOf(a), save);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_FALSE(a->isChecked());

    const CAccelText empty(0, 27);
    auto* grey = new CMenuXPItem(1, QIcon(), "Grey");
    QAction* b = menu.AppendMenuItem(MF_GRAYED | MF_CHECKED, grey, &empty);
    EXPECT_EQ(grey->m_text, "Grey");  // an empty accelerator text adds no tab
    EXPECT_FALSE(b->isEnabled());
    EXPECT_TRUE(b->isChecked());

    auto* sep = new CMenuXPItem();
    sep->m_separator = 1;
    EXPECT_TRUE(menu.AppendMenuItem(0, sep)->isSeparator());

    menu.AddColumnBreak();
    QAction* c = menu.AppendMenuItem(0, new CMenuXPItem(2, QIcon(), "Next column"));
    QAction* d = menu.AppendMenuItem(0, new CMenuXPItem(3, QIcon(), "Same column"));
    EXPECT_EQ(CMenuXP::BreakOf(c), unsigned(MF_MENUBARBREAK));
    EXPECT_EQ(CMenuXP::BreakOf(d), 0u);
    menu.AddMenuBreak();
    EXPECT_EQ(CMenuXP::BreakOf(menu.AppendMenuItem(0, new CMenuXPItem(4, QIcon(), "x"))),
              unsigned(MF_MENUBREAK));

    QAction* plain = menu.addAction("plain");
    EXPECT_EQ(menu.ItemOf(plain), nullptr);
}

TEST(MenuXP, AcceleratorTextNeverOverrunsTheRecord) {
    CMenuXP menu;
    const CAccelText accel(CAccelText::FVIRTKEY | CAccelText::FCONTROL | CAccelText::FSHIFT, 0x74);
    auto* item = new CMenuXPItem(1, QIcon(), QString(126, QChar('x')));
    menu.AppendMenuItem(0, item, &accel);
    EXPECT_EQ(item->m_text.size(), CMenuXPItem::kMaxText);
}

TEST(MenuXP, MeasuringFollowsTheItemKind) {
    CMenuXP menu;
    const int check = CMenuXP::CheckMarkSize().width() - 1;
    const int fontHeight = QFontMetrics(menu.m_font).height();

    CMenuXPItem empty(1, QIcon(), "");
    EXPECT_EQ(menu.MeasureItem(empty), QSize(2 * 16 + 12 - check, std::max(20, fontHeight)));

    CMenuXPItem big(1, QIcon(), "", 40);
    EXPECT_EQ(menu.MeasureItem(big).height(), std::max(44, fontHeight));
    EXPECT_EQ(menu.MeasureItem(big).width(), 2 * 40 + 12 - check);

    CMenuXPItem iconOnly(1, IconById(140), "ignored");
    iconOnly.m_iconOnly = 1;
    const int h = std::max(20, fontHeight);
    EXPECT_EQ(menu.MeasureItem(iconOnly), QSize(h - check, h));

    CMenuXPItem sep;
    sep.m_separator = 1;
    EXPECT_EQ(menu.MeasureItem(sep), QSize(-check, CMenuXP::CheckMarkSize().height() / 2));

    CMenuXPItem side(0, QIcon(), "Velmora", 24);
    side.m_sideBar = 1;
    EXPECT_EQ(menu.MeasureItem(side), QSize(24 - check, 0));

    // Mnemonic marks take no room; a tab does.
    CMenuXPItem mnemonic(1, QIcon(), "Open(&O)");
    CMenuXPItem bare(1, QIcon(), "Open(O)");
    EXPECT_EQ(menu.MeasureItem(mnemonic), menu.MeasureItem(bare));
    CMenuXPItem withTab(1, QIcon(), "Open\tCtrl+O");
    CMenuXPItem noTab(1, QIcon(), "OpenCtrl+O");
    EXPECT_GT(menu.MeasureItem(withTab).width(), menu.MeasureItem(noTab).width());
}

TEST(MenuXP, RowsAreAsHighAndAtLeastAsWideAsMeasured) {
    CMenuXP menu;
    QAction* a = menu.AppendMenuItem(0, new CMenuXPItem(1, IconById(173), "Open(&O)"));
    auto* sepItem = new CMenuXPItem();
    sepItem->m_separator = 1;
    QAction* s = menu.AppendMenuItem(0, sepItem);
    menu.adjustSize();
    const int check = CMenuXP::CheckMarkSize().width() - 1;
    EXPECT_EQ(menu.actionGeometry(a).height(), menu.MeasureItem(*menu.ItemOf(a)).height());
    EXPECT_GE(menu.actionGeometry(a).width(), menu.MeasureItem(*menu.ItemOf(a)).width() + check);
    EXPECT_EQ(menu.actionGeometry(s).height(), CMenuXP::CheckMarkSize().height() / 2);
}

class MnemonicTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* text : {"&Open", "&Save", "Save &as", "&Setting", "Fish && &Chips", "&&Literal"}) {
            actions.push_back(menu.AppendMenuItem(
                0, new CMenuXPItem(static_cast<uint32_t>(actions.size() + 1), QIcon(), text)));
        }
    }
    CMenuXP menu;
    std::vector<QAction*> actions;
};

TEST_F(MnemonicTest, NoneOneOrSeveralItems) {
    int pos = -1;
    EXPECT_EQ(menu.OnMenuChar('z', &pos), MNC_IGNORE);
    EXPECT_EQ(menu.OnMenuChar('l', &pos), MNC_IGNORE);  // "&&" is a literal ampersand
    EXPECT_EQ(menu.OnMenuChar('O', &pos), MNC_EXECUTE);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(menu.OnMenuChar('c', &pos), MNC_EXECUTE);
    EXPECT_EQ(pos, 4);
    // Shared: the next after the highlighted item, wrapping to the first.
    EXPECT_EQ(menu.OnMenuChar('s', &pos), MNC_SELECT);
    EXPECT_EQ(pos, 1);
    menu.setActiveAction(actions[1]);
    EXPECT_EQ(menu.OnMenuChar('S', &pos), MNC_SELECT);
    EXPECT_EQ(pos, 3);
    menu.setActiveAction(actions[3]);
    EXPECT_EQ(menu.OnMenuChar('s', &pos), MNC_SELECT);
    EXPECT_EQ(pos, 1);
}

TEST_F(MnemonicTest, KeysSelectSharedItemsInTurnAndExecuteAUniqueOne) {
    QSignalSpy triggered(&menu, &QMenu::triggered);
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(&menu, Qt::Key_S);
    EXPECT_EQ(menu.activeAction(), actions[1]);
    QTest::keyClick(&menu, Qt::Key_S);
    EXPECT_EQ(menu.activeAction(), actions[3]);
    EXPECT_EQ(triggered.count(), 0);
    QTest::keyClick(&menu, Qt::Key_A);
    ASSERT_EQ(triggered.count(), 1);
    EXPECT_EQ(triggered.at(0).at(0).value<QAction*>(), actions[2]);
    EXPECT_FALSE(menu.isVisible());
}

class CountedItem : public CMenuXPItem {
public:
    CountedItem(int* deleted, const char* text) : CMenuXPItem(1, QIcon(), text), m_deleted(deleted) {}
    ~CountedItem() override { ++*m_deleted; }
    int* m_deleted;
};

TEST(MenuXP, DestructionDeletesRecordsAndOwnSubMenusOnly) {
    int deleted = 0;
    CountedItem foreign(&deleted, "no magic");
    foreign.m_magic = 0;
    QPointer<CMenuXP> sub = new CMenuXP();
    sub->AppendMenuItem(0, new CountedItem(&deleted, "inner"));
    QMenu other;
    {
        CMenuXP menu;
        menu.AppendMenuItem(0, new CountedItem(&deleted, "a"));
        menu.AppendMenuItem(0, new CountedItem(&deleted, "b"));
        menu.AppendMenuItem(0, &foreign);
        EXPECT_EQ(menu.ItemOf(menu.actions().at(2)), nullptr);  // ignored without the magic
        menu.AppendPopup(0, sub, new CountedItem(&deleted, "Sub"));
        menu.AppendPopup(0, &other, "Other");
    }
    EXPECT_EQ(deleted, 4);  // a, b, Sub and the sub-menu's inner item
    EXPECT_EQ(sub, nullptr);
    EXPECT_TRUE(other.actions().isEmpty());  // still alive and untouched
}

QImage GrabMenu(CMenuXP& menu) {
    menu.popup(QPoint(0, 0));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&menu));
    return menu.grab().toImage();
}

TEST(MenuXP, SelectedRowsAreDrawnInTheSelectionColour) {
    CMenuXP menu;
    QAction* open = menu.AppendMenuItem(0, new CMenuXPItem(1, IconById(173), "Open(&O)"));
    QAction* save = menu.AppendMenuItem(0, new CMenuXPItem(2, IconById(174), "Save(&S)"));
    QAction* grey = menu.AppendMenuItem(MF_GRAYED, new CMenuXPItem(3, QIcon(), "Grey"));
    menu.setActiveAction(save);
    QImage image = GrabMenu(menu);
    auto probe = [&](QAction* a) {
        const QRect r = menu.actionGeometry(a);
        return image.pixel(r.right() - 2, r.top() + 1);
    };
    EXPECT_EQ(probe(save), menu.m_clrSelected.rgb());
    EXPECT_EQ(probe(open), menu.m_clrBackground.rgb());

    // Style 2: a black frame around an enabled selection; a disabled item is not highlighted.
    menu.SetMenuStyle(CMenuXP::kStyleXP);
    image = menu.grab().toImage();
    const QRect r = menu.actionGeometry(save);
    EXPECT_EQ(image.pixel(r.left(), r.center().y()), QColor(Qt::black).rgb());
    EXPECT_EQ(image.pixel(r.center().x(), r.top()), QColor(Qt::black).rgb());
    EXPECT_EQ(image.pixel(r.right() - 3, r.top() + 2), menu.m_clrSelected.rgb());
    menu.setActiveAction(grey);
    image = menu.grab().toImage();
    const QRect g = menu.actionGeometry(grey);
    EXPECT_EQ(image.pixel(g.right() - 2, g.top() + 1), menu.m_clrBackground.rgb());
    menu.close();
}

TEST(MenuXP, SideBarIsAStripLeftOfTheRows) {
    CMenuXP menu;
    auto* side = new CMenuXPItem(0, QIcon(), "Velmora", 20);
    side->m_sideBar = 1;
    menu.AppendMenuItem(0, side);
    QAction* first = nullptr;
    for (int i = 0; i < 6; ++i) {
        QAction* a = menu.AppendMenuItem(0, new CMenuXPItem(i + 1, QIcon(), QString("Item %1").arg(i)));
        first = first != nullptr ? first : a;
    }
    const QImage image = GrabMenu(menu);
    EXPECT_GE(menu.actionGeometry(first).left(), 23);
    const QColor bottom = image.pixelColor(menu.width() > 0 ? 21 : 0, image.height() - 3);
    const QColor top = image.pixelColor(21, 2);
    EXPECT_GT(bottom.blue(), 150);  // the first colour, RGB (0, 0, 192), at the bottom
    EXPECT_LT(top.blue(), 40);      // darkening to black at the top
    EXPECT_EQ(bottom.red(), 0);
    menu.close();
}

TEST(ToolBarXP, HotCheckedAndPressedButtonsAreFramedAndFilled) {
    CToolBarXP bar;
    QAction* plain = bar.addAction(IconById(173), "Open Device");
    QAction* checked = bar.addAction(IconById(174), "Save Device");
    checked->setCheckable(true);
    checked->setChecked(true);
    bar.setGeometry(100, 100, 300, 40);
    QCursor::setPos(QPoint(1000, 1000));  // nothing hot
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const QImage image = bar.grab().toImage();
    const QRect on = bar.widgetForAction(checked)->geometry();
    const QRect off = bar.widgetForAction(plain)->geometry();
    EXPECT_EQ(image.pixel(on.left(), on.center().y()), CToolBarXP::kFramePen.rgb());
    EXPECT_EQ(image.pixel(on.left() + 1, on.top() + 1), CToolBarXP::kHotFill.rgb());
    EXPECT_EQ(image.pixel(off.left(), off.center().y()), CToolBarXP::kBackground.rgb());
    EXPECT_EQ(image.pixel(off.left() + 1, off.top() + 1), CToolBarXP::kBackground.rgb());

    QWidget* hot = bar.widgetForAction(plain);
    QTest::mouseMove(hot, hot->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hot->underMouse(); }));
    const QImage hover = bar.grab().toImage();
    EXPECT_EQ(hover.pixel(off.left(), off.center().y()), CToolBarXP::kFramePen.rgb());
    EXPECT_EQ(hover.pixel(off.left() + 1, off.top() + 1), CToolBarXP::kHotFill.rgb());
}

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* menu = new CMenuXP();
        for (const char* title : {"System(&S)", "Device(&E)", "Help(&H)"}) {
            auto* popup = new CMenuXP();
            popup->AppendMenuItem(0, new CMenuXPItem(1, IconById(173), QString(title) + " item"));
            popups.push_back(popup);
            menu->AppendPopup(0, popup, title);
        }
        first = menu;
        bar.SetMenu(menu);
        bar.setGeometry(100, 100, 400, 30);
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    }

    // Runs steps while popups are open: each step gets the open popup index and acts on it.
    void Script(std::vector<std::function<void()>> steps) {
        auto queue = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto next = std::make_shared<std::function<void()>>();
        *next = [this, queue, next] {
            if (queue->empty()) {
                return;
            }
            if (QApplication::activePopupWidget() == nullptr) {
                QTimer::singleShot(10, *next);
                return;
            }
            auto step = queue->front();
            queue->erase(queue->begin());
            step();
            QTimer::singleShot(10, *next);
        };
        QTimer::singleShot(10, *next);
    }

    void Key(Qt::Key key) { QTest::keyClick(QApplication::activePopupWidget(), key); }

    CMenuBar bar;
    QPointer<CMenuXP> first;
    std::vector<CMenuXP*> popups;
};

TEST_F(MenuBarTest, OneButtonPerItemAndANewMenuReplacesTheOld) {
    ASSERT_EQ(bar.GetItemCount(), 3);
    EXPECT_EQ(bar.GetButton(0)->text(), "System(&S)");
    EXPECT_EQ(bar.GetButton(2)->text(), "Help(&H)");
    auto* replacement = new CMenuXP();
    replacement->AppendPopup(0, new CMenuXP(), "Only");
    bar.SetMenu(replacement);
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(bar.GetItemCount(), 1);
    EXPECT_EQ(bar.GetMenu(), replacement);
}

TEST_F(MenuBarTest, ArrowsMoveBetweenPopupsAndWrapAtBothEnds) {
    std::vector<int> seen;
    QSignalSpy exits(&bar, &CMenuBar::exitMenuLoop);
    Script({
        [&] {
            seen.push_back(bar.GetPopupIndex());
            Key(Qt::Key_Right);
        },  // 2 -> 0
        [&] {
            seen.push_back(bar.GetPopupIndex());
            Key(Qt::Key_Left);
        },  // 0 -> 2
        [&] {
            seen.push_back(bar.GetPopupIndex());
            Key(Qt::Key_Left);
        },  // 2 -> 1
        [&] {
            seen.push_back(bar.GetPopupIndex());
            Key(Qt::Key_Escape);
        },
    });
    bar.TrackPopup(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits.count() == 1; }, 5000));
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 2, 1}));
    EXPECT_FALSE(bar.IsTracking());
    EXPECT_EQ(bar.GetPopupIndex(), -1);
    EXPECT_FALSE(bar.GetButton(1)->isDown());
}

TEST_F(MenuBarTest, PressOnAButtonOpensItsPopupBelowIt) {
    std::vector<int> seen;
    QPoint popupPos;
    QSignalSpy commands(&bar, &CMenuBar::commandTriggered);
    Script({[&] {
        seen.push_back(bar.GetPopupIndex());
        popupPos = QApplication::activePopupWidget()->pos();
        EXPECT_TRUE(bar.GetButton(1)->isDown());
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
    }});
    QTest::mousePress(bar.GetButton(1), Qt::LeftButton);
    EXPECT_EQ(seen, std::vector<int>{1});
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 1);
    const QPoint below = bar.GetButton(1)->mapToGlobal(QPoint(0, bar.GetButton(1)->height()));
    EXPECT_EQ(popupPos.y(), below.y());
}

TEST_F(MenuBarTest, MouseOverAnotherButtonSwitchesAndAPressOnTheSameEnds) {
    std::vector<int> seen;
    QSignalSpy exits(&bar, &CMenuBar::exitMenuLoop);
    auto send = [&](QEvent::Type type, int button) {
        QWidget* popup = QApplication::activePopupWidget();
        const QPoint global = bar.GetButton(button)->mapToGlobal(bar.GetButton(button)->rect().center());
        QMouseEvent event(type, popup->mapFromGlobal(global), popup->mapFromGlobal(global), global,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(popup, &event);
    };
    Script({
        [&] {
            seen.push_back(bar.GetPopupIndex());
            send(QEvent::MouseMove, 0);
        },  // its own button: stays
        [&] {
            seen.push_back(bar.GetPopupIndex());
            send(QEvent::MouseMove, 2);
        },
        [&] {
            seen.push_back(bar.GetPopupIndex());
            send(QEvent::MouseButtonPress, 2);
        },
    });
    bar.TrackPopup(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return exits.count() == 1; }, 5000));
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace menu_xp_test
}  // namespace nms
