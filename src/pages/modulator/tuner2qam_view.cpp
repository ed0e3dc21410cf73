#include "pages/modulator/tuner2qam_view.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/lamp.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = 66;
constexpr uint8_t kGet = 0x70, kSet = 0x71, kStatus = 0x40, kBlockKind = 2;

// The page's variants: 99 shows bitrates instead of symbol rate and constellation.
struct Tuner2QamVariant {
    int pageParam;
    bool bitrates;
};
constexpr Tuner2QamVariant kVariants[] = {{0, false}, {99, true}};

std::string Key(const char* name, int channel) {
    return std::string(name) + std::to_string(channel);
}

}  // namespace

Ctuner2qam::Ctuner2qam(QWidget* parent) : CFormTemplateView(parent), m_area(kTunerAreaSize) {
    m_binder = std::make_unique<FormBinder>(Tuner2QamTable(), this);
    auto* grid = new QGridLayout;
    for (int k = 1; k <= kTunerChannels; ++k) {
        auto* group = new QGroupBox(QString("Channel %1").arg(k), this);
        auto* box = new QGridLayout(group);
        const std::vector<std::string> keys = {Key("freq", k), Key("symbol", k), Key("constellation", k)};
        for (const std::string& key : keys) {
            m_binder->Control(key)->setParent(group);
            m_binder->Label(key)->setParent(group);
        }
        m_binder->AddRows(box, keys);
        const size_t i = size_t(k - 1);
        m_locks[i] = MakeLamp(group);
        m_quality[i] = new QProgressBar(group);
        m_quality[i]->setRange(0, 100);
        m_quality[i]->setValue(0);
        m_quality[i]->setTextVisible(false);
        m_percent[i] = new QLabel("0%", group);
        m_bitrate[i] = new QLineEdit(group);
        m_bitrate[i]->setReadOnly(true);
        m_bitrate[i]->setMaximumWidth(140);
        m_bitrateLabels[i] = new QLabel("Bitrate:", group);
        auto* lock = new QHBoxLayout;
        lock->addWidget(m_locks[i]);
        lock->addWidget(new QLabel(" Lock Status", group));
        lock->addStretch();
        box->addLayout(lock, 3, 1);
        box->addWidget(new QLabel("Signal:", group), 4, 0);
        auto* signal = new QHBoxLayout;
        signal->addWidget(m_quality[i]);
        signal->addWidget(m_percent[i]);
        box->addLayout(signal, 4, 1);
        box->addWidget(m_bitrateLabels[i], 5, 0);
        box->addWidget(m_bitrate[i], 5, 1);
        grid->addWidget(group, (k - 1) / 2, (k - 1) % 2);
    }
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addLayout(grid);
    row->addStretch();
    page->addLayout(row);
    page->addLayout(buttons);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &Ctuner2qam::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Ctuner2qam::OnSet);
}

Ctuner2qam::~Ctuner2qam() = default;

void Ctuner2qam::OnInitialUpdate() {
    const Tuner2QamVariant& v = FindVariant(kVariants, m_pageParam);
    for (int k = 1; k <= kTunerChannels; ++k) {
        m_binder->SetUsed(Key("symbol", k), !v.bitrates);
        m_binder->SetUsed(Key("constellation", k), !v.bitrates);
        m_bitrate[size_t(k - 1)]->setVisible(v.bitrates);
        m_bitrateLabels[size_t(k - 1)]->setVisible(v.bitrates);
    }
    m_binder->Show(m_area);
}

void Ctuner2qam::OnGet() {
    if (!DeviceOnline())
        return;
    m_awaited = kGet;
    Carry(PageStep::Request(kGet, {kBlockKind}));
}

void Ctuner2qam::OnSet() {
    if (!DeviceOnline())
        return;
    const CollectResult result = m_binder->Collect(m_area);
    if (!result.ok) {
        Carry(PageStep::Message(result.message));
        return;
    }
    std::vector<uint8_t> payload = {kBlockKind};
    payload.insert(payload.end(), m_area.Bytes().begin(), m_area.Bytes().end());
    m_awaited = kSet;
    Carry(PageStep::Request(kSet, std::move(payload)));
}

void Ctuner2qam::OnShowWindow(bool shown) {
    if (!m_device)
        return;
    if (shown) {
        OnGet();
        SetTimer(kStatusTimerId, kTuner2QamPollMs);
    } else {
        KillTimer(kStatusTimerId);
    }
}

void Ctuner2qam::OnTimer(int id) {
    // The poll waits while a Get or Set is under way, so it never takes that request's send slot.
    if (id == kStatusTimerId && DeviceOnline() && !IsBusy())
        Carry(PageStep::Poll(kStatus));
    if (id == kWaitTimerId)
        m_awaited = -1;
    CFormTemplateView::OnTimer(id);
}

void Ctuner2qam::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    const ByteReader r = reply.Reader();
    if (reply.Command() == kStatus) {
        Tuner2QamStatus s;
        if (!ReadTuner2QamStatus(reply.PayloadCopy(), &s))
            return;
        for (int k = 0; k < kTunerChannels; ++k) {
            SetLamp(m_locks[size_t(k)], s.locks >> k & 1);
            m_bitrate[size_t(k)]->setText(QString::fromStdString(s.bitrates[size_t(k)]));
            if (s.quality) {
                m_quality[size_t(k)]->setValue(std::min<int>(s.percent[size_t(k)], 100));
                m_percent[size_t(k)]->setText(QString("%1%").arg(s.percent[size_t(k)]));
            }
        }
        return;
    }
    if (reply.Command() != m_awaited)
        return;
    m_awaited = -1;
    if (reply.Command() == kGet) {
        uint8_t kind = 0;
        // The blocks come only whole, and only of the kind the page asked for.
        if (r.U8(0, &kind) && kind == kBlockKind && r.Has(1, kTunerAreaSize))
            m_area.Load(r.Sub(1, kTunerAreaSize));
        PageStep step = PageStep::End(PageStep::kRefreshNone);
        step.sendVersion = true;
        Carry(step);
        m_binder->Show(m_area);
    } else {
        Carry(PageStep::End(PageStep::kRefreshNone));
    }
}

}  // namespace nms
