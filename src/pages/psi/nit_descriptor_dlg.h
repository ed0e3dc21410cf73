// "Insert Description": one transport-stream row of the NIT editor. The page sets m_form (ids, frequency,
// symbol rate, delivery system and, when editing, the indexes), m_editMode and m_entry, runs DoModal() and
// on 1 reads back m_form (texts in their stored form) and m_entry (the row's descriptors).
#pragma once

#include <QDialog>
#include <string>

#include "pages/psi/nit_ts_entry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace nms {

class CNitDescriptorDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNitDescriptorDlg(QWidget* parent = nullptr);

    int DoModal();
    // Fills the controls from the members (DoModal starts with it).
    void OnInitDialog();
    void OnOK();

    void OnCable() { SetUpDelivery(kNitCable); }
    void OnSatellite() { SetUpDelivery(kNitSatellite); }
    void OnTerrestrial() { SetUpDelivery(kNitTerrestrial); }
    void OnLcnCheck();
    void OnPrivateCheck();
    void OnNordig87Check();
    void OnNordigV21Check();
    void OnAddLcn();
    void OnEditLcn();
    void OnDeleteLcn();
    void OnClearLcn();
    void OnLoadLcn();
    void OnAddPrivate();
    void OnEditPrivate();
    void OnDeletePrivate();
    void OnClearPrivate();

    NitTsForm m_form;
    NitTsEntry m_entry;
    int m_editMode = 0;       // 0 adds a row, 1 edits one
    uint8_t m_lcnFormat = 0;  // 0 hexadecimal, 1 decimal: as last chosen in the LCN dialog

    QLineEdit* m_tsIdEdit;
    QLineEdit* m_onidEdit;
    QLineEdit* m_frequencyEdit;
    QLineEdit* m_symbolRateEdit;
    QLabel* m_frequencyUnit;
    QLabel* m_symbolLabel;
    QLabel* m_symbolUnit;
    QRadioButton* m_cable;
    QRadioButton* m_satellite;
    QRadioButton* m_terrestrial;
    QComboBox* m_modulation;
    QLabel* m_polarizationLabel;
    QComboBox* m_polarization;  // polarization for satellite, FEC for terrestrial
    QComboBox* m_transmissionMode;
    QComboBox* m_bandwidth;
    QLabel* m_guardLabel;
    QComboBox* m_guardInterval;
    QCheckBox* m_lcnCheck;
    QCheckBox* m_privateCheck;
    QCheckBox* m_nordig87;
    QCheckBox* m_nordigV21;
    QTreeWidget* m_lcnList;
    QTreeWidget* m_privateList;
    QPushButton* m_lcnButtons[5];  // Add, DEL, Edit, Clear, Load
    QPushButton* m_privateButtons[4];

private:
    void SetUpDelivery(int delivery);
    void CollectForm(NitTsForm* form) const;
    void ShowLcnRows();
    void ShowPrivateRows();
    void UpdateLcnColumns();
    void UpdateEnabled();
    int SelectedLcn() const;
    int SelectedPrivate() const;

    int m_openedDelivery = kNitCable;
};

}  // namespace nms
