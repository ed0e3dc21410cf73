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
        auto* grid = new QGridLayout(box);
        for (const std::string& key : keys) {
            binder.Control(key)->setParent(box);
            if (binder.Label(key))
                binder.Label(key)->setParent(box);
        }
        binder.AddRows(grid, keys);
        grid->setColumnStretch(2, 1);
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

CIRD_CAM_decoder::CIRD_CAM_decoder(QWidget* parent) : CFormTemplateView(parent) {
    m_binder = std::make_unique<FormBinder>(DecoderSettingsTable(), this);
    m_tabs = new QTabBar(this);
    m_tabs->addTab("Channel 1");
    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    auto* page = new QVBoxLayout(this);
    page->addWidget(m_tabs);
    page->addWidget(MakeDecoderForm(*m_binder, this));
    page->addLayout(buttons);
    page->addStretch();
    connect(m_get, &QPushButton::clicked, this, &CIRD_CAM_decoder::OnGet);
    connect(m_set, &QPushButton::clicked, this, &CIRD_CAM_decoder::OnSet);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this] { OnGet(); });
}

CIRD_CAM_decoder::~CIRD_CAM_decoder() = default;

void CIRD_CAM_decoder::OnGet() {
    if (DeviceOnline())
        Carry(m_logic.Get(m_tabs->currentIndex()));
}

void CIRD_CAM_decoder::OnSet() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic.Set(m_binder->Inputs());
    m_binder->Focus(m_logic.FailedField());
    Carry(step);
}

void CIRD_CAM_decoder::OnShowWindow(bool shown) {
    if (shown)
        OnGet();
}

void CIRD_CAM_decoder::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CIRD_CAM_decoder::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic.HandleReply(reply));
}

void CIRD_CAM_decoder::OnRefresh(unsigned what, bool refreshed) {
    if (what & DecoderLogic::kRefreshDecoder)
        ShowDecoderForm(*m_binder, m_logic.Offer(), m_logic.Block());
    CFormTemplateView::OnRefresh(what & PageStep::kRefreshAll, refreshed);
}

}  // namespace nms
