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

#include "pagebase/lamp.h"
#include "pages/receiver/dvbs_monitor_logic.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = 66;
constexpr int kMapVariant = 49;
constexpr int kSixteenVariant = 48;

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
    ShowRows(m_count == 16 ? 16 : 8, true);
    // The total comes only with fewer than sixteen channels.
    m_totalCaption->setVisible(m_count != 16);
    m_total->setVisible(m_count != 16);
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
    const bool map = m_pageParam == kMapVariant;
    m_physicalCaption->setVisible(map);
    for (QComboBox* c : m_physical)
        c->setVisible(map);
    m_get->setVisible(map);
    m_set->setVisible(map);
    if (map) {
        ShowChannelMapLayout();
        return;
    }
    m_count = 8;
    if (m_pageParam == kSixteenVariant) {
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
        return;
    }
    SetTimer(kStatusTimerId, kSignalMonitorPollMs);
    if (m_pageParam == kMapVariant && DeviceOnline()) {
        // The map read goes first; the version request follows its reply instead of replacing it.
        m_versionAfterMap = true;
        OnGet();
        return;
    }
    PageStep version;
    version.sendVersion = true;
    Carry(version);
}

void CDVBS2signalMonitor::OnTimer(int id) {
    if (id == kStatusTimerId && DeviceOnline())
        Carry(PageStep::Poll(kCmdTunerStatus));
    CFormTemplateView::OnTimer(id);
}

void CDVBS2signalMonitor::OnGet() {
    if (DeviceOnline())
        Carry(PageStep::Request(kCmdChannelMapRead, {}, PageStep::Wait::kNone));
}

void CDVBS2signalMonitor::OnSet() {
    if (!DeviceOnline())
        return;
    // A selector without a selection sends back the byte it was shown.
    for (size_t i = 0; i < m_physical.size(); ++i)
        if (m_physical[i]->currentIndex() >= 0)
            m_map[i] = uint8_t(m_physical[i]->currentIndex());
    Carry(PageStep::Request(kCmdChannelMapWrite, m_map, PageStep::Wait::kNone));
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
        std::vector<uint8_t> map;
        if (!reply.Bytes(0, kPhysicalChannelMapSize, &map))
            return;
        m_map = map;
        for (size_t i = 0; i < m_physical.size(); ++i)
            m_physical[i]->setCurrentIndex(m_map[i] < 8 ? m_map[i] : -1);
        if (m_versionAfterMap) {
            m_versionAfterMap = false;
            PageStep version;
            version.sendVersion = true;
            Carry(version);
        }
        return;
    }
    if (reply.Command() != kCmdTunerStatus)
        return;
    TunerSignalView s;
    if (m_pageParam == kMapVariant) {
        if (ReadTunerSignalStatus(reply, 8, &s))
            ShowStatus(s, false);
        return;
    }
    const int count = reply.B();
    const bool sixteenLayout = m_pageParam == kSixteenVariant || count > 8;
    if (!ReadTunerSignalStatus(reply, sixteenLayout && count == 16 ? 16 : 8, &s))
        return;
    m_count = count;
    if (sixteenLayout)
        ShowSixteenRowLayout();
    else
        ShowRows(8, true);
    ShowStatus(s, true);
}

}  // namespace nms
