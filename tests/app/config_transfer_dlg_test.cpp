#include "app/config_transfer_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "devices/device_list_file.h"
#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"
#include "platform/prompt.h"
#include "platform/window_timers.h"
#include "qt_app_environment.h"

namespace nms {
namespace config_transfer_dlg_test {

namespace fs = std::filesystem;

class TransferDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.deviceName = "Mux A";
        device.typeCode = 0x2101;
        device.status = 3;
        dir = fs::temp_directory_path() / ("cfg_dlg_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Delivers a reply as the network thread does (to the device's transfer window).
    void Deliver(uint8_t command, uint8_t b, uint8_t c, const std::vector<uint8_t>& payload = {}) {
        std::vector<uint8_t> packet = {
            0x21, 0x01, b, c, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        packet.insert(packet.end(), payload.begin(), payload.end());
        DeliverDeviceReply(&device, ReplyView(packet.data(), int(packet.size())));
    }
    int TakeCommand() {
        const int n = device.link->sendLength;
        device.link->sendLength = 0;
        return n ? device.link->sendBuffer[4] : -1;
    }

    DeviceRecord device;
    fs::path dir;
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
};

TEST_F(TransferDlgTest, ExportModeTextsAndBrowse) {
    CConfigTransferDlg dlg(&device, 0);
    EXPECT_EQ(dlg.windowTitle(), "Export Config");
    EXPECT_EQ(dlg.StartButton()->text(), "Export");
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_TRUE(dlg.EraseButton()->isHidden());
    EXPECT_EQ(dlg.CancelButton()->text(), "Cancel");
    QStringList labels;
    for (QLabel* label : dlg.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            labels << label->text();
    EXPECT_EQ(labels, QStringList({"Device Name", "Device Type", "Config File Path"}));
    EXPECT_EQ(dlg.EraseButton()->text(), "Erase");
    EXPECT_EQ(dlg.DeviceNameEdit()->text(), "Mux A");
    EXPECT_FALSE(dlg.DeviceTypeEdit()->text().isEmpty());
    EXPECT_EQ(TransferWindowOf(&device), &dlg);

    prompt.fileAnswers = {(dir / "a.mux").string()};
    dlg.OnBrowse();
    ASSERT_EQ(prompt.fileRequests.size(), 1u);
    EXPECT_TRUE(prompt.fileRequests[0].save);
    EXPECT_EQ(prompt.fileRequests[0].defaultExt, "mux");
    EXPECT_EQ(prompt.fileRequests[0].filter, "*.mux|*.mux||");
    EXPECT_EQ(prompt.fileRequests[0].fileName, "Mux A");
    EXPECT_EQ(dlg.PathEdit()->text().toStdString(), (dir / "a.mux").string());
}

TEST_F(TransferDlgTest, ImportEnabledOnlyByEraseAndCancelFreesTheDevice) {
    CConfigTransferDlg dlg(&device, 1);
    EXPECT_EQ(dlg.windowTitle(), "Import Config");
    EXPECT_EQ(dlg.StartButton()->text(), "Import");
    EXPECT_FALSE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(dlg.EraseButton()->isHidden());

    dlg.EraseButton()->click();
    EXPECT_EQ(TakeCommand(), 24);
    EXPECT_TRUE(dlg.Timers().IsActive(kTransferTimerId));
    EXPECT_EQ(dlg.Timers().Interval(kTransferTimerId), 240000);
    EXPECT_EQ(device.busy, 1);
    EXPECT_TRUE(dlg.CancelButton()->isEnabled());
    Deliver(24, 1, 1);
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(dlg.Timers().IsActive(kTransferTimerId));
    EXPECT_EQ(dlg.PercentLabel()->text(), "100%");

    // An import that gets no reply: closing the dialog ends the wait and frees the device.
    DeviceRecord header;
    header.typeCode = 0x2101;
    const auto bytes = EncodeDeviceRecord(header);
    const std::string path = (dir / "a.mux").string();
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        out << std::string(204800, 'x');
    }
    dlg.PathEdit()->setText(QString::fromStdString(path));
    dlg.StartButton()->click();
    EXPECT_EQ(TakeCommand(), 25);
    EXPECT_EQ(device.busy, 1);
    EXPECT_FALSE(dlg.StartButton()->isEnabled());
    dlg.CancelButton()->click();
    EXPECT_EQ(device.busy, 0);
    EXPECT_EQ(TransferWindowOf(&device), nullptr);
    Deliver(25, 1, 201);  // reaches nobody
    EXPECT_EQ(TakeCommand(), -1);
}

TEST_F(TransferDlgTest, TimeoutEndsTheWaitAndFinishedShowsClose) {
    CConfigTransferDlg dlg(&device, 0);
    dlg.PathEdit()->setText(QString::fromStdString((dir / "b.mux").string()));
    dlg.StartButton()->click();
    EXPECT_EQ(TakeCommand(), 23);
    EXPECT_FALSE(dlg.StartButton()->isEnabled());
    ASSERT_TRUE(dlg.Timers().Fire(kTransferTimerId));
    EXPECT_EQ(device.busy, 0);
    EXPECT_TRUE(dlg.StartButton()->isEnabled());
    EXPECT_FALSE(fs::exists(dir / "b.mux"));

    dlg.StartButton()->click();
    for (int block = 1; block <= 250; ++block) {
        ASSERT_EQ(TakeCommand(), 23);
        Deliver(23, uint8_t(block), 250, std::vector<uint8_t>(1024, uint8_t(block)));
    }
    EXPECT_EQ(dlg.CancelButton()->text(), "Close");
    EXPECT_EQ(fs::file_size(dir / "b.mux"), 114u + 250 * 1024);
    EXPECT_EQ(dlg.BlockCountLabel()->text(), "250");
}

}  // namespace config_transfer_dlg_test
}  // namespace nms
