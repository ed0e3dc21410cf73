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

encoderHD4in1_av::encoderHD4in1_av(QWidget* parent) : CBlockPageView(parent) {
    m_logic = std::make_unique<Hd4Logic>(0);
    auto* page = new QVBoxLayout(this);

    QHBoxLayout* top = AddChannelRow(page, "Channel:");
    m_inputLabel = new QLabel("HDMI:", this);
    m_inputText = new QLabel(this);
    // Beside the channel list, before the row's stretch.
    top->insertSpacing(2, 20);
    top->insertWidget(3, m_inputLabel);
    top->insertWidget(4, m_inputText);

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

    AddGetSetRow(page);
    page->addStretch();
}

encoderHD4in1_av::~encoderHD4in1_av() = default;

void encoderHD4in1_av::OnInitialUpdate() {
    m_logic = std::make_unique<Hd4Logic>(m_pageParam);
    if (m_logic->Variant().modulator) {
        m_binders[0]->Label("volume")->setText("Volume(0~15)");
    }
    ShowBlock();
}

void encoderHD4in1_av::ShowBlock() {
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

}  // namespace nms
