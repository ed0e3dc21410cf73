// The program edit dialog of the multi-output, IP and 16-QAM multiplexer pages. The caller fills m_info,
// m_languageFlag and m_ciChoice, runs DoModal() and on 1 (OK) copies them back into its record.
#pragma once

#include "pages/mux/program_dlg_base.h"
#include "pages/mux/program_info_fields.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace nms {

class CProgramInfoDlg : public CProgramDlgBase {
    Q_OBJECT
public:
    explicit CProgramInfoDlg(QWidget* parent = nullptr);

    ProgramInfoFields m_info;
    int m_languageFlag = 0;  // 1 Russian, 0 default
    int m_ciChoice = 0;      // 0 "Bypass", 1 "CAM"

    bool DoDataExchange(bool collect) override;
    void OnElementChanged(int row);
    void OnCasChanged(int row);

    QLineEdit* ElementPidEdit() const { return m_elementPid; }
    QLineEdit* EcmEdit() const { return m_ecm; }
    QLineEdit* LanguageEdit() const { return m_language; }
    QComboBox* ElementCombo() const { return m_element; }
    QComboBox* CasCombo() const { return m_cas; }
    QComboBox* CiCombo() const { return m_ci; }
    QLabel* CiLabel() const { return m_ciLabel; }

private:
    bool StoreEdit(QComboBox* combo, int row, QLineEdit* edit);

    QLineEdit* m_elementPid;
    QLineEdit* m_ecm;
    QLineEdit* m_language;
    QComboBox* m_element;
    QComboBox* m_cas;
    QComboBox* m_ci;
    QLabel* m_ciLabel;
    int m_elementRow = -1;
    int m_casRow = -1;
    std::string m_shownName;
    std::string m_nameBytes;  // the name as filled, without a language prefix
};

}  // namespace nms
