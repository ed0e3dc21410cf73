#include "pages/mux/mux_channel2_view.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace nms {

Cmuxchannel2::Cmuxchannel2(QWidget* parent) : CMultiOutputView(parent) {
    auto* pidRemapLabel = new QLabel("PID Re-Mapping", this);
    MakePidRemap();
    LayOut({}, {pidRemapLabel, m_pidRemap});
}

Cmuxchannel2::~Cmuxchannel2() {
    Mirror(nullptr);
}

void Cmuxchannel2::OnInitialUpdate() {
    Mirror(nullptr);
    m_logic = std::make_unique<MuxChannel2Logic>(m_pageParam);
    Mirror(m_logic.get());
    m_logic->Initialise();
    for (int n = 1; n < 4; ++n)
        m_out[n]->setVisible(m_logic->FourOutputs());
}

void Cmuxchannel2::OnInputAnalyze() {
    if (Ready())
        Carry(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree), m_pidRemap->isChecked()));
}

void Cmuxchannel2::OnOut(int output) {
    if (Ready() && output >= 0 && output < 4 && (output == 0 || m_logic->FourOutputs()))
        Carry(m_logic->Route(ProgramTreeMirror::Selection(m_inputTree), output));
}

void Cmuxchannel2::OnRefreshOut() {
    if (Ready())
        Carry(m_logic->Refresh());
}

void Cmuxchannel2::OnShowWindow(bool shown) {
    if (shown)
        OnRefreshOut();
}

}  // namespace nms
