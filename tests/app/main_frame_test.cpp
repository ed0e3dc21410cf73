// The main frame: window, menus and tool bar, the device-list commands and their stored path.
#include "app/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "app/command_ids.h"
#include "app/dev_alarm_list_view.h"
#include "app/dev_info_list_view.h"
#include "app/dev_tree_view.h"
#include "app/device_dlg.h"
#include "app/freq_node_dlg.h"
#include "app/login_registry.h"
#include "app/menu_bar.h"
#include "app/menu_xp.h"
#include "app/tool_bar_xp.h"
#include "devices/device_events.h"
#include "devices/device_list_file.h"
#include "devices/device_type_catalogue.h"
#include "framework/tab_wnd.h"
#include "platform/data_folder.h"
#include "platform/ip_address_edit.h"
#include "platform/keyboard_locks.h"
#include "platform/prompt.h"
#include "platform/resource_icons.h"
#include "platform/settings_store.h"
#include "qt_app_environment.h"

namespace nms {
namespace main_frame_test {

// The resource number whose icon draws the same 16-pixel image as icon, or "?".
QString IconNumber(const QIcon& icon) {
    if (icon.isNull())
        return "none";
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int id : {140, 141, 173, 174, 175, 177, 178, 179, 181, 183, 184, 187, 188, 214, 230}) {
        const QIcon candidate = IconById(id);
        if (!candidate.isNull() && candidate.pixmap(16, 16).toImage() == image)
            return QString::number(id);
    }
    return "?";
}

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::remove(DeviceTreeModel::DefaultListPath().c_str());
        WriteDevicePathToRegistry(std::string());
    }

    static std::string StoredPath() {
        std::string path;
        ReadSetting("path", &path);
        return path;
    }
    static size_t RecordsIn(const std::string& path) {
        std::vector<FileDeviceRecord> records;
        if (!ReadDeviceListFile(path, &records))
            return size_t(-1);
        return records.size();
    }

    // Answers the next modal dialog of type Dialog with fill() then OK; counts the dialogs seen.
    template <class Dialog, class Fill>
    void AnswerNextDialog(Fill fill) {
        QTimer::singleShot(0, [this, fill] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++dialogsSeen;
            fill(dialog);
            if (dialog->OnOK())
                dialog->accept();
            else
                dialog->reject();
        });
    }

    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
    int dialogsSeen = 0;
};

TEST_F(MainFrameTest, WindowCaptionAndPlace) {
    CMainFrame frame;
    EXPECT_EQ(frame.windowTitle(), "Network Management Software(Version:5.21)");
    EXPECT_EQ(frame.pos(), QPoint(0, 0));
    // The screen's size, at most 1024 x 768.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_EQ(frame.size(), QSize(1024, 768).boundedTo(screen));
    EXPECT_EQ(MainFrame(), &frame);
}

TEST(KeyboardLockTexts, NamesShownOnlyWhenKnownAndOn) {
    struct Case {
        KeyboardLocks locks;
        const char* caps;
        const char* num;
        const char* scroll;
    } cases[] = {
        {{false, true, true, true}, "", "", ""},  // the window system cannot tell: blank, never a guess
        {{true, false, false, false}, "", "", ""},        {{true, true, false, false}, "CAP", "", ""},
        {{true, false, true, false}, "", "NUM", ""},      {{true, false, false, true}, "", "", "SCRL"},
        {{true, true, true, true}, "CAP", "NUM", "SCRL"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(CapsLockText(c.locks), c.caps);
        EXPECT_STREQ(NumLockText(c.locks), c.num);
        EXPECT_STREQ(ScrollLockText(c.locks), c.scroll);
    }
}

TEST_F(MainFrameTest, StatusBarLockIndicatorsFollowTheKeyboard) {
    CMainFrame frame;
    const KeyboardLocks locks = ReadKeyboardLocks();
    const char* expected[3] = {CapsLockText(locks), NumLockText(locks), ScrollLockText(locks)};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(frame.LockIndicator(i), nullptr);
        EXPECT_EQ(frame.LockIndicator(i)->text(), expected[i]);
        EXPECT_EQ(frame.LockIndicator(i)->parentWidget(), frame.statusBar());
    }
    // A lock key's release re-reads the state; stale text is replaced.
    frame.LockIndicator(0)->setText("stale");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier);
    QApplication::sendEvent(frame.statusBar(), &release);
    EXPECT_EQ(frame.LockIndicator(0)->text(), expected[0]);
}

TEST_F(MainFrameTest, MenusAndToolBar) {
    CMainFrame frame;
    QStringList menus;
    CMenuXP* top = frame.MenuBar()->GetMenu();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(frame.MenuBar()->GetItemCount(), 5);
    for (QAction* m : top->actions()) {
        auto* popup = qobject_cast<CMenuXP*>(m->menu());
        ASSERT_NE(popup, nullptr);
        QStringList items;
        for (QAction* a : popup->actions()) {
            if (a->isSeparator()) {
                items << "-";
                continue;
            }
            const CMenuXPItem* record = popup->ItemOf(a);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->m_iconSize, 16);
            items << record->m_text + "=" + QString::number(record->m_id) + "/" + IconNumber(record->m_icon);
        }
        menus << m->text() + ": " + items.join(", ");
    }
    EXPECT_EQ(menus, QStringList({
                         "System(&S): Open(&O)=57601/173, Save(&S)=32803/174, Save as(&A)=32804/175, -, "
                         "Exit(&E)=57665/177",
                         "Device(&E): Add Freq Node(&P)=32771/140, Add Device(&D)=32772/141, -, "
                         "Edit Device(&M)=32775/178, Delete Device(&R)=32776/179",
                         "Operate(&V): Save Config(&S)=32795/181, Restore to Factory(&F)=32782/188, "
                         "Reload Config(&L)=32812/230, -, Import Config(&I)=32794/187, "
                         "Export Config(&O)=32805/214",
                         "Setting(&C): User Setting(&M)=32798/183",
                         "Help(&H): About NMS(&A)...=57664/184",
                     }));
    CToolBarXP* bar = frame.ToolBar();
    ASSERT_NE(bar, nullptr);
    QStringList buttons;
    for (QAction* a : bar->actions())
        buttons << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(buttons, QStringList({"Open Device", "Save Device", "-", "Add Freq Node", "Add Device",
                                    "Edit Device", "Del Device", "-", "Save Config", "Restore Conf.",
                                    "Reload Config", "-", "Import Config", "Export Config"}));
    EXPECT_EQ(bar->iconSize(), QSize(32, 32));
}

TEST_F(MainFrameTest, BandsShowTheBackgroundBitmap) {
    CMainFrame frame;
    frame.show();
    QApplication::processEvents();
    const QImage tile = PixmapById(CMainFrame::kBandBitmap).toImage();
    ASSERT_FALSE(tile.isNull());
    for (CToolBarXP* band : {static_cast<CToolBarXP*>(frame.MenuBar()), frame.ToolBar()}) {
        const QImage image = band->grab().toImage();
        ASSERT_GT(image.height(), 4);
        // Points beside the buttons: the bitmap tiled from the band's corner.
        for (const QPoint p : {QPoint(image.width() - 2, 1), QPoint(image.width() - 2, image.height() - 2)}) {
            SCOPED_TRACE(band->windowTitle().toStdString() + " y " + std::to_string(p.y()));
            EXPECT_EQ(image.pixelColor(p).rgb(),
                      tile.pixelColor(p.x() % tile.width(), p.y() % tile.height()).rgb());
        }
    }
}

TEST_F(MainFrameTest, PanesAtAFifthAndThreeQuarters) {
    CMainFrame frame;
    frame.resize(1000, 760);
    frame.show();
    QApplication::processEvents();
    CDevTreeView* tree = frame.DevTree();
    EXPECT_NEAR(tree->parentWidget()->width(), 1000 / 5, 1);
    EXPECT_NEAR(frame.TabWindow()->height(), 760 * 3 / 4, 1);
    EXPECT_LT(frame.TabWindow()->mapTo(&frame, QPoint(0, 0)).y(),
              frame.AlarmList()->mapTo(&frame, QPoint(0, 0)).y());
    EXPECT_LT(tree->mapTo(&frame, QPoint(0, 0)).y(), frame.InfoList()->mapTo(&frame, QPoint(0, 0)).y());
    EXPECT_LT(tree->mapTo(&frame, QPoint(0, 0)).x(), frame.TabWindow()->mapTo(&frame, QPoint(0, 0)).x());
}

TEST_F(MainFrameTest, SaveAsRecordsThePathOnlyWhenTheSaveWorked) {
    CMainFrame frame;
    CDevTreeView* tree = frame.DevTree();
    tree->FindOrAddNode("N");
    tree->AddDevice("N", "D", 0x2101, 0x0100007F, 2009);

    const std::string good = DataFolder() + "/other.db";
    const std::string bad = DataFolder() + "/no such folder/x.db";
    prompt.fileAnswers = {bad, good};
    frame.OnCommand(ID_SAVE_DEVICES_AS);
    EXPECT_EQ(prompt.fileRequests.at(0).fileName, "DevInfo");
    EXPECT_EQ(prompt.fileRequests.at(0).defaultExt, "db");
    EXPECT_EQ(prompt.fileRequests.at(0).filter, "*.db|*.db||");
    EXPECT_TRUE(prompt.fileRequests.at(0).save);
    EXPECT_EQ(prompt.shown.size(), 1u);  // the failure is told
    EXPECT_EQ(StoredPath(), "");

    frame.OnCommand(ID_SAVE_DEVICES_AS);
    EXPECT_EQ(StoredPath(), good);
    EXPECT_EQ(RecordsIn(good), 1u);

    // An automatic save after an operator's add writes devinfo.db, so the stored path follows it.
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->AddDevice("", "E", 0x2101, 0x0200007F, 2009);
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), 2u);
    EXPECT_EQ(StoredPath(), "");
}

TEST_F(MainFrameTest, SaveClearsTheStoredPath) {
    CMainFrame frame;
    WriteDevicePathToRegistry("/somewhere/list.db");
    frame.OnCommand(ID_SAVE_DEVICES);
    EXPECT_EQ(StoredPath(), "");
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), 0u);
}

TEST_F(MainFrameTest, DeleteSavesOnlyAfterADeletion) {
    CMainFrame frame;
    CDevTreeView* tree = frame.DevTree();
    tree->FindOrAddNode("N");
    DeviceRecord* device = tree->AddDevice("N", "D", 0x2101, 0x0100007F, 2009).get();
    WriteDevicePathToRegistry("/kept/list.db");
    tree->setCurrentItem(tree->ItemOf(device));

    prompt.answers = {IDCANCEL};
    frame.OnCommand(ID_DELETE_DEVICE);
    EXPECT_EQ(tree->Registry().Size(), 1u);
    EXPECT_EQ(StoredPath(), "/kept/list.db");
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), size_t(-1));  // nothing written

    // A node that still has devices is refused the same way.
    tree->setCurrentItem(tree->topLevelItem(0));
    prompt.shown.clear();
    frame.OnCommand(ID_DELETE_DEVICE);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Please delete device first!");
    EXPECT_EQ(StoredPath(), "/kept/list.db");

    tree->setCurrentItem(tree->ItemOf(device));
    prompt.answers = {IDOK};
    frame.OnCommand(ID_DELETE_DEVICE);
    EXPECT_EQ(tree->Registry().Size(), 0u);
    EXPECT_EQ(StoredPath(), "");
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), 0u);
}

TEST_F(MainFrameTest, OpenLoadsTheChosenFile) {
    const std::string path = DataFolder() + "/open.db";
    {
        DeviceRegistry registry;
        DeviceTreeModel model(registry);
        model.FindOrAddNode("Far");
        model.AddDevice("Far", "Enc", 0x1101, 0x0300007F, 2009);
        ASSERT_TRUE(model.SaveDevices(path));
    }
    CMainFrame frame;
    CDevTreeView* tree = frame.DevTree();
    tree->FindOrAddNode("Near");
    DeviceRecord* shown = tree->AddDevice("Near", "Mux", 0x2101, 0x0100007F, 2009).get();
    tree->setCurrentItem(tree->ItemOf(shown));
    ASSERT_EQ(frame.ShownPages().size(), 7u);

    // The list loaded before goes with its pages; the file's list takes its place.
    prompt.fileAnswers = {path};
    frame.OnCommand(ID_FILE_OPEN);
    EXPECT_TRUE(frame.ShownPages().empty());
    EXPECT_EQ(tree->Registry().Size(), 1u);
    EXPECT_FALSE(prompt.fileRequests.at(0).save);
    EXPECT_EQ(prompt.fileRequests.at(0).defaultExt, "db");
    EXPECT_EQ(prompt.fileRequests.at(0).filter, "*.db|*.db||");
    ASSERT_EQ(frame.DevTree()->topLevelItemCount(), 1);
    EXPECT_EQ(frame.DevTree()->topLevelItem(0)->text(0), "Far");
    EXPECT_EQ(frame.DevTree()->topLevelItem(0)->child(0)->text(0), "Enc");
}

TEST_F(MainFrameTest, AddNodeAndDeviceThroughTheDialogs) {
    CMainFrame frame;
    CDevTreeView* tree = frame.DevTree();

    AnswerNextDialog<CFreqNodeDlg>([](CFreqNodeDlg* d) { d->NameEdit()->setText("Node 1"); });
    frame.OnCommand(ID_ADD_FREQ_NODE);
    EXPECT_EQ(dialogsSeen, 1);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Node 1");
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), size_t(-1));  // adding a node saves nothing

    // Nothing selected: no dialog at all.
    AnswerNextDialog<CDeviceDlg>([](CDeviceDlg*) {});
    frame.OnCommand(ID_ADD_DEVICE);
    QApplication::processEvents();
    EXPECT_EQ(dialogsSeen, 1);
    EXPECT_EQ(tree->Registry().Size(), 0u);

    WriteDevicePathToRegistry("/before/list.db");
    tree->setCurrentItem(tree->topLevelItem(0));
    AnswerNextDialog<CDeviceDlg>([](CDeviceDlg* d) {
        d->TypeList()->setCurrentIndex(15);
        d->NameEdit()->setText("Mod");
        d->AddressCtrl()->SetAddressText("127.0.0.9");
        d->PortEdit()->setText("2010");
    });
    frame.OnCommand(ID_ADD_DEVICE);
    EXPECT_EQ(dialogsSeen, 2);
    ASSERT_EQ(tree->Registry().Size(), 1u);
    DeviceRecord* device = tree->Registry().Snapshot()[0].get();
    EXPECT_EQ(device->deviceName, "Mod");
    EXPECT_EQ(device->nodeName, "Node 1");
    EXPECT_EQ(device->typeCode, DeviceTypeAt(15).typeCode);
    EXPECT_EQ(device->AddressBytes(), (std::array<uint8_t, 4>{127, 0, 0, 9}));
    EXPECT_EQ(device->port, 2010);
    EXPECT_EQ(tree->ItemOf(device)->parent(), tree->topLevelItem(0));
    EXPECT_EQ(RecordsIn(DeviceTreeModel::DefaultListPath()), 1u);
    EXPECT_EQ(StoredPath(), "");

    // Editing the selected device renames its item and refreshes the information list.
    tree->setCurrentItem(tree->ItemOf(device));
    AnswerNextDialog<CDeviceDlg>([](CDeviceDlg* d) {
        EXPECT_EQ(d->windowTitle(), "Edit Device");
        EXPECT_EQ(d->TypeList()->currentIndex(), 15);
        EXPECT_EQ(d->AddressCtrl()->GetAddressText(), "127.0.0.9");
        d->NameEdit()->setText("Mod B");
    });
    frame.OnCommand(ID_EDIT_DEVICE);
    EXPECT_EQ(dialogsSeen, 3);
    EXPECT_EQ(device->deviceName, "Mod B");
    EXPECT_EQ(tree->ItemOf(device)->text(0), "Mod B");
    EXPECT_EQ(frame.InfoList()->Value(CDevInfoListView::kRowName), "Mod B");

    // Renaming the node renames the node of its devices.
    tree->setCurrentItem(tree->topLevelItem(0));
    AnswerNextDialog<CFreqNodeDlg>([](CFreqNodeDlg* d) {
        EXPECT_EQ(d->windowTitle(), "Edit Frequency Node");
        d->NameEdit()->setText("Node 2");
    });
    frame.OnCommand(ID_EDIT_DEVICE);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "Node 2");
    EXPECT_EQ(device->nodeName, "Node 2");
}

TEST_F(MainFrameTest, DeviceEventsReachTheAlarmListAndTheLog) {
    const std::string log = DataFilePath("alarmlog.txt");
    std::remove(log.c_str());
    DeviceRecord device;
    device.deviceName = "Mux \xD6\xD0";  // GBK text stays bytes in the log
    device.typeCode = 0x2101;
    device.SetAddressBytes(127, 0, 0, 7);
    DeviceRecord stranger;
    stranger.deviceName = "X";
    stranger.typeCode = 0x4124;  // in no catalogue row
    {
        CMainFrame frame;
        PostDeviceEvent(&device, "Device online");
        PostDeviceEvent(&stranger, "Device offline");
        CDevAlarmListView* alarms = frame.AlarmList();
        ASSERT_EQ(alarms->rowCount(), 2);
        EXPECT_EQ(alarms->Text(0, 0), QString::fromUtf8("Mux \xE4\xB8\xAD"));
        EXPECT_EQ(alarms->Text(0, 1), "127.0.0.7");
        EXPECT_EQ(alarms->Text(0, 2), "ASI Multiplexer(8ASI)");
        EXPECT_EQ(alarms->Text(0, 3), "Device online");
        EXPECT_EQ(alarms->Text(1, 2), "");

        // Emptying the list never shortens the log.
        prompt.answers = {IDOK};
        alarms->OnCommand(CDevAlarmListView::ID_EMPTY_ALL);
        EXPECT_EQ(alarms->rowCount(), 0);
    }
    PostDeviceEvent(&device, "after the frame");  // no frame: dropped

    std::ifstream in(log, std::ios::binary);
    std::string line1, line2, line3;
    std::getline(in, line1);
    std::getline(in, line2);
    EXPECT_FALSE(std::getline(in, line3));
    EXPECT_EQ(line1.rfind("Mux \xD6\xD0   127.0.0.7   ASI Multiplexer(8ASI)   Device online   ", 0), 0u)
        << line1;
    EXPECT_EQ(line2.rfind("X   0.0.0.0      Device offline   ", 0), 0u) << line2;
}

}  // namespace main_frame_test
}  // namespace nms
