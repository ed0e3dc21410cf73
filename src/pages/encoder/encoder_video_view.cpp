#include "pages/encoder/encoder_video_view.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
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

std::unique_ptr<SdBlockLogic> MakeLogic(int pageParam) {
    return std::make_unique<SdBlockLogic>(pageParam, kGetCommand, kSdVideoBlockSize, kSdVideoBlockSize + 1,
                                          SdVideoTable());
}

}  // namespace

CEncoderVideoView::CEncoderVideoView(QWidget* parent) : CBlockPageView(parent) {
    m_logic = MakeLogic(0);
    m_binder = std::make_unique<FormBinder>(SdVideoTable(), this);
    auto* page = new QVBoxLayout(this);

    AddChannelRow(page, "Encoding Channel:");

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

    AddGetSetRow(page);
    page->addStretch();
}

CEncoderVideoView::~CEncoderVideoView() = default;

QSlider* CEncoderVideoView::Slider(const std::string& key) const {
    auto it = m_sliders.find(key);
    return it == m_sliders.end() ? nullptr : it->second;
}

void CEncoderVideoView::OnInitialUpdate() {
    m_logic = MakeLogic(m_pageParam);
    ShowChannels(EncodingChannels(m_logic->Variant().channels));
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

}  // namespace nms
