// The "Video/Audio" page of the multi-channel SD encoders (4/8-channel MPEG-2, 8/12/16-channel MPEG-2/4).
#pragma once

#include <memory>

#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "pages/encoder/encoder8_logic.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QVBoxLayout;

namespace nms {

class Cencoder8 : public CBlockPageView {
    Q_OBJECT
public:
    explicit Cencoder8(QWidget* parent = nullptr);
    ~Cencoder8() override;

    void OnInitialUpdate() override;
    // The tab of the channel read comes to the front.
    void OnGet() override;
    void OnCopyToAll();
    void OnSelChangeTab(int channel);
    void OnSelChangeAudioBitrate();

    FormBinder& Binder() { return *m_binder; }
    const Encoder8Logic& Logic() const { return *m_logic; }
    QTabBar* m_tabs = nullptr;
    QPushButton* m_copyAll = nullptr;
    QLineEdit* m_info = nullptr;       // edit 1011
    QComboBox* m_audioMode = nullptr;  // the 149-byte layout's mode box, not stored
    QWidget* m_form = nullptr;

protected:
    IBlockLogic* PageLogic() override { return m_logic.get(); }
    FormBinder* PageForm() override { return m_binder.get(); }
    // The channel shown.
    void ShowBlock() override;
    void OnRefresh(unsigned what, bool refreshed) override;

private:
    void Build();
    void ShowTabs();

    std::unique_ptr<Encoder8Logic> m_logic;
    std::unique_ptr<FormBinder> m_binder;
    QVBoxLayout* m_pageLayout = nullptr;
    QWidget* m_scramblerBox = nullptr;  // the scrambler checks and ECM PIDs
};

}  // namespace nms
