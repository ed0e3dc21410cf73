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

#include "pagebase/lamp.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace {

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

Ctuner2qam::Ctuner2qam(QWidget* parent) : CBlockPageView(parent) {
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
    MakeGetSetButtons();
    // The poll runs while the page is shown and waits while a Get or Set is under way.
    SetStatusPoll(kTuner2QamStatusTimerId, kTuner2QamPollMs);
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
    ShowBlock();
}

void Ctuner2qam::OnRefresh(unsigned what, bool refreshed) {
    CBlockPageView::OnRefresh(what, refreshed);
    if (what & Tuner2QamLogic::kRefreshStatus)
        ShowStatus();
}

void Ctuner2qam::ShowStatus() {
    const Tuner2QamStatus& s = m_logic.Status();
    for (int k = 0; k < kTunerChannels; ++k) {
        SetLamp(m_locks[size_t(k)], s.locks >> k & 1);
        m_bitrate[size_t(k)]->setText(QString::fromStdString(s.bitrates[size_t(k)]));
        // Reports without a quality leave the bars as they were.
        if (s.quality) {
            m_quality[size_t(k)]->setValue(std::min<int>(s.percent[size_t(k)], 100));
            m_percent[size_t(k)]->setText(QString("%1%").arg(s.percent[size_t(k)]));
        }
    }
}

}  // namespace nms
