// The "Video/Audio" tab of the multi-channel HD encoders and of the encoder boards of some modulators.
#pragma once

#include <array>
#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/hd4in1_logic.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace nms {

class encoderHD4in1_av : public CBlockPageView {
    Q_OBJECT
public:
    explicit encoderHD4in1_av(QWidget* parent = nullptr);
    ~encoderHD4in1_av() override;

    void OnInitialUpdate() override;
    void OnSelChangePixel();

    // The form of the version shown.
    FormBinder& Binder() { return *m_binders[Slot(m_logic->Version())]; }
    const Hd4Logic& Logic() const { return *m_logic; }
    QLabel* m_inputLabel = nullptr;
    QLabel* m_inputText = nullptr;

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return &Binder(); }
    void ShowBlock() override;

private:
    static size_t Slot(Hd4Version version);

    std::unique_ptr<Hd4Logic> m_logic;
    std::array<std::unique_ptr<FormBinder>, 3> m_binders;
    std::array<QWidget*, 3> m_forms{};
    QStackedWidget* m_stack = nullptr;
};

}  // namespace nms
