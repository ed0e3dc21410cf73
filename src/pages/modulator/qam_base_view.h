// The "Modulator" pages of the single QAM and QPSK modulators (CQamBaseView) and of the QAM output of the
// multiplexing modulator (CmuxQAM): one parameter record read, edited and written back.
#pragma once

#include <memory>

#include "pagebase/form_binder.h"
#include "pagebase/form_template_view.h"
#include "pages/modulator/qam_record_logic.h"

class QGroupBox;
class QPushButton;

namespace nms {

// The page machinery both pages share: Get on show and by button, Set by button, replies to the logic.
class QamRecordPage : public CFormTemplateView {
    Q_OBJECT
public:
    QamRecordPage(const FieldTable& table, int size, int mirrorPort, int idsFrom, QWidget* parent);
    ~QamRecordPage() override;

    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;
    void OnGet();
    void OnSet();

    FormBinder& Binder() { return *m_binder; }
    const QamRecordLogic& Logic() const { return *m_logic; }
    QPushButton* m_get = nullptr;
    QPushButton* m_set = nullptr;

protected:
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep&) override { m_logic->WaitEnded(); }
    virtual void ShowRecord() { m_binder->Show(m_logic->Block()); }

    std::unique_ptr<QamRecordLogic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
};

class CQamBaseView : public QamRecordPage {
    Q_OBJECT
public:
    explicit CQamBaseView(QWidget* parent = nullptr);
    void OnInitialUpdate() override;

    QGroupBox* m_insertGroup = nullptr;

protected:
    void ShowRecord() override;

private:
    QamPageVariant m_variant{0, false};
};

class CmuxQAM : public QamRecordPage {
    Q_OBJECT
public:
    explicit CmuxQAM(QWidget* parent = nullptr);
};

}  // namespace nms
