// The Import Config / Export Config dialog of one device: the file, the progress of the block transfer,
// and in import mode the erase that has to succeed before an import may start. The transfer itself is
// ConfigTransfer; this window feeds it clicks, the device's replies 23 to 25 and the 240-s time-out.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "devices/config_transfer.h"
#include "devices/reply_receiver.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace nms {

class WindowTimers;

class CConfigTransferDlg : public QDialog, public IReplyReceiver, public IConfigTransferView {
    Q_OBJECT
public:
    // import: 1 import, 0 export. Becomes the device's transfer window until it is destroyed.
    CConfigTransferDlg(DeviceRecord* device, int import, QWidget* parent = nullptr);
    ~CConfigTransferDlg() override;

    // 1 OK, 2 otherwise (the dialog only closes with Cancel / Close).
    int DoModal();

    ConfigTransfer& Transfer() { return *m_transfer; }
    WindowTimers& Timers() { return *m_timers; }
    QLineEdit* PathEdit() const { return m_path; }
    QPushButton* BrowseButton() const { return m_browse; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* EraseButton() const { return m_erase; }
    QPushButton* CancelButton() const { return m_cancel; }
    QProgressBar* Progress() const { return m_progress; }
    QLabel* PercentLabel() const { return m_percent; }
    QLabel* BlockCountLabel() const { return m_blockCount; }
    QLineEdit* DeviceNameEdit() const { return m_deviceName; }
    QLineEdit* DeviceTypeEdit() const { return m_deviceType; }

    void OnBrowse();
    void OnStart();
    void OnErase();

    // IReplyReceiver
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnConfigOperation(int started, int operation) override {}
    void OnTimer(int id) override;

    // IConfigTransferView
    void SetProgressRange(int maximum) override;
    void SetProgress(int position) override;
    void SetPercentText(const std::string& text) override;
    void SetBlockCountText(const std::string& text) override;
    void EnableStart(bool enable) override;
    void BeginWait() override;
    void EndWait() override;
    void ShowFinished() override;

public slots:
    void reject() override;

private:
    void RefreshControls();

    DeviceRecord* m_device;
    bool m_import;
    bool m_waiting = false;
    std::unique_ptr<WindowTimers> m_timers;
    std::unique_ptr<ConfigTransfer> m_transfer;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QLineEdit* m_deviceName;
    QLineEdit* m_deviceType;
    QProgressBar* m_progress;
    QLabel* m_blockCount;
    QLabel* m_percent;
    QPushButton* m_start;
    QPushButton* m_erase;
    QPushButton* m_cancel;
};

}  // namespace nms
