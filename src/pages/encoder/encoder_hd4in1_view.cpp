#include "pages/encoder/encoder_hd4in1_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "pages/encoder/encoder_widgets.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr Hd4Version kVersions[] = {Hd4Version::kV0, Hd4Version::kV1, Hd4Version::kV3};

// The settings in the left column, the service in the right one.
bool IsService(const std::string& key) {
    return key == "program" || key == "bitrate" || key == "audioPid" || key == "videoPid" ||
           key == "pcrPid" || key == "pmtPid" || key == "provider" || key == "name";
}

}  // namespace

size_t encoderHD4in1_av::Slot(Hd4Version version) {
    switch (version) {
        case Hd4Version::kV1:
            return 1;
        case Hd4Version::kV3:
            return 2;
        default:
            return 0;
    }
}

encoderHD4in1_av::encoderHD4in1_av(QWidget* parent) : CFormTemplateView(parent) {
    m_logic = std::make_unique<Hd4Logic>(0);
    auto* page = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_channelLabel = new QLabel("Channel:", this);
    m_channel = new QComboBox(this);
    m_inputLabel = new QLabel("HDMI:", this);
    m_inputText = new QLabel(this);
    top->addWidget(m_channelLabel);
    top->addWidget(m_channel);
    top->addSpacing(20);
    top->addWidget(m_inputLabel);
    top->addWidget(m_inputText);
    top->addStretch();
    page->addLayout(top);

    m_stack = new QStackedWidget(this);
    for (Hd4Version version : kVersions) {
        const size_t i = Slot(version);
        const FieldTable& table = Hd4TableOf(version);
        m_forms[i] = new QWidget(m_stack);
        m_binders[i] = std::make_unique<FormBinder>(table, m_forms[i]);
        std::vector<std::string> settings, service;
        for (const FieldDef& f : table)
            (IsService(f.key) ? service : settings).push_back(f.key);
        auto* left = new QGridLayout;
        auto* right = new QGridLayout;
        m_binders[i]->AddRows(left, settings);
        m_binders[i]->AddRows(right, service);
        auto* row = new QHBoxLayout(m_forms[i]);
        row->setContentsMargins(0, 0, 0, 0);
        row->addLayout(left);
        row->addSpacing(20);
        row->addLayout(right);
        row->addStretch();
        m_stack->addWidget(m_forms[i]);
        if (auto* pixel = qobject_cast<QComboBox*>(m_binders[i]->Control("pixel")))
            connect(pixel, &QComboBox::activated, this, &encoderHD4in1_av::OnSelChangePixel);
    }
    page->addWidget(m_stack);

    m_get = new QPushButton("Get", this);
    m_set = new QPushButton("Set", this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_get);
    buttons->addWidget(m_set);
    buttons->addStretch();
    page->addLayout(buttons);
    page->addStretch();

    connect(m_get, &QPushButton::clicked, this, &encoderHD4in1_av::OnGet);
    connect(m_set, &QPushButton::clicked, this, &encoderHD4in1_av::OnSet);
    connect(m_channel, &QComboBox::activated, this, &encoderHD4in1_av::OnGet);
}

encoderHD4in1_av::~encoderHD4in1_av() = default;

void encoderHD4in1_av::OnInitialUpdate() {
    m_logic = std::make_unique<Hd4Logic>(m_pageParam);
    if (m_logic->Variant().modulator) {
        m_binders[0]->Label("volume")->setText("Volume(0~15)");
    }
    ShowImage();
}

void encoderHD4in1_av::ShowImage() {
    m_stack->setCurrentWidget(m_forms[Slot(m_logic->Version())]);
    FormBinder& binder = Binder();
    for (const FieldDef& f : binder.Table())
        binder.SetUsed(f.key, m_logic->Uses(f.key));
    binder.Show(m_logic->Image());
    ShowFallbacks(binder, m_logic->Image(), m_logic->Fallbacks());

    std::vector<std::string> shown;
    for (int i = 0; i < m_channel->count(); ++i)
        shown.push_back(m_channel->itemText(i).toStdString());
    if (shown != m_logic->Channels())
        FillChannels(m_channel, m_logic->Channels());
    m_channel->setCurrentIndex(m_logic->ChannelSelection());
    m_channel->setVisible(m_logic->ChannelsShown());
    m_channelLabel->setVisible(m_logic->ChannelsShown());

    const std::string label = m_logic->InputLabel();
    const std::string text = m_logic->InputText();
    m_inputLabel->setText(QString::fromStdString(label));
    m_inputLabel->setVisible(!label.empty());
    m_inputText->setText(QString::fromStdString(text));
    m_inputText->setVisible(!label.empty() && !text.empty());
}

void encoderHD4in1_av::OnSelChangePixel() {
    auto* pixel = qobject_cast<QComboBox*>(Binder().Control("pixel"));
    if (!pixel)
        return;
    const std::string message = m_logic->CheckPixel(pixel->currentIndex());
    if (!message.empty())
        ShowMessageBox(message);
}

void encoderHD4in1_av::OnGet() {
    if (DeviceOnline())
        Carry(m_logic->Get(m_channel->currentIndex()));
}

void encoderHD4in1_av::OnSet() {
    if (!DeviceOnline())
        return;
    const PageStep step = m_logic->Set(Binder().Inputs(), m_channel->currentIndex());
    Binder().Focus(m_logic->FailedField());
    Carry(step);
}

void encoderHD4in1_av::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnGet();
}

void encoderHD4in1_av::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void encoderHD4in1_av::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device && device == m_device && reply.IsValid())
        Carry(m_logic->HandleReply(reply));
}

void encoderHD4in1_av::OnRefresh(unsigned what, bool) {
    if (what & PageStep::kRefreshAll)
        ShowImage();
}

}  // namespace nms
