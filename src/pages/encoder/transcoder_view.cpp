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

Ctranscoder::Ctranscoder(QWidget* parent) : CBlockPageView(parent) {
    m_tabs = new QTabBar(this);
    for (int ch = 1; ch <= kTranscoderChannels; ++ch)
        m_tabs->addTab(QString("Channel %1").arg(ch));
    connect(m_tabs, &QTabBar::tabBarClicked, this, &Ctranscoder::OnSelChangeTab);

    auto* form = new QWidget(this);
    m_binder = std::make_unique<FormBinder>(TranscoderTable(), form);
    auto group = [&](const char* title, const std::vector<std::string>& keys) {
        auto* box = new QGroupBox(title, form);
        return std::pair{box, m_binder->AddRowsTo(box, keys, 0, 3)};
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

    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(form);
    AddGetSetRow(page);
    page->addStretch();
}

Ctranscoder::~Ctranscoder() = default;

void Ctranscoder::OnInitialUpdate() {
    m_tabs->setCurrentIndex(m_logic.Channel());
    ShowBlock();
}

void Ctranscoder::ShowBlock() {
    m_binder->Show(m_logic.Block());
}

void Ctranscoder::OnGet() {
    if (MayGet())
        m_tabs->setCurrentIndex(m_logic.Channel());
    CBlockPageView::OnGet();
}

void Ctranscoder::OnSelChangeTab(int channel) {
    if (channel < 0 || channel == m_logic.Channel())
        return;
    PageStep refused;
    if (m_logic.SelectChannel(channel, m_binder->Inputs(), &refused)) {
        m_tabs->setCurrentIndex(channel);
        ShowBlock();
        OnGet();
        return;
    }
    m_tabs->setCurrentIndex(m_logic.Channel());
    RefuseSwitch(refused);
}

}  // namespace nms
