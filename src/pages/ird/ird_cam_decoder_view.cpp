#include "pages/ird/ird_cam_decoder_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QVBoxLayout>

namespace nms {

QWidget* MakeDecoderForm(FormBinder& binder, QWidget* parent) {
    auto* form = new QWidget(parent);
    auto group = [&](const char* title, const std::vector<std::string>& keys) {
        auto* box = new QGroupBox(title, form);
        binder.AddRowsTo(box, keys);
        return box;
    };
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group("Program", {"program"}));
    auto* row = new QHBoxLayout;
    row->addWidget(group("Video", {"video", "aspect", "screen", "brightness", "contrast", "saturation"}));
    row->addWidget(group("Audio", {"audio", "audioMode", "ac3", "volume"}));
    layout->addLayout(row);
    qobject_cast<QComboBox*>(binder.Control("program"))->setMinimumWidth(220);
    return form;
}

void ShowDecoderForm(FormBinder& binder, const DecoderOffer& offer, const ParamBlock& block) {
    auto* programs = qobject_cast<QComboBox*>(binder.Control("program"));
    auto* audio = qobject_cast<QComboBox*>(binder.Control("audio"));
    programs->clear();
    for (const std::string& name : offer.programs)
        programs->addItem(QString::fromStdString(name));
    audio->clear();
    for (const std::string& track : offer.tracks)
        audio->addItem(QString::fromStdString(track));
    binder.Show(block);
}

CIRD_CAM_decoder::CIRD_CAM_decoder(QWidget* parent) : CBlockPageView(parent) {
    m_binder = std::make_unique<FormBinder>(DecoderSettingsTable(), this);
    m_tabs = new QTabBar(this);
    m_tabs->addTab("Channel 1");
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(MakeDecoderForm(*m_binder, this));
    AddGetSetRow(page);
    page->addStretch();
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this] { OnGet(); });
}

CIRD_CAM_decoder::~CIRD_CAM_decoder() = default;

std::optional<int> CIRD_CAM_decoder::Selection() const {
    return m_tabs->currentIndex();
}

void CIRD_CAM_decoder::ShowBlock() {
    ShowDecoderForm(*m_binder, m_logic.Offer(), m_logic.Block());
}

void CIRD_CAM_decoder::OnRefresh(unsigned what, bool refreshed) {
    if (what & DecoderLogic::kRefreshDecoder)
        ShowBlock();
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

}  // namespace nms
