#include "pages/encoder/encoder_system_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pagebase/lamp.h"
#include "pages/encoder/encoder_public_view.h"
#include "pages/encoder/encoder_widgets.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr int kStatusTimerId = kEncoderStatusTimerId;
constexpr const char* kValidationCaption = "Warning";

}  // namespace

CEncoderSystemView::CEncoderSystemView(bool hd, QWidget* parent) : CBlockPageView(parent), m_hd(hd) {
    m_logic = std::make_unique<EncoderSystemLogic>(0, hd);
    const FieldTable& table = hd ? HdSystemTable() : EncoderSystemTable();
    m_binder = std::make_unique<FormBinder>(table, this);
    auto* page = new QVBoxLayout(this);

    AddChannelRow(page, "Encoding Channel:");

    auto* bitrateRow = new QHBoxLayout;
    auto* bitrate = Edit("bitrate");
    m_slider = CoupleSlider(bitrate, 1000, hd ? 20000 : 15000, 500, hd ? 20000 : 15000, this);
    bitrateRow->addWidget(m_binder->Label("bitrate"));
    bitrateRow->addWidget(m_slider, 1);
    bitrateRow->addWidget(bitrate);
    bitrateRow->addWidget(new QLabel("Kbps", this));
    page->addLayout(bitrateRow);

    for (const char* key : {"pmtPid", "videoPid", "audioPid", "pcrPid", "tsId", "netId"})
        Edit(key)->setMaxLength(4);
    for (const char* key : {"provider", "name"})
        Edit(key)->setMaxLength(30);
    page->addWidget(
        FieldGroup("Program PID", *m_binder, {"pmtPid", "videoPid", "audioPid", "pcrPid", "program"}, this));
    auto* names = new QGridLayout;
    names->addWidget(m_binder->Control("sdt"), 0, 0, 1, 2);
    m_binder->AddRows(names, {"provider", "name"}, 1);
    names->setColumnStretch(2, 1);
    page->addLayout(names);
    m_modeGroup = new QGroupBox("Bitrate Mode", this);
    auto* modeLayout = new QHBoxLayout(m_modeGroup);
    if (QWidget* mode = m_binder->Control("mode")) {
        mode->setParent(m_modeGroup);
        modeLayout->addWidget(mode);
    }
    m_modeGroup->setVisible(!hd);
    page->addWidget(m_modeGroup);
    m_identityGroup = FieldGroup("System PID", *m_binder, {"tsId", "netId", "port"}, this);
    page->addWidget(m_identityGroup);

    QHBoxLayout* buttons = AddGetSetRow(page);

    m_statusRow = new QWidget(this);
    auto* status = new QHBoxLayout(m_statusRow);
    status->setContentsMargins(0, 0, 0, 0);
    m_lamp = MakeLamp(m_statusRow);
    m_bitrate = new QLineEdit(m_statusRow);
    m_max = new QLineEdit(m_statusRow);
    m_min = new QLineEdit(m_statusRow);
    status->addWidget(m_lamp);
    for (auto [caption, edit] :
         {std::pair{"Bitrate(Mbps):", m_bitrate}, std::pair{"MAX:", m_max}, std::pair{"MIN:", m_min}}) {
        edit->setReadOnly(true);
        edit->setMaximumWidth(90);
        status->addWidget(new QLabel(caption, m_statusRow));
        status->addWidget(edit);
    }
    status->addStretch();
    m_statusRow->setVisible(false);
    // Beside the buttons: a row of its own would take the page past the main window's page area.
    buttons->insertSpacing(buttons->count() - 1, 20);
    buttons->insertWidget(buttons->count() - 1, m_statusRow);
    page->addStretch();

    // The one-channel SD encoder polls its status whether or not the page is shown.
    SetStatusPoll(kStatusTimerId, kEncoderSystemPollMs, false);
    connect(qobject_cast<QCheckBox*>(m_binder->Control("sdt")), &QCheckBox::clicked, this,
            &CEncoderSystemView::OnSdtInsertClick);
    if (!hd)
        connect(Edit("pmtPid"), &QLineEdit::editingFinished, this, &CEncoderSystemView::OnPmtPidKillFocus);
}

CEncoderSystemView::~CEncoderSystemView() = default;

QLineEdit* CEncoderSystemView::Edit(const std::string& key) const {
    return qobject_cast<QLineEdit*>(m_binder->Control(key));
}

void CEncoderSystemView::OnInitialUpdate() {
    m_logic = std::make_unique<EncoderSystemLogic>(m_pageParam, m_hd);
    ShowChannels(EncodingChannels(m_logic->Channels()));
    // The four-channel encoder has no output identity of its own here; those bytes are never sent.
    const bool identity = m_hd || m_logic->Identity();
    m_identityGroup->setVisible(identity);
    for (const char* key : {"tsId", "netId", "port"})
        m_binder->SetUsed(key, identity);
    if (m_logic->Identity()) {
        m_bitrate->clear();
        m_max->clear();
        m_min->clear();
        SetLamp(m_lamp, false);
        m_statusRow->setVisible(true);
        SetTimer(kStatusTimerId, kEncoderSystemPollMs);
    } else {
        m_statusRow->setVisible(false);
        KillTimer(kStatusTimerId);
    }
    ShowBlock();
    m_slider->setValue(m_hd ? 8000 : 1000);  // where the slider starts before anything was read
}

void CEncoderSystemView::ShowBlock() {
    const ParamBlock& block = m_logic->Block();
    m_binder->Show(block);
    m_slider->setValue(int(block.Value(m_binder->Table()[size_t(m_binder->Index("bitrate"))])));
    OnSdtInsertClick();
    m_pmtText = Edit("pmtPid")->text().toStdString();
}

void CEncoderSystemView::ShowStatus() {
    if (const auto bitrate = m_logic->Bitrate())
        m_bitrate->setText(QString::fromStdString(FormatThousandths(*bitrate)));
    if (m_logic->Range().Known()) {
        m_max->setText(QString::fromStdString(FormatThousandths(m_logic->Range().Max())));
        m_min->setText(QString::fromStdString(FormatThousandths(m_logic->Range().Min())));
    }
    // Bit 0 is the alarm: red while it is set.
    if (const auto alarm = m_logic->Alarm())
        SetLamp(m_lamp, !*alarm);
}

void CEncoderSystemView::OnSdtInsertClick() {
    const bool on = qobject_cast<QCheckBox*>(m_binder->Control("sdt"))->isChecked();
    m_binder->SetEnabled("provider", on);
    m_binder->SetEnabled("name", on);
}

void CEncoderSystemView::OnPmtPidKillFocus() {
    QLineEdit* pmt = Edit("pmtPid");
    const std::string text = pmt->text().toStdString();
    const std::string message = CheckPmtPidText(text);
    if (message.empty()) {
        m_pmtText = text;
        return;
    }
    pmt->setText(QString::fromStdString(m_pmtText));
    ShowMessageBox(message, kValidationCaption);
}

bool CEncoderSystemView::MayPoll() const {
    return CEncoderPublicView::MayPollStatus(*this);
}

void CEncoderSystemView::OnRefresh(unsigned what, bool refreshed) {
    CBlockPageView::OnRefresh(what, refreshed);
    if (what & EncoderSystemLogic::kRefreshStatus)
        ShowStatus();
}

}  // namespace nms
