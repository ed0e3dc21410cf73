// The "Video/Audio" tab of the one-channel HD encoder, with the status poll's bitrate and input locks.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/hd_av_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nms {

class CencoderHDav : public CBlockPageView {
    Q_OBJECT
public:
    explicit CencoderHDav(QWidget* parent = nullptr);
    ~CencoderHDav() override;

    void SetDevice(DeviceRecord* device) override;
    void OnInitialUpdate() override;
    // Offline, a Get shows the block as it stands.
    void OnGet() override;
    // A click on an input: the pixel list and the audio interface follow it; other edits stay.
    void OnInputClick();

    FormBinder& Binder() { return *m_binder; }
    const HdAvLogic& Logic() const { return m_logic; }
    QComboBox* PixelCombo() const;
    // The lock lamps of HDMI, SDI, YPbPr and CVBS.
    std::array<QLabel*, 4> m_locks{};
    QLineEdit* m_bitrate = nullptr;
    QLineEdit* m_max = nullptr;
    QLineEdit* m_min = nullptr;
    QLabel* m_format = nullptr;

protected:
    IBlockLogic* PageLogic() override { return &m_logic; }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override;
    // A Set writes the pixel entry chosen.
    std::optional<int> Selection() const override;
    bool MayPoll() const override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void ShowStatus();
    void FillPixels(int input, int value);

    HdAvLogic m_logic;
    std::unique_ptr<FormBinder> m_binder;
    int m_pixelInput = 0;  // the input the pixel list was filled for
};

}  // namespace nms
