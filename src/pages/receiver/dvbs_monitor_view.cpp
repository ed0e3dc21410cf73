#include "pages/receiver/dvbs_monitor_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pagebase/lamp.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = 66;

}  // namespace

CDVBSMonitorView::CDVBSMonitorView(QWidget* parent) : CFormTemplateView(parent) {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(" Lock Status", this), 0, 1);
    grid->addWidget(new QLabel("Signal:", this), 0, 2);
    for (int r = 0; r < kDvbsMonitorRows; ++r) {
        const size_t i = size_t(r);
        m_labels[i] = new QLabel(QString("CH%1").arg(r + 1), this);
        m_lamps[i] = MakeLamp(this);
        m_bars[i] = new QProgressBar(this);
        m_bars[i]->setTextVisible(false);
        m_bars[i]->setRange(0, 100);
        m_bars[i]->setValue(0);
        m_bars[i]->setMinimumWidth(200);
        m_values[i] = new QLabel(this);
        m_values[i]->setMinimumWidth(70);
        grid->addWidget(m_labels[i], r + 1, 0);
        grid->addWidget(m_lamps[i], r + 1, 1);
        grid->addWidget(m_bars[i], r + 1, 2);
        grid->addWidget(m_values[i], r + 1, 3);
    }
    auto* rates = new QGridLayout;
    for (int k = 0; k < 4; ++k) {
        const size_t i = size_t(k);
        m_groups[i] = new QGroupBox(QString("Channel %1").arg(k + 1), this);
        auto* box = new QGridLayout(m_groups[i]);
        m_useful[i] = new QLineEdit(m_groups[i]);
        m_total[i] = new QLineEdit(m_groups[i]);
        m_useful[i]->setReadOnly(true);
        m_total[i]->setReadOnly(true);
        box->addWidget(new QLabel("Bitrate:", m_groups[i]), 0, 0);
        box->addWidget(m_useful[i], 0, 1);
        box->addWidget(new QLabel("Total Bitrate:", m_groups[i]), 1, 0);
        box->addWidget(m_total[i], 1, 1);
        m_useful[i]->setMaximumWidth(120);
        m_total[i]->setMaximumWidth(120);
        rates->addWidget(m_groups[i], k / 2, k % 2);
        m_groups[i]->hide();
    }
    auto* page = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addStretch();
    page->addLayout(row);
    auto* ratesRow = new QHBoxLayout;
    ratesRow->addLayout(rates);
    ratesRow->addStretch();
    page->addLayout(ratesRow);
    page->addStretch();
}

void CDVBSMonitorView::ShowRow(int row, DvbsMonitorRow::Show show) {
    if (show == DvbsMonitorRow::kUnchanged)
        return;
    const size_t i = size_t(row);
    m_labels[i]->setVisible(show != DvbsMonitorRow::kHidden);
    m_lamps[i]->setVisible(show != DvbsMonitorRow::kHidden);
    m_bars[i]->setVisible(show == DvbsMonitorRow::kFull);
    m_values[i]->setVisible(show == DvbsMonitorRow::kFull);
}

void CDVBSMonitorView::SetupRows() {
    for (int r = 0; r < kDvbsMonitorRows; ++r) {
        SetLamp(m_lamps[size_t(r)], false);
        ShowRow(r, r < 6 ? DvbsMonitorRow::kFull : DvbsMonitorRow::kHidden);
    }
    if (m_pageParam == 33 || m_pageParam == 36)
        ShowRow(6, DvbsMonitorRow::kLabelAndLamp);
    if (m_pageParam == 37)
        ShowRow(6, DvbsMonitorRow::kFull), ShowRow(7, DvbsMonitorRow::kFull);
    for (QGroupBox* g : m_groups)
        g->hide();
}

void CDVBSMonitorView::SetupBitratePanel() {
    // The four-channel receiver's status carries nothing for rows 5 and 6.
    for (int r = 4; r < kDvbsMonitorRows; ++r)
        ShowRow(r, DvbsMonitorRow::kHidden);
    for (QGroupBox* g : m_groups)
        g->show();
}

void CDVBSMonitorView::SetupSixteenRows() {
    for (int r = 0; r < kDvbsMonitorRows; ++r) {
        SetLamp(m_lamps[size_t(r)], false);
        ShowRow(r, DvbsMonitorRow::kFull);
    }
    for (QGroupBox* g : m_groups)
        g->hide();
}

void CDVBSMonitorView::OnInitialUpdate() {
    if (m_pageParam == 39) {
        SetupSixteenRows();
        return;
    }
    SetupRows();
    if (m_pageParam == 0)
        SetupBitratePanel();
}

void CDVBSMonitorView::OnShowWindow(bool shown) {
    if (!m_device)
        return;
    if (shown) {
        PageStep version;
        version.sendVersion = true;
        Carry(version);
        SetTimer(kStatusTimerId, kDvbsMonitorPollMs);
    } else {
        KillTimer(kStatusTimerId);
    }
}

void CDVBSMonitorView::OnTimer(int id) {
    // The poll gives way to a request still waiting in the device's send slot and to a running wait.
    if (id == kStatusTimerId && DeviceOnline())
        Carry(PageStep::Poll(kCmdTunerStatus));
    CFormTemplateView::OnTimer(id);
}

void CDVBSMonitorView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid() || reply.Command() != kCmdTunerStatus)
        return;
    if (!IsDvbsMonitorVariant(m_pageParam)) {
        Carry(PageStep::Message("No this Type !"));
        return;
    }
    DvbsMonitorStatus s;
    if (!DecodeDvbsMonitorStatus(m_pageParam, device->typeCode, reply, &s))
        return;
    // A status reply belongs to the poll: it ends no wait of another request.
    for (int r = 0; r < kDvbsMonitorRows; ++r) {
        const DvbsMonitorRow& row = s.rows[size_t(r)];
        ShowRow(r, row.show);
        if (row.hasLock)
            SetLamp(m_lamps[size_t(r)], row.lock);
        if (row.hasValue) {
            m_bars[size_t(r)]->setRange(0, s.barMax);
            m_bars[size_t(r)]->setValue(std::min(row.bar, s.barMax));
            m_values[size_t(r)]->setText(QString::fromStdString(row.text));
        }
    }
    if (s.hasRates) {
        for (size_t k = 0; k < 4; ++k) {
            m_useful[k]->setText(QString::fromStdString(s.useful[k]));
            m_total[k]->setText(QString::fromStdString(s.total[k]));
        }
    }
}

}  // namespace nms
