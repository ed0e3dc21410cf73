#include "pages/receiver/dvbs2_signal_monitor_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "devices/device_packet.h"
#include "pagebase/lamp.h"
#include "pages/receiver/dvbs_monitor_logic.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = 66;
// Retries the map read of a showing until the version request ahead of it has left the send slot.
constexpr int kMapReadTimerId = 67;
constexpr int kMapReadRetryMs = 20;

}  // namespace

CDVBS2signalMonitor::CDVBS2signalMonitor(QWidget* parent) : CFormTemplateView(parent) {
    auto* grid = new QGridLayout;
    const char* const captions[] = {"NO.", "Lock", "Bitrate(Mbps)", "MIN", "MAX", "Physics Ch."};
    for (size_t i = 0; i < m_captions.size(); ++i)
        m_captions[i] = new QLabel(captions[i], this);
    m_qualityCaption = new QLabel("Signal Quality", this);
    grid->addWidget(m_captions[0], 0, 0);
    grid->addWidget(m_captions[1], 0, 1);
    grid->addWidget(m_captions[2], 0, 2);
    auto* scale = new QHBoxLayout;
    scale->addWidget(m_captions[3]);
    scale->addStretch();
    scale->addWidget(m_qualityCaption);
    scale->addStretch();
    scale->addWidget(m_captions[4]);
    grid->addLayout(scale, 0, 3);
    grid->addWidget(m_captions[5], 0, 5);
    m_physicalCaption = m_captions[5];
    for (int r = 0; r < 16; ++r) {
        const size_t i = size_t(r);
        m_numbers[i] = new QLabel(QString::number(r + 1), this);
        m_lamps[i] = MakeLamp(this);
        m_bitrates[i] = new QLineEdit(this);
        m_bitrates[i]->setReadOnly(true);
        m_quality[i] = new QProgressBar(this);
        m_quality[i]->setTextVisible(false);
        m_quality[i]->setRange(0, 100);
        m_quality[i]->setValue(0);
        m_quality[i]->setMinimumWidth(200);
        m_qualityValues[i] = new QLabel("0", this);
        m_qualityValues[i]->setMinimumWidth(50);
        grid->addWidget(m_numbers[i], r + 1, 0);
        grid->addWidget(m_lamps[i], r + 1, 1);
        grid->addWidget(m_bitrates[i], r + 1, 2);
        grid->addWidget(m_quality[i], r + 1, 3);
        grid->addWidget(m_qualityValues[i], r + 1, 4);
        if (r < 8) {
            m_physical[i] = new QComboBox(this);
            for (int k = 1; k <= 8; ++k)
                m_physical[i]->addItem(QString::number(k));
            grid->addWidget(m_physical[i], r + 1, 5);
        }
    }
    m_totalCaption = new QLabel("BitRate:", this);
    m_total = new QLineEdit(this);
    m_total->setReadOnly(true);
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_totalCaption);
    bottom->addWidget(m_total);
    bottom->addWidget(m_get);
    bottom->addWidget(m_set);
    bottom->addStretch();
    auto* page = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addStretch();
    page->addLayout(row);
    page->addLayout(bottom);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &CDVBS2signalMonitor::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CDVBS2signalMonitor::OnSet);
}

void CDVBS2signalMonitor::ShowRows(int rows, bool quality) {
    for (int r = 0; r < 16; ++r) {
        const size_t i = size_t(r);
        const bool shown = r < rows;
        m_numbers[i]->setVisible(shown);
        m_lamps[i]->setVisible(shown);
        m_bitrates[i]->setVisible(shown);
        m_quality[i]->setVisible(shown && quality);
        m_qualityValues[i]->setVisible(shown && quality);
    }
    m_qualityCaption->setVisible(quality);
    m_captions[3]->setVisible(quality);
    m_captions[4]->setVisible(quality);
}

void CDVBS2signalMonitor::ShowSixteenRowLayout() {
    const bool sixteen = m_logic.ChannelCount() == 16;
    ShowRows(sixteen ? 16 : 8, true);
    // The total comes only with fewer than sixteen channels.
    m_totalCaption->setVisible(!sixteen);
    m_total->setVisible(!sixteen);
}

void CDVBS2signalMonitor::ShowChannelMapLayout() {
    ShowRows(8, false);
    m_totalCaption->hide();
    m_total->hide();
}

void CDVBS2signalMonitor::OnInitialUpdate() {
    for (QLabel* lamp : m_lamps)
        SetLamp(lamp, false);
    m_qualityCaption->setText("Signal Quality");
    m_logic.Reset(m_pageParam);
    KillTimer(kMapReadTimerId);
    const bool map = m_logic.MapVariant();
    m_physicalCaption->setVisible(map);
    for (QComboBox* c : m_physical)
        c->setVisible(map);
    m_get->setVisible(map);
    m_set->setVisible(map);
    if (map) {
        ShowChannelMapLayout();
        return;
    }
    if (m_logic.SixteenVariant()) {
        ShowSixteenRowLayout();
    } else {
        ShowRows(8, true);
        m_totalCaption->hide();
        m_total->hide();
    }
}

void CDVBS2signalMonitor::OnShowWindow(bool shown) {
    if (!m_device)
        return;
    if (!shown) {
        KillTimer(kStatusTimerId);
        KillTimer(kMapReadTimerId);
        return;
    }
    // The version request first, then the map read once the request has left the send slot.
    Carry(m_logic.Shown(DeviceOnline()));
    SetTimer(kStatusTimerId, kSignalMonitorPollMs);
    SendPendingMapRead();
}

void CDVBS2signalMonitor::SendPendingMapRead() {
    if (!m_logic.MapReadPending()) {
        KillTimer(kMapReadTimerId);
        return;
    }
    const int rc = DeviceOnline() ? SendPollCommand(kCmdChannelMapRead, m_device, nullptr, 0) : kSendOffline;
    if (rc == kSendSlotTaken) {
        SetTimer(kMapReadTimerId, kMapReadRetryMs);
        return;
    }
    m_logic.MapReadSent();
    KillTimer(kMapReadTimerId);
}

void CDVBS2signalMonitor::OnTimer(int id) {
    if (id == kMapReadTimerId) {
        SendPendingMapRead();
        return;
    }
    // A map read still to go out keeps its place ahead of the status.
    if (id == kStatusTimerId && DeviceOnline() && !m_logic.MapReadPending())
        Carry(PageStep::Poll(kCmdTunerStatus));
    CFormTemplateView::OnTimer(id);
}

void CDVBS2signalMonitor::OnGet() {
    if (DeviceOnline())
        Carry(m_logic.Get());
}

void CDVBS2signalMonitor::OnSet() {
    if (!DeviceOnline())
        return;
    std::array<int, kPhysicalChannelMapSize> selections{};
    for (size_t i = 0; i < m_physical.size(); ++i)
        selections[i] = m_physical[i]->currentIndex();
    Carry(m_logic.Set(selections));
}

void CDVBS2signalMonitor::ShowStatus(const TunerSignalView& s, bool quality) {
    if (quality) {
        m_qualityCaption->setText(s.db ? "Signal Quality(db)" : "Signal Quality(%)");
    }
    for (int k = 0; k < s.rows; ++k) {
        const size_t i = size_t(k);
        SetLamp(m_lamps[i], s.locks[i]);
        m_bitrates[i]->setText(QString::fromStdString(s.bitrates[i]));
        m_quality[i]->setRange(0, s.db ? 28 : 100);
        const float q = s.quality[i];
        const int bar = std::isfinite(q) && std::fabs(q) < 1e9f ? int(q) : 0;
        m_quality[i]->setValue(std::clamp(bar, 0, m_quality[i]->maximum()));
        m_qualityValues[i]->setText(QString::fromStdString(QualityText(q)));
    }
    if (s.hasTotal)
        m_total->setText(QString::fromStdString(s.total));
}

void CDVBS2signalMonitor::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    if (reply.Command() == kCmdChannelMapRead) {
        if (!m_logic.ReadMap(reply))
            return;
        const std::vector<uint8_t>& map = m_logic.Map();
        for (size_t i = 0; i < m_physical.size(); ++i)
            m_physical[i]->setCurrentIndex(map[i] < 8 ? map[i] : -1);
        return;
    }
    if (reply.Command() != kCmdTunerStatus)
        return;
    TunerSignalView s;
    bool sixteenLayout = false;
    if (!m_logic.ReadStatus(reply, &s, &sixteenLayout))
        return;
    if (m_logic.MapVariant()) {
        ShowStatus(s, false);
        return;
    }
    if (sixteenLayout)
        ShowSixteenRowLayout();
    else
        ShowRows(8, true);
    ShowStatus(s, true);
}

}  // namespace nms
