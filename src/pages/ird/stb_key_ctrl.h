// The set-top-box infrared controller page: the remote keys' infrared codes, the delays, the public key
// sequence and each set-top box's own sequence; read from and committed to the device, loaded from and
// saved to *.ir files, and single actions on one set-top box.
#pragma once

#include <memory>

#include "pagebase/form_template_view.h"
#include "pages/ird/stb_key_logic.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace nms {

class CStbKeyCtrl : public CFormTemplateView {
    Q_OBJECT
public:
    explicit CStbKeyCtrl(QWidget* parent = nullptr);
    ~CStbKeyCtrl() override;

    void OnInitialUpdate() override;
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override;
    void OnTimer(int id) override;

    // Button handlers (public for the tests).
    void OnKeyButton(int code);
    void OnSetKeyValue();
    void OnClearPublic();
    void OnClearIndividual();
    void OnSetIndividual();
    void OnDeleteStb();
    void OnStbSelChange();
    void OnRead();
    void OnCommit();
    void OnAction(StbAction action);
    void OnSaveLocal();
    void OnReadLocal();
    // Writes and reads an *.ir file; false (after a message) when it fails.
    bool WriteIrFile(const std::string& path);
    bool ReadIrFile(const std::string& path);

    const StbKeyForm& Form() const { return m_form; }
    const std::string& IndividualNames() const { return m_individualNames; }
    const StbKeyLogic& Logic() const { return m_logic; }

    QPushButton* KeyButton(int code) const { return m_keyButtons[code - 1]; }
    QCheckBox* m_publicCheck = nullptr;
    QCheckBox* m_individualCheck = nullptr;
    QLineEdit* m_powerOnDelay = nullptr;
    QLineEdit* m_keyDelay = nullptr;
    QLineEdit* m_numDelay = nullptr;
    QLineEdit* m_keyValue = nullptr;
    QLabel* m_keyName = nullptr;
    QComboBox* m_stbCombo = nullptr;
    QComboBox* m_actionStbCombo = nullptr;
    QTreeWidget* m_keyList = nullptr;
    QTreeWidget* m_stbList = nullptr;
    QPushButton* m_read = nullptr;
    QPushButton* m_commit = nullptr;
    QPushButton* m_readLocal = nullptr;
    QPushButton* m_saveLocal = nullptr;
    QPushButton* m_setKey = nullptr;
    QPushButton* m_setIndividual = nullptr;
    QPushButton* m_delStb = nullptr;
    QPushButton* m_setOne = nullptr;

protected:
    bool DoDataExchange(bool collect) override;
    void OnShowWindow(bool shown) override;
    void OnRefresh(unsigned what, bool refreshed) override;
    void OnStepRefused(const PageStep& step) override;

private:
    void FillLists();
    void OnKeyListChanged();
    void OnStbListChanged();

    StbKeyLogic m_logic;
    StbKeyForm m_form;
    std::string m_individualNames;
    QLineEdit* m_publicCommand = nullptr;
    QLineEdit* m_individualEdit = nullptr;
    std::vector<QPushButton*> m_keyButtons;
};

}  // namespace nms
