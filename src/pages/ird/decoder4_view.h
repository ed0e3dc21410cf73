// The program page of the four-channel ASI HD decoder: per channel tab the tuner input, the channel's
// programs and its decoder settings.
#pragma once

#include <memory>

#include "pages/ird/cam4_channel_view.h"
#include "pages/ird/decoder4_logic.h"

class QPushButton;

namespace nms {

class Cdecoder4 : public CCam4ChannelView {
    Q_OBJECT
public:
    explicit Cdecoder4(QWidget* parent = nullptr);
    ~Cdecoder4() override;

    void OnParse();
    void OnReadPrograms();
    void OnReadDecoder();
    void OnSendDecoder();

    FormBinder& DecoderBinder() { return *m_decoder; }
    QPushButton* m_readPrograms = nullptr;
    QPushButton* m_readDecoder = nullptr;
    QPushButton* m_sendDecoder = nullptr;

protected:
    CamChannelLogic& ChannelLogic() override { return m_logic; }
    void ShowBlock() override;
    void FillProgramList() override;
    // The decoder settings, then the input and the program list.
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    Decoder4Logic m_logic;
    std::unique_ptr<FormBinder> m_decoder;
};

}  // namespace nms
