// The IP-index dialog of the four-channel CAM receiver: a program's IP output index and which of its
// elementary streams pass.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace nms {

class CIpIndexDlg : public QDialog {
    Q_OBJECT
public:
    struct Inputs {
        uint8_t feature = 0;
        int maxIndex = 32;
        int streams = 0;
        int ipIndex = 0;
        uint16_t filterMask = 0;
        uint16_t pcrPid = 0;
        uint16_t stream1Pid = 0, stream2Pid = 0;
    };

    CIpIndexDlg(const Inputs& inputs, QWidget* parent = nullptr);

    // After "Set": the chosen index and the mask rebuilt from the shown boxes only.
    int IpIndex() const;
    uint16_t FilterMask() const;

    QComboBox* m_index = nullptr;
    QGroupBox* m_filter = nullptr;
    std::array<QCheckBox*, 16> m_streams{};

private:
    int m_streamCount = 0;
};

}  // namespace nms
