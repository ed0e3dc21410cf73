// The "Modulator" pages of the single QAM and QPSK modulators (CQamBaseView) and of the QAM output of the
// multiplexing modulator (CmuxQAM): one parameter record read, edited and written back.
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/modulator/qam_record_logic.h"

class QGroupBox;

namespace nms {

// What both pages share: the record's logic and form.
class QamRecordPage : public CBlockPageView {
    Q_OBJECT
public:
    QamRecordPage(const FieldTable& table, int size, int mirrorPort, int idsFrom, QWidget* parent,
                  int clearFrom = 0, int clearTo = 0);
    ~QamRecordPage() override;

    FormBinder& Binder() { return *m_binder; }
    const QamRecordLogic& Logic() const { return *m_logic; }

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    void ShowBlock() override { m_binder->Show(m_logic->Block()); }

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
    void ShowBlock() override;

private:
    QamPageVariant m_variant{0, false};
};

class CmuxQAM : public QamRecordPage {
    Q_OBJECT
public:
    explicit CmuxQAM(QWidget* parent = nullptr);
};

}  // namespace nms
