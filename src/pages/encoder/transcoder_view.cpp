#include "pages/encoder/transcoder_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace nms {

Ctranscoder::Ctranscoder(QWidget* parent) : CFormTemplateView(parent) {
    m_tabs = new QTabBar(this);
    for (int ch = 1; ch <= kTranscoderChannels; ++ch)
        m_tabs->addTab(QString("Channel %1").arg(ch));
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    connect(m_get, &QPushButton::clicked, this, &Ctranscoder::OnGet);
    connect(m_set, &QPushButton::clicked, this, &Ctranscoder::OnSet);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &Ctranscoder::OnSelChangeTab);

    auto* form = new QWidget(this);
    m_binder = std::make_unique<FormBinder>(TranscoderTable(), form);
    auto group = [&](const char* title, const std::vector<std::string>& keys) {
        auto* box = new QGroupBox(title, form);
        auto* grid = new QGridLayout(box);
        for (const std::string& key : keys) {
            m_binder->Control(key)->setParent(box);
            if (QLabel* l = m_binder->Label(key))
                l->setParent(box);
        }
        m_binder->AddRows(grid, keys);
        grid->setColumnStretch(3, 1);
        return std::pair{box, grid};
    };
    auto [video, videoGrid] = group("Video", {"video", "vmode", "rate", "vbitrate", "profile", "level"});
    videoGrid->addWidget(new QLabel("Kbps", video), 3, 2);
    m_enable = new QCheckBox("Enable", video);
    videoGrid->addWidget(m_enable, 6, 1);
    auto [audio, audioGrid] = group("Audio", {"audio", "amode", "abitrate"});
    auto [service, serviceGrid] =
        group("", {"program", "name", "provider", "pmt", "pcr", "videoPid", "audioPid"});
    auto* row = new QHBoxLayout(form);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(video);
    auto* right = new QVBoxLayout;
    right->addWidget(audio);
    right->addWidget(service);
    right->addStretch();
    row->addLayout(right);
    row->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(form);
    page->addLayout(buttons);
    page->addStretch();
}

Ctranscoder::~Ctranscoder() = default;

void Ctranscoder::OnInitialUpdate() {
    m_tabs->setCurrentIndex(m_logic.Channel());
    m_binder->Show(m_logic.Block());
}

void Ctranscoder::OnGet() {
    if (!DeviceOnline())
        return;
    m_tabs->setCurrentIndex(m_logic.Channel());
    Carry(m_logic.Get());
}

void Ctranscoder::OnSet() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.Set(m_binder->Inputs());
    m_binder->Focus(m_logic.FailedField());
    Carry(step);
}

void Ctranscoder::OnSelChangeTab(int channel) {
    if (channel < 0 || channel == m_logic.Channel())
        return;
    PageStep refused;
    if (m_logic.SelectChannel(channel, m_binder->Inputs(), &refused)) {
        m_tabs->setCurrentIndex(channel);
        m_binder->Show(m_logic.Block());
        OnGet();
        return;
    }
    m_tabs->setCurrentIndex(m_logic.Channel());
    if (!refused.messages.empty()) {
        Carry(refused);
        m_binder->Focus(m_logic.FailedField());
    }
}

void Ctranscoder::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void Ctranscoder::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void Ctranscoder::OnRefresh(unsigned what, bool refreshed) {
    if (what & PageStep::kRefreshAll)
        m_binder->Show(m_logic.Block());
}

void Ctranscoder::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
