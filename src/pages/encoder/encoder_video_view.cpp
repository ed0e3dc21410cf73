#include "pages/encoder/encoder_video_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "pages/encoder/encoder_widgets.h"

namespace nms {
namespace {

constexpr uint8_t kGetCommand = 0x60;

// The picture sliders: the left column, then the right one (hidden on the four-channel encoder).
const char* const kLeftSliders[] = {"brightness", "contrast", "saturation", "hue"};
const char* const kRightSliders[] = {"heftContrast", "pbSaturation", "prSaturation", "heftBrightness"};

bool IsRightSlider(const std::string& key) {
    for (const char* k : kRightSliders)
        if (key == k)
            return true;
    return false;
}

}  // namespace

CEncoderVideoView::CEncoderVideoView(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<SdBlockLogic>(0, kGetCommand, kSdVideoBlockSize, kSdVideoBlockSize + 1,
                                             SdVideoTable());
    m_binder = std::make_unique<FormBinder>(SdVideoTable(), this);
    auto* page = new QVBoxLayout(this);

    auto* channelRow = new QHBoxLayout;
    m_channelLabel = new QLabel("Encoding Channel:", this);
    m_channel = new QComboBox(this);
    channelRow->addWidget(m_channelLabel);
    channelRow->addWidget(m_channel);
    channelRow->addStretch();
    page->addLayout(channelRow);

    auto* settings = new QGridLayout;
    m_binder->AddRows(settings, {"input", "mode", "av", "gop", "compress", "profile", "level"});
    settings->setColumnStretch(2, 1);
    page->addLayout(settings);

    auto* pictures = new QGridLayout;
    for (const char* const* column : {kLeftSliders, kRightSliders}) {
        const int at = column == kLeftSliders ? 0 : 3;
        for (int i = 0; i < 4; ++i) {
            const std::string key = column[i];
            auto* edit = qobject_cast<QLineEdit*>(m_binder->Control(key));
            const bool hue = key == "hue";
            QSlider* slider =
                CoupleSlider(edit, hue ? -128 : 0, hue ? 127 : 255, hue ? -128 : 0, hue ? 127 : 255, this);
            m_sliders[key] = slider;
            pictures->addWidget(m_binder->Label(key), i, at);
            pictures->addWidget(slider, i, at + 1);
            pictures->addWidget(edit, i, at + 2);
            edit->setMaximumWidth(60);
        }
    }
    page->addLayout(pictures);

    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    page->addLayout(buttons);
    page->addStretch();

    connect(m_get, &QPushButton::clicked, this, &CEncoderVideoView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CEncoderVideoView::OnSet);
    connect(m_channel, &QComboBox::activated, this, &CEncoderVideoView::OnGet);
}

CEncoderVideoView::~CEncoderVideoView() = default;

QSlider* CEncoderVideoView::Slider(const std::string& key) const {
    auto it = m_sliders.find(key);
    return it == m_sliders.end() ? nullptr : it->second;
}

void CEncoderVideoView::OnInitialUpdate() {
    m_logic = std::make_unique<SdBlockLogic>(m_pageParam, kGetCommand, kSdVideoBlockSize,
                                             kSdVideoBlockSize + 1, SdVideoTable());
    const bool channels = m_logic->Variant().channels;
    m_channelLabel->setVisible(channels);
    m_channel->setVisible(channels);
    FillChannels(m_channel, channels
                                ? std::vector<std::string>{"Channel 1", "Channel 2", "Channel 3", "Channel 4"}
                                : std::vector<std::string>{});
    ShowBlock();
}

void CEncoderVideoView::ShowBlock() {
    const ParamBlock& block = m_logic->Block();
    const bool channels = m_logic->Variant().channels;
    // A block that asks for its profile and level alone shows nothing else; the rest goes back as read.
    const bool profileOnly = block.Bytes()[kSdVideoProfileModeOffset] == 1;
    for (const FieldDef& f : SdVideoTable()) {
        const bool profile = f.key == "profile" || f.key == "level";
        bool used = profileOnly ? profile : !profile;
        if (channels && (f.key == "input" || IsRightSlider(f.key)))
            used = false;
        m_binder->SetUsed(f.key, used);
        if (QSlider* slider = Slider(f.key))
            slider->setVisible(used);
    }
    m_binder->Show(block);
    ShowFallbacks(*m_binder, block, SdVideoFallbacks());
    for (const auto& [key, slider] : m_sliders)
        slider->setValue(int(block.Value(SdVideoTable()[size_t(m_binder->Index(key))])));
}

void CEncoderVideoView::OnGet() {
    if (m_device)
        Carry(m_logic->Get(SelectedChannel(m_channel)));
}

void CEncoderVideoView::OnSet() {
    if (!m_device)
        return;
    const PageStep step = m_logic->Set(m_binder->Inputs(), SelectedChannel(m_channel));
    m_binder->Focus(m_logic->FailedField());
    Carry(step);
}

void CEncoderVideoView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CEncoderVideoView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CEncoderVideoView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic->HandleReply(reply));
}

void CEncoderVideoView::OnRefresh(unsigned what, bool) {
    if (what & PageStep::kRefreshAll)
        ShowBlock();
}

}  // namespace nms
