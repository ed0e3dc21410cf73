#include "pages/mux/mux_ip_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "devices/device_record.h"
#include "pages/modulator/qam4_view.h"

namespace nms {

Cmuxip::Cmuxip(QWidget* parent) : CMultiOutputView(parent) {
    QFont font("Arial");
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    setFont(font);

    m_groupLabel = new QLabel("Channel", this);
    m_group = new QComboBox(this);
    for (const char* g : {"01-08", "09-16", "17-24", "25-32", "33-40", "41-48", "49-56", "57-64"})
        m_group->addItem(g);
    MakePidRemap();
    m_pidRemap->hide();
    LayOut({m_groupLabel, m_group}, {});
    connect(m_group, &QComboBox::activated, this, &Cmuxip::OnSelChangeGroup);
}

Cmuxip::~Cmuxip() {
    Mirror(nullptr);
}

void Cmuxip::OnInitialUpdate() {
    const uint16_t type = m_device ? m_device->typeCode : 0;
    Mirror(nullptr);
    m_logic = std::make_unique<MuxIpLogic>(m_pageParam, type);
    Mirror(m_logic.get());
    m_logic->Initialise();
    m_logic->SetGroup(m_logic->GroupComboShown() ? m_group->currentIndex() : 0);
    ApplyLayoutControls();
}

void Cmuxip::ApplyLayoutControls() {
    if (!m_logic)
        return;
    m_out[0]->setText(m_logic->FirstRouteText());
    for (int n = 0; n < 4; ++n)
        m_out[n]->setVisible(m_logic->OutButtonShown(n));
    m_group->setVisible(m_logic->GroupComboShown());
    m_groupLabel->setVisible(m_logic->GroupComboShown());
}

QString Cmuxip::BitrateText(int n) const {
    if (!m_logic || n < 0 || n > 3)
        return {};
    return QString::fromStdString(m_logic->Bitrates()[n]);
}

void Cmuxip::Apply(const PageStep& step) {
    Carry(step);
    ApplyLayoutControls();
}

void Cmuxip::OnInputAnalyze() {
    if (Ready())
        Apply(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree)));
}

void Cmuxip::OnOut(int output) {
    if (Ready() && output >= 0 && output < 4 && m_logic->OutButtonShown(output))
        Apply(m_logic->Route(ProgramTreeMirror::Selection(m_inputTree), output));
}

void Cmuxip::OnRefreshOut() {
    if (!Ready())
        return;
    m_logic->SetGroup(m_logic->GroupComboShown() ? m_group->currentIndex() : 0);
    Apply(m_logic->Refresh());
}

void Cmuxip::OnSelChangeGroup() {
    OnRefreshOut();
}

void Cmuxip::OnShowWindow(bool shown) {
    if (!shown) {
        KillTimer(kPollTimerId);
        return;
    }
    SetTimer(kPollTimerId, kPollMs);
    OnRefreshOut();
}

void Cmuxip::OnTimer(int id) {
    // The wait ran out: the chain stops; a late reply is shown but continues nothing.
    if (id == kWaitTimerId && m_logic)
        m_logic->WaitEnded();
    Cqam4::OnTimer(*this, id);
}

}  // namespace nms
