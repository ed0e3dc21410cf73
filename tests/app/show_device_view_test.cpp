// The pages the main frame shows for the selected device: exactly the catalogue's tabs, in order, the
// first active and receiving the device's replies, each with its PageParam.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>

#include "app/dev_info_list_view.h"
#include "app/dev_tree_view.h"
#include "app/main_frame.h"
#include "app/page_registry.h"
#include "devices/device_record.h"
#include "devices/device_type_catalogue.h"
#include "devices/reply_routing.h"
#include "framework/tab_wnd.h"
#include "page_fixture.h"
#include "page_reply_driver.h"
#include "pagebase/placeholder_page.h"
#include "platform/prompt.h"
#include "qt_app_environment.h"

namespace nms {
namespace show_device_view_test {

std::string ClassOf(CFormTemplateView* page) {
    if (auto* placeholder = qobject_cast<CPlaceholderPage*>(page))
        return placeholder->ClassName();
    std::string name = page->metaObject()->className();
    return name.rfind("nms::", 0) == 0 ? name.substr(5) : name;
}

QString TabText(TTabWnd* tabs, int index) {
    TTabItem* item = tabs->GetTabItem(index);
    return item && item->m_caption ? item->m_caption->text() : QString();
}

class ShowDeviceViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame.show();
        tree = frame.DevTree();
        tree->FindOrAddNode("Head-end");
        for (int row = 0; row < DeviceTypeCount(); ++row) {
            const DeviceTypeInfo& type = DeviceTypeAt(row);
            devices.push_back(tree->AddDevice("Head-end", "Dev " + std::to_string(row), type.typeCode,
                                              0x0100007F + (uint32_t(row) << 24), 2009)
                                  .get());
            ASSERT_NE(devices.back(), nullptr) << row;
        }
    }

    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
    CMainFrame frame;
    CDevTreeView* tree = nullptr;
    std::vector<DeviceRecord*> devices;
};

TEST_F(ShowDeviceViewTest, EveryCatalogueRowShowsItsTabsInOrder) {
    ASSERT_EQ(DeviceTypeCount(), 61);
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        DeviceRecord* device = devices[row];
        tree->setCurrentItem(tree->ItemOf(device));

        TTabWnd* tabs = frame.TabWindow();
        const std::vector<CFormTemplateView*> pages = frame.ShownPages();
        const int expected = type.singleViewClass ? 1 : type.pageCount;
        ASSERT_EQ(tabs->GetTabCount(), expected);
        ASSERT_EQ(int(pages.size()), expected);
        EXPECT_EQ(tabs->GetActiveTab(), 0);
        for (int i = 0; i < expected; ++i) {
            CFormTemplateView* page = pages[i];
            EXPECT_EQ(page->Device(), device);
            if (type.singleViewClass) {
                EXPECT_EQ(TabText(tabs, i).toStdString(), type.name);
                EXPECT_EQ(ClassOf(page), type.singleViewClass);
                EXPECT_EQ(page->PageParam(), 0);
            } else {
                EXPECT_EQ(TabText(tabs, i).toStdString(), type.pages[i].caption) << i;
                EXPECT_EQ(ClassOf(page), type.pages[i].pageClass) << i;
                EXPECT_EQ(page->PageParam(), type.pages[i].pageParam) << i;
                EXPECT_EQ(page->FirstPage(), pages[0]) << i;
            }
        }
        // The active page is the one the device's replies go to.
        EXPECT_EQ(ReplyWindowOf(device), static_cast<IReplyReceiver*>(pages[0]));
        EXPECT_EQ(frame.InfoList()->Value(CDevInfoListView::kRowType).toStdString(), type.name);
    }
}

TEST_F(ShowDeviceViewTest, RowFifteenShowsOneModulatorTab) {
    tree->setCurrentItem(tree->ItemOf(devices[15]));
    ASSERT_EQ(frame.TabWindow()->GetTabCount(), 1);
    EXPECT_EQ(TabText(frame.TabWindow(), 0), "Modulator");
    EXPECT_EQ(frame.ShownPages()[0]->PageParam(), 0);
}

TEST_F(ShowDeviceViewTest, PlaceholderShowsClassAndPageParam) {
    // The first row whose first page is not built yet.
    RegisterBuiltPages();
    int row = 0;
    for (; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& type = DeviceTypeAt(row);
        const char* first = type.singleViewClass ? type.singleViewClass : type.pages[0].pageClass;
        if (!IsPageRegistered(first))
            break;
    }
    if (row == DeviceTypeCount())
        GTEST_SKIP() << "every page is built";
    const DeviceTypeInfo& type = DeviceTypeAt(row);
    const int pageParam = type.singleViewClass ? 0 : type.pages[0].pageParam;
    tree->setCurrentItem(tree->ItemOf(devices[size_t(row)]));
    const auto pages = frame.ShownPages();
    ASSERT_FALSE(pages.empty());
    auto* first = qobject_cast<CPlaceholderPage*>(pages[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text().toStdString(),
              ClassOf(pages[0]) + " (PageParam " + std::to_string(pageParam) + ")");
}

TEST_F(ShowDeviceViewTest, SelectingANodeChangesNothing) {
    tree->setCurrentItem(tree->ItemOf(devices[32]));
    const auto before = frame.ShownPages();
    ASSERT_EQ(before.size(), 7u);
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(frame.ShownPages(), before);
    EXPECT_EQ(frame.InfoList()->Value(CDevInfoListView::kRowName), "Dev 32");
}

TEST_F(ShowDeviceViewTest, DeletingTheSelectedDeviceRemovesItsTabs) {
    tree->setCurrentItem(tree->ItemOf(devices[33]));
    ASSERT_EQ(frame.TabWindow()->GetTabCount(), 6);
    prompt.answers = {IDOK};
    ASSERT_EQ(tree->DeleteSelected(), DeviceTreeModel::DeleteResult::Deleted);
    EXPECT_EQ(frame.TabWindow()->GetTabCount(), 0);
    EXPECT_TRUE(frame.ShownPages().empty());
    EXPECT_EQ(frame.InfoList()->Value(CDevInfoListView::kRowName), "");
    EXPECT_EQ(tree->currentItem(), nullptr);  // the selection does not move on to another device
}

TEST_F(ShowDeviceViewTest, UnknownTypeShowsNoPages) {
    tree->setCurrentItem(tree->ItemOf(devices[0]));
    DeviceRecord stranger;
    stranger.typeCode = 0x4124;
    frame.ShowDeviceView(&stranger, 1);
    EXPECT_EQ(frame.TabWindow()->GetTabCount(), 0);
}

TEST(PageRegistryTest, UnbuiltClassesGetPlaceholders) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("Cqam4"));
    EXPECT_TRUE(IsPageRegistered("CDVBSSystemView"));
    EXPECT_FALSE(IsPageRegistered("NoSuchPage"));
    EXPECT_EQ(CreatePage("", nullptr), nullptr);
    std::unique_ptr<CFormTemplateView> page(CreatePage("NoSuchPage", nullptr));
    auto* placeholder = qobject_cast<CPlaceholderPage*>(page.get());
    ASSERT_NE(placeholder, nullptr);
    EXPECT_EQ(placeholder->ClassName(), "NoSuchPage");
    // Every class the catalogue names can be made.
    for (const std::string& name : AllPageClassNames()) {
        std::unique_ptr<CFormTemplateView> made(CreatePage(name, nullptr));
        EXPECT_NE(made, nullptr) << name;
    }
}

// The page area of the main window at its largest size (1024 x 768): the right pane less the tab strip.
constexpr int kPageAreaWidth = 814;
constexpr int kPageAreaHeight = 544;

TEST(PageFitTest, EveryPageVariantFitsThePageArea) {
    // Whatever a page lays out must fit the area, or its lower or right part lies outside the tab window
    // and the operator cannot reach it.
    for (const auto& [name, pageParam] : test::AllPageVariants()) {
        SCOPED_TRACE(name + " " + std::to_string(pageParam));
        test::PageFixture fx(test::TypeShowing(name, pageParam));
        std::unique_ptr<CFormTemplateView> page(CreatePage(name, nullptr));
        page->resize(kPageAreaWidth, kPageAreaHeight);
        fx.Bind(page.get(), pageParam);
        const QSize least = page->minimumSizeHint();
        EXPECT_LE(least.width(), kPageAreaWidth);
        EXPECT_LE(least.height(), kPageAreaHeight);
    }
}

}  // namespace show_device_view_test
}  // namespace nms
