#include "pages/encoder/encoder_audio_view.h"

#include <QGridLayout>
#include <QGroupBox>
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

CEncoderAudioView::CEncoderAudioView(QWidget* parent) : CBlockPageView(parent) {
    m_logic = MakeLogic(0);
    m_binder = std::make_unique<FormBinder>(SdAudioTable(), this);
    auto* page = new QVBoxLayout(this);
    AddChannelRow(page, "Encoding Channel:");

    auto* grid = new QGridLayout;
    m_binder->AddRows(grid, {"encoding", "sampleRate", "bitrate", "audioMode"});
    grid->setColumnStretch(2, 1);
    page->addLayout(grid);
    m_sourceGroup = FieldGroup("Audio Setting", *m_binder, {"source"}, this);
    page->addWidget(m_sourceGroup);

    AddGetSetRow(page);
    page->addStretch();
}

CEncoderAudioView::~CEncoderAudioView() = default;

void CEncoderAudioView::OnInitialUpdate() {
    m_logic = MakeLogic(m_pageParam);
    const bool channels = m_logic->Variant().channels;
    ShowChannels(EncodingChannels(channels));
    // The four-channel encoder has no audio source choice; its byte goes back as read.
    m_sourceGroup->setVisible(!channels);
    m_binder->SetUsed("source", !channels);
    ShowBlock();
}

void CEncoderAudioView::ShowBlock() {
    m_binder->Show(m_logic->Block());
    ShowFallbacks(*m_binder, m_logic->Block(), SdAudioFallbacks());
}

}  // namespace nms
