#include "app/config_transfer_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "devices/device_record.h"
#include "devices/device_type_catalogue.h"
#include "devices/reply_routing.h"
#include "platform/codepage.h"
#include "platform/prompt.h"
#include "platform/window_timers.h"

namespace nms {

CConfigTransferDlg::CConfigTransferDlg(DeviceRecord* device, int import, QWidget* parent)
    : QDialog(parent), m_device(device), m_import(import != 0) {
    m_timers = std::make_unique<WindowTimers>([this](int id) { OnTimer(id); });
    m_transfer = std::make_unique<ConfigTransfer>(device, m_import, *this);

    m_path = new QLineEdit(this);
    m_browse = new QPushButton("...", this);
    m_deviceName = new QLineEdit(this);
    m_deviceType = new QLineEdit(this);
    m_deviceName->setReadOnly(true);
    m_deviceType->setReadOnly(true);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_blockCount = new QLabel(this);
    m_percent = new QLabel(this);
    m_start = new QPushButton(m_import ? "Import" : "Export", this);
    m_erase = new QPushButton("Erase", this);
    m_cancel = new QPushButton("Cancel", this);
    // Cancel stays usable during a transfer: it is the way out of a wait that gets no reply.
    m_cancel->setCursor(Qt::ArrowCursor);

    connect(m_browse, &QPushButton::clicked, this, &CConfigTransferDlg::OnBrowse);
    connect(m_start, &QPushButton::clicked, this, &CConfigTransferDlg::OnStart);
    connect(m_erase, &QPushButton::clicked, this, &CConfigTransferDlg::OnErase);
    connect(m_cancel, &QPushButton::clicked, this, &CConfigTransferDlg::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Device Name", this), 0, 0);
    grid->addWidget(m_deviceName, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Device Type", this), 1, 0);
    grid->addWidget(m_deviceType, 1, 1, 1, 2);
    grid->addWidget(new QLabel("Config File Path", this), 2, 0);
    grid->addWidget(m_path, 2, 1);
    grid->addWidget(m_browse, 2, 2);
    grid->addWidget(m_progress, 3, 0, 1, 3);
    auto* counts = new QHBoxLayout;
    counts->addWidget(m_blockCount);
    counts->addStretch(1);
    counts->addWidget(m_percent);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_erase);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(counts);
    layout->addLayout(buttons);

    // Opening: replies 23 to 25 come here from now on.
    SetTransferWindow(m_device, this);
    m_deviceName->setText(QString::fromStdString(GbkToUtf8(m_device->deviceName)));
    const DeviceTypeInfo* type = FindDeviceTypeByCode(m_device->typeCode);
    m_deviceType->setText(type ? QString::fromUtf8(type->name) : QString());
    setWindowTitle(m_import ? "Import Config" : "Export Config");
    m_erase->setVisible(m_import);
    RefreshControls();
}

CConfigTransferDlg::~CConfigTransferDlg() {
    m_transfer->Cancel();
    UnregisterReceiver(m_device, this);
}

int CConfigTransferDlg::DoModal() {
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CConfigTransferDlg::OnBrowse() {
    const std::string ext = ConfigFileExtension(m_device->typeCode);
    FileRequest request;
    request.save = !m_import;
    request.defaultExt = ext;
    request.fileName = GbkToUtf8(m_device->deviceName);
    char filter[64];
    std::snprintf(filter, sizeof filter, "*.%s|*.%s||", ext.c_str(), ext.c_str());
    request.filter = filter;
    const std::string path = Prompt().ChooseFile(request);
    if (!path.empty())
        m_path->setText(QString::fromStdString(path));
}

void CConfigTransferDlg::OnStart() {
    m_transfer->Start(m_path->text().toStdString());
}

void CConfigTransferDlg::OnErase() {
    if (m_import)
        m_transfer->Erase();
}

void CConfigTransferDlg::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device == m_device)
        m_transfer->OnReply(reply);
}

void CConfigTransferDlg::OnTimer(int id) {
    if (id == kTransferTimerId)
        m_transfer->OnTimeout();
}

void CConfigTransferDlg::reject() {
    // Closing ends a running transfer and frees the device; a late reply then finds no window.
    m_transfer->Cancel();
    UnregisterReceiver(m_device, this);
    QDialog::reject();
}

void CConfigTransferDlg::SetProgressRange(int maximum) {
    m_progress->setRange(0, maximum);
}
void CConfigTransferDlg::SetProgress(int position) {
    m_progress->setValue(qMin(position, m_progress->maximum()));
}
void CConfigTransferDlg::SetPercentText(const std::string& text) {
    m_percent->setText(QString::fromStdString(text));
}
void CConfigTransferDlg::SetBlockCountText(const std::string& text) {
    m_blockCount->setText(QString::fromStdString(text));
}

void CConfigTransferDlg::EnableStart(bool) {
    RefreshControls();
}

void CConfigTransferDlg::BeginWait() {
    m_waiting = true;
    m_timers->SetTimer(kTransferTimerId, kTransferWaitMs);
    setCursor(Qt::WaitCursor);
    RefreshControls();
}

void CConfigTransferDlg::EndWait() {
    m_waiting = false;
    m_timers->KillTimer(kTransferTimerId);
    unsetCursor();
    RefreshControls();
}

void CConfigTransferDlg::ShowFinished() {
    m_cancel->setText("Close");
}

void CConfigTransferDlg::RefreshControls() {
    m_start->setEnabled(m_transfer->StartEnabled() && !m_waiting);
    m_erase->setEnabled(!m_waiting);
    m_browse->setEnabled(!m_waiting);
    m_path->setReadOnly(m_waiting);
}

}  // namespace nms
