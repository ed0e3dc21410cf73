#include "pages/encoder/encoder_audio_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "pages/encoder/encoder_widgets.h"

namespace nms {
namespace {

constexpr uint8_t kGetCommand = 0x62;

std::unique_ptr<SdBlockLogic> MakeLogic(int pageParam) {
    return std::make_unique<SdBlockLogic>(pageParam, kGetCommand, kSdAudioBlockSize, kSdAudioBlockSize,
                                          SdAudioTable());
}

}  // namespace

CEncoderAudioView::CEncoderAudioView(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = MakeLogic(0);
    m_binder = std::make_unique<FormBinder>(SdAudioTable(), this);
    auto* page = new QVBoxLayout(this);

    auto* channelRow = new QHBoxLayout;
    m_channelLabel = new QLabel("Encoding Channel:", this);
    m_channel = new QComboBox(this);
    channelRow->addWidget(m_channelLabel);
    channelRow->addWidget(m_channel);
    channelRow->addStretch();
    page->addLayout(channelRow);

    auto* grid = new QGridLayout;
    m_binder->AddRows(grid, {"encoding", "sampleRate", "bitrate", "audioMode"});
    grid->setColumnStretch(2, 1);
    page->addLayout(grid);
    m_sourceGroup = FieldGroup("Audio Setting", *m_binder, {"source"}, this);
    page->addWidget(m_sourceGroup);

    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    page->addLayout(buttons);
    page->addStretch();

    connect(m_get, &QPushButton::clicked, this, &CEncoderAudioView::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CEncoderAudioView::OnSet);
    connect(m_channel, &QComboBox::activated, this, &CEncoderAudioView::OnGet);
}

CEncoderAudioView::~CEncoderAudioView() = default;

void CEncoderAudioView::OnInitialUpdate() {
    m_logic = MakeLogic(m_pageParam);
    const bool channels = m_logic->Variant().channels;
    m_channelLabel->setVisible(channels);
    m_channel->setVisible(channels);
    FillChannels(m_channel, channels
                                ? std::vector<std::string>{"Channel 1", "Channel 2", "Channel 3", "Channel 4"}
                                : std::vector<std::string>{});
    // The four-channel encoder has no audio source choice; its byte goes back as read.
    m_sourceGroup->setVisible(!channels);
    m_binder->SetUsed("source", !channels);
    ShowBlock();
}

void CEncoderAudioView::ShowBlock() {
    m_binder->Show(m_logic->Block());
    ShowFallbacks(*m_binder, m_logic->Block(), SdAudioFallbacks());
}

void CEncoderAudioView::OnGet() {
    if (m_device)
        Carry(m_logic->Get(SelectedChannel(m_channel)));
}

void CEncoderAudioView::OnSet() {
    if (!m_device)
        return;
    const PageStep step = m_logic->Set(m_binder->Inputs(), SelectedChannel(m_channel));
    m_binder->Focus(m_logic->FailedField());
    Carry(step);
}

void CEncoderAudioView::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void CEncoderAudioView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CEncoderAudioView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic->HandleReply(reply));
}

void CEncoderAudioView::OnRefresh(unsigned what, bool) {
    if (what & PageStep::kRefreshAll)
        ShowBlock();
}

}  // namespace nms
