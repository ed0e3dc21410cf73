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

// What the E1 and DS3 adapter pages share: showing the page reads the configuration and starts the
// status poll, hiding it stops the poll; replies and the end of the wait go to the page's logic.
class CAdapterView : public CFormTemplateView {
    Q_OBJECT
public:
    using CFormTemplateView::CFormTemplateView;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    virtual void OnGet() = 0;

protected:
    void OnShowWindow(bool shown) override;
    void OnStepRefused(const PageStep&) override { Refused(); }
    virtual PageStep HandleReply(const ReplyView& reply) = 0;
    virtual void WaitEnded() = 0;
    virtual void Refused() = 0;
};

class C4e1_asi : public CAdapterView {
    Q_OBJECT
public:
    explicit C4e1_asi(QWidget* parent = nullptr);

    void OnGet() override;
    void OnSet();

    QComboBox* m_mode = nullptr;
    QLineEdit* m_asiToE1 = nullptr;
    QLineEdit* m_e1ToAsi = nullptr;
    std::array<QLabel*, 5> m_lamps{};  // E1 1..4 LOCK, ASI LOCK
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnRefresh(unsigned what, bool refreshed) override;
    PageStep HandleReply(const ReplyView& reply) override { return m_logic.HandleReply(reply); }
    void WaitEnded() override { m_logic.WaitEnded(); }
    void Refused() override { m_logic.Refused(); }

private:
    E1AdapterLogic m_logic;
};

class CDS3AdapterView : public CAdapterView {
    Q_OBJECT
public:
    explicit CDS3AdapterView(QWidget* parent = nullptr);

    void OnGet() override;
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
    void OnRefresh(unsigned what, bool refreshed) override;
    PageStep HandleReply(const ReplyView& reply) override { return m_logic.HandleReply(reply); }
    void WaitEnded() override { m_logic.WaitEnded(); }
    void Refused() override { m_logic.Refused(); }

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
