#include "pages/encoder/encoder8_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

#include "devices/device_record.h"

namespace nms {
namespace {

const std::vector<std::string> kNarrowVideo = {"enable", "standard",   "gop",      "compress",   "vbitrate",
                                               "rate",   "brightness", "contrast", "saturation", "hue"};
const std::vector<std::string> kNarrowAudio = {"atype", "sample", "abitrate", "amode"};
const std::vector<std::string> kWideVideo = {"enable", "pixel",      "encoding",  "profile", "level",
                                             "aspect", "frame",      "framerate", "gop",     "vbitrate",
                                             "rate",   "horizontal", "vertical",  "idr"};
const std::vector<std::string> kWideAudio = {"atype", "abitrate", "sample"};
const std::vector<std::string> kService = {"program", "name",     "provider", "pmt",
                                           "pcr",     "videoPid", "audioPid", "sdt"};
const std::vector<std::string> kScrambler = {"scr1", "scr2", "ecm1", "ecm2", "ecm3", "ecm4"};

}  // namespace

Cencoder8::Cencoder8(QWidget* parent) : CBlockPageView(parent) {
    m_tabs = new QTabBar(this);
    MakeGetSetButtons();
    m_copyAll = new QPushButton("Copy to All CH", this);
    connect(m_copyAll, &QPushButton::clicked, this, &Cencoder8::OnCopyToAll);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &Cencoder8::OnSelChangeTab);
    m_form = new QWidget(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addWidget(m_copyAll);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(m_form);
    page->addLayout(buttons);
    page->addStretch();
    m_pageLayout = page;
}

Cencoder8::~Cencoder8() = default;

void Cencoder8::Build() {
    // A fresh form widget: children added to a shown widget would stay hidden.
    auto* form = new QWidget(this);
    m_pageLayout->replaceWidget(m_form, form);
    m_binder.reset();
    delete m_form;
    m_form = form;
    m_binder = std::make_unique<FormBinder>(m_logic->Table(), m_form);
    const bool wide = m_logic->Wide();

    auto group = [&](const char* title, const std::vector<std::string>& keys) {
        auto* box = new QGroupBox(title, m_form);
        auto* grid = new QGridLayout(box);
        for (const std::string& key : keys) {
            if (QWidget* c = m_binder->Control(key))
                c->setParent(box);
            if (QLabel* l = m_binder->Label(key))
                l->setParent(box);
        }
        m_binder->AddRows(grid, keys);
        grid->setColumnStretch(2, 1);
        return std::pair{box, grid};
    };
    auto [video, videoGrid] = group("Video", wide ? kWideVideo : kNarrowVideo);
    auto [audio, audioGrid] = group("Audio", wide ? kWideAudio : kNarrowAudio);
    auto [service, serviceGrid] = group("", kService);
    m_info = nullptr;
    m_audioMode = nullptr;
    m_scramblerBox = nullptr;
    if (wide) {
        m_audioMode = new QComboBox(audio);
        m_audioMode->addItems({"Stereo", "Single-channel"});
        audioGrid->addWidget(new QLabel("Audio Mode", audio), int(kWideAudio.size()), 0);
        audioGrid->addWidget(m_audioMode, int(kWideAudio.size()), 1);
        m_info = new QLineEdit(video);
        m_info->setReadOnly(true);
        m_info->setMaximumWidth(140);
        videoGrid->addWidget(m_info, int(kWideVideo.size()), 1);
        auto [scrambler, scramblerGrid] = group("", kScrambler);
        m_scramblerBox = scrambler;
    }
    auto* layout = new QHBoxLayout(m_form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(video);
    auto* right = new QVBoxLayout;
    right->addWidget(audio);
    right->addWidget(service);
    right->addStretch();
    layout->addLayout(right);
    // The scrambler settings take a column of their own: under the audio group they would push the
    // service group below the main window's page area.
    if (m_scramblerBox)
        layout->addWidget(m_scramblerBox, 0, Qt::AlignTop);
    layout->addStretch();
    m_form->show();
    m_copyAll->setVisible(wide);
    if (auto* bitrate = qobject_cast<QComboBox*>(m_binder->Control("abitrate"));
        bitrate && !wide && m_logic->Variant().shortAudioList)
        connect(bitrate, &QComboBox::activated, this, &Cencoder8::OnSelChangeAudioBitrate);
}

void Cencoder8::OnInitialUpdate() {
    m_logic = std::make_unique<Encoder8Logic>(m_pageParam, m_device ? m_device->typeCode : 0);
    Build();
    ShowTabs();
    ShowBlock();
}

void Cencoder8::ShowTabs() {
    while (m_tabs->count() > m_logic->Tabs())
        m_tabs->removeTab(m_tabs->count() - 1);
    while (m_tabs->count() < m_logic->Tabs())
        m_tabs->addTab(QString("CH%1").arg(m_tabs->count() + 1));
    m_tabs->setCurrentIndex(m_logic->Channel());
}

void Cencoder8::ShowBlock() {
    // Whether the scrambler settings are the page's depends on the channel count the replies bring.
    if (m_logic->Wide())
        for (const std::string& key : kScrambler)
            m_binder->SetUsed(key, m_logic->ScramblerUsed());
    m_binder->Show(m_logic->Block());
    for (const auto& [key, index] : m_logic->ComboFallbacks())
        if (auto* combo = qobject_cast<QComboBox*>(m_binder->Control(key));
            combo && combo->currentIndex() < 0)
            combo->setCurrentIndex(index);
    if (m_info)
        m_info->setText(QString::fromStdString(m_logic->InfoText()));
    if (m_audioMode)
        m_audioMode->setCurrentIndex(0);
    if (m_logic->Wide()) {
        const bool checks = m_logic->ScramblerChecksShown();
        const bool edits = m_logic->EcmEditsShown();
        const bool eight = m_logic->EightChannelScrambler();
        m_scramblerBox->setVisible(checks);
        for (const char* key : {"scr1", "scr2"}) {
            m_binder->Control(key)->setVisible(checks);
            qobject_cast<QCheckBox*>(m_binder->Control(key))
                ->setText(
                    eight ? "Scrambler"
                          : QString::fromStdString(m_binder->Table()[size_t(m_binder->Index(key))].label));
        }
        for (int k = 1; k <= 4; ++k) {
            const std::string key = "ecm" + std::to_string(k);
            m_binder->Control(key)->setVisible(edits);
            m_binder->Label(key)->setVisible(checks);
            m_binder->Label(key)->setText(eight ? QString("ECM PID %1").arg(k)
                                                : QString("ECM PID %1:").arg(k));
        }
    }
}

void Cencoder8::OnGet() {
    if (m_logic && MayGet())
        m_tabs->setCurrentIndex(m_logic->Channel());
    CBlockPageView::OnGet();
}

void Cencoder8::OnCopyToAll() {
    if (!m_logic || !m_logic->Wide())
        return;
    const PageStep step = m_logic->CopyToAll(m_binder->Inputs());
    m_binder->Focus(m_logic->FailedField());
    Carry(step);
}

void Cencoder8::OnSelChangeTab(int channel) {
    if (!m_logic || channel < 0)
        return;
    PageStep refused;
    if (m_logic->SelectChannel(channel, m_binder->Inputs(), &refused)) {
        m_tabs->setCurrentIndex(channel);
        ShowBlock();
        return;
    }
    m_tabs->setCurrentIndex(m_logic->Channel());
    RefuseSwitch(refused);
}

void Cencoder8::OnSelChangeAudioBitrate() {
    auto* bitrate = qobject_cast<QComboBox*>(m_binder->Control("abitrate"));
    auto* mode = qobject_cast<QComboBox*>(m_binder->Control("amode"));
    if (!bitrate || !mode)
        return;
    mode->setCurrentIndex(Encoder8Logic::AudioModeFor(bitrate->currentIndex(), mode->currentIndex()));
}

void Cencoder8::OnRefresh(unsigned what, bool refreshed) {
    if (what & Encoder8Logic::kRefreshLayout)
        Build();
    if (what & Encoder8Logic::kRefreshTabs)
        ShowTabs();
    if (what & (unsigned(PageStep::kRefreshAll) | unsigned(Encoder8Logic::kRefreshLayout)))
        ShowBlock();
}

}  // namespace nms
