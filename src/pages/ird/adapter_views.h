// The pages of the 4 x E1 to ASI adapter, the DS3 to ASI adapter and the two-input ASI distributor.
#pragma once

#include <array>

#include "pagebase/form_template_view.h"
#include "pages/ird/adapter_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace nms {

class C4e1_asi : public CFormTemplateView {
    Q_OBJECT
public:
    explicit C4e1_asi(QWidget* parent = nullptr);

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    QComboBox* m_mode = nullptr;
    QLineEdit* m_asiToE1 = nullptr;
    QLineEdit* m_e1ToAsi = nullptr;
    std::array<QLabel*, 5> m_lamps{};  // E1 1..4 LOCK, ASI LOCK
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.Refused(); }

private:
    E1AdapterLogic m_logic;
};

class CDS3AdapterView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CDS3AdapterView(QWidget* parent = nullptr);

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    QComboBox* m_asiToDs3 = nullptr;  // "ASI=>DS3 Protocol:"
    QComboBox* m_ds3ToAsi = nullptr;  // "DS3=>ASI Protocol: "
    QLineEdit* m_asiToDs3Rate = nullptr;
    QLineEdit* m_ds3ToAsiRate = nullptr;
    QLabel* m_asiToDs3Lamp = nullptr;
    QLabel* m_ds3ToAsiLamp = nullptr;
    QLabel* m_asiToDs3Lock = nullptr;
    QLabel* m_ds3ToAsiLock = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic.Refused(); }

private:
    Ds3AdapterLogic m_logic;
};

class CASIDistributorView : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CASIDistributorView(QWidget* parent = nullptr);
    ~CASIDistributorView() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();
    void OnAutoSwitch();

    QCheckBox* m_autoSwitch = nullptr;
    QRadioButton* m_input1 = nullptr;
    QRadioButton* m_input2 = nullptr;
    QLineEdit* m_rate1 = nullptr;
    QLineEdit* m_rate2 = nullptr;
    QLabel* m_lamp1 = nullptr;
    QLabel* m_lamp2 = nullptr;
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    AsiDistributorLogic m_logic;
    bool m_timerStarted = false;
};

}  // namespace nms
