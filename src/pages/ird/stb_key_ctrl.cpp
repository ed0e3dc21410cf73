#include "pages/ird/stb_key_ctrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "pagebase/field_table.h"
#include "pagebase/text_conversion.h"
#include "pages/ird/ir_key_file.h"
#include "platform/prompt.h"

namespace nms {
namespace {

QTreeWidget* MakeList(QWidget* parent, const QStringList& columns, const std::vector<int>& widths) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setHeaderLabels(columns);
    for (size_t i = 0; i < widths.size(); ++i)
        list->setColumnWidth(int(i), widths[i]);
    return list;
}

QComboBox* MakeStbCombo(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (int n = 1; n <= kStbCount; ++n)
        combo->addItem(QString::number(n));
    combo->setCurrentIndex(0);
    return combo;
}

// Keys on the remote: code, grid row and column.
struct KeyPlace {
    int code, row, column;
};
constexpr KeyPlace kKeyPlaces[] = {
    {1, 0, 1},  {3, 1, 0},  {5, 1, 1},  {4, 1, 2},  {2, 2, 1},  {6, 3, 0},  {7, 3, 2},
    {8, 4, 0},  {9, 4, 2},  {10, 5, 0}, {11, 5, 2}, {13, 6, 0}, {14, 6, 1}, {15, 6, 2},
    {16, 7, 0}, {17, 7, 1}, {18, 7, 2}, {19, 8, 0}, {20, 8, 1}, {21, 8, 2}, {12, 9, 1},
};

bool ReadDelay(QLineEdit* edit, int* value) {
    const std::string text = edit->text().trimmed().toStdString();
    if (text.empty() || text.size() > 5 || !IsDecimalText(text) || std::stoi(text) > 65535) {
        ShowMessageBox(IntegerRangeMessage(0, 65535));
        edit->setFocus();
        return false;
    }
    *value = std::stoi(text);
    return true;
}

}  // namespace

CStbKeyCtrl::CStbKeyCtrl(QWidget* parent) : CFormTemplateView(parent) {
    // Remote keys.
    auto* keysGroup = new QGroupBox("Key Name", this);
    auto* keysGrid = new QGridLayout(keysGroup);
    m_keyButtons.resize(kStbKeys);
    for (const KeyPlace& place : kKeyPlaces) {
        auto* button = new QPushButton(QString::fromStdString(StbKeyNameOf(place.code)), keysGroup);
        button->setMinimumWidth(48);
        m_keyButtons[size_t(place.code - 1)] = button;
        keysGrid->addWidget(button, place.row, place.column);
        const int code = place.code;
        connect(button, &QPushButton::clicked, this, [this, code] { OnKeyButton(code); });
    }

    // Key map editor.
    auto* mapGroup = new QGroupBox("Key Map", this);
    m_keyList = MakeList(mapGroup, {"Key Name", "Key Val"}, {80, 120});
    m_keyName = new QLabel(mapGroup);
    m_keyName->setMinimumWidth(50);
    m_keyValue = new QLineEdit(mapGroup);
    m_keyValue->setMaximumWidth(100);
    m_setKey = new QPushButton("Set", mapGroup);
    auto* valueRow = new QHBoxLayout;
    valueRow->addWidget(m_keyName);
    valueRow->addWidget(new QLabel("0x", mapGroup));
    valueRow->addWidget(m_keyValue);
    valueRow->addWidget(m_setKey);
    valueRow->addStretch();
    auto* mapBox = new QVBoxLayout(mapGroup);
    mapBox->addWidget(m_keyList);
    mapBox->addLayout(valueRow);

    // Public sequence and delays.
    auto* cmdGroup = new QGroupBox(this);
    m_publicCheck = new QCheckBox("Public Cmd", cmdGroup);
    m_publicCommand = new QLineEdit(cmdGroup);
    m_publicCommand->setReadOnly(true);
    auto* clearPublic = new QPushButton("Clear", cmdGroup);
    m_powerOnDelay = new QLineEdit(cmdGroup);
    m_keyDelay = new QLineEdit(cmdGroup);
    m_numDelay = new QLineEdit(cmdGroup);
    for (QLineEdit* edit : {m_powerOnDelay, m_keyDelay, m_numDelay})
        edit->setMaximumWidth(80);
    m_individualCheck = new QCheckBox("Individual Cmd", cmdGroup);
    m_stbCombo = MakeStbCombo(cmdGroup);
    m_individualEdit = new QLineEdit(cmdGroup);
    m_individualEdit->setReadOnly(true);
    m_setIndividual = new QPushButton("Set", cmdGroup);
    auto* clearIndividual = new QPushButton("Clear", cmdGroup);
    m_delStb = new QPushButton("Del", cmdGroup);
    m_stbList = MakeList(cmdGroup, {"STB NO.", "Command"}, {70, 200});

    auto* cmdGrid = new QGridLayout(cmdGroup);
    cmdGrid->addWidget(m_publicCheck, 0, 0);
    cmdGrid->addWidget(new QLabel("CMD:", cmdGroup), 0, 1);
    cmdGrid->addWidget(m_publicCommand, 0, 2, 1, 3);
    cmdGrid->addWidget(clearPublic, 0, 5);
    cmdGrid->addWidget(new QLabel("PowerON Delay", cmdGroup), 1, 0);
    cmdGrid->addWidget(m_powerOnDelay, 1, 1);
    cmdGrid->addWidget(new QLabel("Sec. Key Delay", cmdGroup), 1, 2);
    cmdGrid->addWidget(m_keyDelay, 1, 3);
    cmdGrid->addWidget(new QLabel("Millisec. Num Delay", cmdGroup), 2, 2);
    cmdGrid->addWidget(m_numDelay, 2, 3);
    cmdGrid->addWidget(new QLabel("Millisec.", cmdGroup), 2, 4);
    cmdGrid->addWidget(m_individualCheck, 3, 0);
    cmdGrid->addWidget(new QLabel("STB NO.", cmdGroup), 3, 1);
    cmdGrid->addWidget(m_stbCombo, 3, 2);
    cmdGrid->addWidget(new QLabel("CMD:", cmdGroup), 4, 1);
    cmdGrid->addWidget(m_individualEdit, 4, 2, 1, 3);
    auto* individualButtons = new QHBoxLayout;
    individualButtons->addWidget(m_setIndividual);
    individualButtons->addWidget(clearIndividual);
    individualButtons->addWidget(m_delStb);
    individualButtons->addStretch();
    cmdGrid->addLayout(individualButtons, 5, 2, 1, 4);
    cmdGrid->addWidget(m_stbList, 6, 0, 1, 6);

    // Single actions on one set-top box.
    auto* actionGroup = new QGroupBox("Individual", this);
    m_actionStbCombo = MakeStbCombo(actionGroup);
    m_setOne = new QPushButton("SetOne", actionGroup);
    auto* volUp = new QPushButton("Vol+", actionGroup);
    auto* volDown = new QPushButton("Vol-", actionGroup);
    // The box number over the three actions: in one row they made the left column too wide.
    auto* actionBox = new QVBoxLayout(actionGroup);
    auto* stbRow = new QHBoxLayout;
    stbRow->addWidget(new QLabel("STB NO.", actionGroup));
    stbRow->addWidget(m_actionStbCombo);
    stbRow->addStretch();
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(m_setOne);
    actionRow->addWidget(volUp);
    actionRow->addWidget(volDown);
    actionRow->addStretch();
    actionBox->addLayout(stbRow);
    actionBox->addLayout(actionRow);

    m_read = new QPushButton("Read", this);
    m_commit = new QPushButton("Commit", this);
    m_readLocal = new QPushButton("Read Local", this);
    m_saveLocal = new QPushButton("Save Local", this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {m_read, m_commit, m_readLocal, m_saveLocal})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(keysGroup);
    left->addWidget(actionGroup);
    left->addStretch();
    // The key map under the commands: three columns side by side were wider than the main window's
    // page area.
    auto* right = new QVBoxLayout;
    right->addWidget(cmdGroup, 3);
    right->addWidget(mapGroup, 2);
    right->addLayout(buttons);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);

    connect(m_setKey, &QPushButton::clicked, this, &CStbKeyCtrl::OnSetKeyValue);
    connect(clearPublic, &QPushButton::clicked, this, &CStbKeyCtrl::OnClearPublic);
    connect(clearIndividual, &QPushButton::clicked, this, &CStbKeyCtrl::OnClearIndividual);
    connect(m_setIndividual, &QPushButton::clicked, this, &CStbKeyCtrl::OnSetIndividual);
    connect(m_delStb, &QPushButton::clicked, this, &CStbKeyCtrl::OnDeleteStb);
    connect(m_stbCombo, &QComboBox::activated, this, &CStbKeyCtrl::OnStbSelChange);
    connect(m_keyList, &QTreeWidget::itemClicked, this, &CStbKeyCtrl::OnKeyListChanged);
    connect(m_stbList, &QTreeWidget::itemClicked, this, &CStbKeyCtrl::OnStbListChanged);
    connect(m_read, &QPushButton::clicked, this, &CStbKeyCtrl::OnRead);
    connect(m_commit, &QPushButton::clicked, this, &CStbKeyCtrl::OnCommit);
    connect(m_setOne, &QPushButton::clicked, this, [this] { OnAction(kStbSetOne); });
    connect(volUp, &QPushButton::clicked, this, [this] { OnAction(kStbVolUp); });
    connect(volDown, &QPushButton::clicked, this, [this] { OnAction(kStbVolDown); });
    connect(m_readLocal, &QPushButton::clicked, this, &CStbKeyCtrl::OnReadLocal);
    connect(m_saveLocal, &QPushButton::clicked, this, &CStbKeyCtrl::OnSaveLocal);
    UpdateData(false);
}

CStbKeyCtrl::~CStbKeyCtrl() = default;

void CStbKeyCtrl::OnInitialUpdate() {
    // The lists and captions are made once; a new binding keeps the editor's state.
}

void CStbKeyCtrl::FillLists() {
    m_keyList->clear();
    for (const StbKeyForm::KeyRow& row : m_form.keyMap)
        m_keyList->addTopLevelItem(
            new QTreeWidgetItem({QString::fromStdString(row.name), QString::fromStdString(row.code)}));
    m_stbList->clear();
    for (const StbKeyForm::StbRow& row : m_form.stbCommands)
        m_stbList->addTopLevelItem(
            new QTreeWidgetItem({QString::fromStdString(row.stb), QString::fromStdString(row.command)}));
}

bool CStbKeyCtrl::DoDataExchange(bool collect) {
    if (collect)
        return ReadDelay(m_powerOnDelay, &m_form.powerOnDelay) && ReadDelay(m_keyDelay, &m_form.keyDelay) &&
               ReadDelay(m_numDelay, &m_form.numDelay);
    m_powerOnDelay->setText(QString::number(m_form.powerOnDelay));
    m_keyDelay->setText(QString::number(m_form.keyDelay));
    m_numDelay->setText(QString::number(m_form.numDelay));
    m_publicCommand->setText(QString::fromStdString(m_form.publicCommand));
    m_individualEdit->setText(QString::fromStdString(m_individualNames));
    FillLists();
    return true;
}

void CStbKeyCtrl::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnRead();
}

void CStbKeyCtrl::OnRefresh(unsigned what, bool refreshed) {
    if (what & StbKeyLogic::kRefreshBase)
        m_logic.ShowBaseConfig(m_form, m_individualNames);
    if (what & StbKeyLogic::kRefreshTables)
        m_logic.ShowKeyTables(m_form);
    if (what & (StbKeyLogic::kRefreshBase | StbKeyLogic::kRefreshTables))
        UpdateData(false);
    else
        CFormTemplateView::OnRefresh(what, refreshed);
}

void CStbKeyCtrl::OnStepRefused(const PageStep&) {
    m_logic.Refused();
}

void CStbKeyCtrl::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    Carry(m_logic.HandleReply(reply));
}

void CStbKeyCtrl::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void CStbKeyCtrl::OnKeyButton(int code) {
    const bool publicCmd = m_publicCheck->isChecked();
    const bool individualCmd = m_individualCheck->isChecked();
    if (!UpdateData(true))
        return;
    const std::string name = StbKeyNameOf(code);
    char text[16];
    std::snprintf(text, sizeof text, "%06x", m_logic.KeyInfraredCode(code));
    std::string codeText = text;
    for (const StbKeyForm::KeyRow& row : m_form.keyMap)
        if (row.name == name)
            codeText = row.code;
    m_keyName->setText(QString::fromStdString(name));
    m_keyValue->setText(QString::fromStdString(codeText));
    const std::string message = StbAddKey(m_form, m_individualNames, name, publicCmd, individualCmd);
    if (!message.empty()) {
        ShowMessageBox(message);
        return;
    }
    UpdateData(false);
}

void CStbKeyCtrl::OnSetKeyValue() {
    const std::string message =
        StbSetKeyValue(m_form, m_keyName->text().toStdString(), m_keyValue->text().toStdString());
    if (!message.empty()) {
        ShowMessageBox(message);
        return;
    }
    FillLists();
}

void CStbKeyCtrl::OnClearPublic() {
    m_form.publicCode.clear();
    m_form.publicCommand.clear();
    m_publicCommand->clear();
}

void CStbKeyCtrl::OnClearIndividual() {
    m_individualNames.clear();
    m_individualEdit->clear();
}

void CStbKeyCtrl::OnSetIndividual() {
    const int index = m_stbCombo->currentIndex();
    if (index < 0)
        return;
    StbSetIndividual(m_form, index + 1, m_individualNames);
    FillLists();
}

void CStbKeyCtrl::OnDeleteStb() {
    const QModelIndex current = m_stbList->currentIndex();
    if (!current.isValid() || m_stbList->selectedItems().isEmpty())
        return;
    const int row = current.row();
    if (row >= 0 && size_t(row) < m_form.stbCommands.size())
        m_form.stbCommands.erase(m_form.stbCommands.begin() + row);
    FillLists();
}

void CStbKeyCtrl::OnStbSelChange() {
    m_individualNames = StbCommandOf(m_form, m_stbCombo->currentIndex() + 1);
    m_individualEdit->setText(QString::fromStdString(m_individualNames));
}

void CStbKeyCtrl::OnKeyListChanged() {
    const QModelIndex current = m_keyList->currentIndex();
    if (!current.isValid() || size_t(current.row()) >= m_form.keyMap.size())
        return;
    const StbKeyForm::KeyRow& row = m_form.keyMap[size_t(current.row())];
    m_keyName->setText(QString::fromStdString(row.name));
    m_keyValue->setText(QString::fromStdString(row.code));
}

void CStbKeyCtrl::OnStbListChanged() {
    const QModelIndex current = m_stbList->currentIndex();
    if (!current.isValid() || size_t(current.row()) >= m_form.stbCommands.size())
        return;
    const StbKeyForm::StbRow& row = m_form.stbCommands[size_t(current.row())];
    const int stb = ParseFirstNumber(row.stb);
    if (stb >= 1 && stb <= kStbCount)
        m_stbCombo->setCurrentIndex(stb - 1);
    m_individualNames = StbCutCommand(row.command);
    m_individualEdit->setText(QString::fromStdString(m_individualNames));
}

void CStbKeyCtrl::OnRead() {
    Carry(m_logic.Read());
}

void CStbKeyCtrl::OnCommit() {
    if (!UpdateData(true))
        return;
    Carry(m_logic.Commit(m_form));
}

void CStbKeyCtrl::OnAction(StbAction action) {
    const int index = m_actionStbCombo->currentIndex();
    if (index < 0 || !DeviceOnline())
        return;
    Carry(m_logic.Action(index, action));
}

bool CStbKeyCtrl::WriteIrFile(const std::string& path) {
    if (!UpdateData(true))
        return false;
    IrKeyFile file;
    for (const StbKeyForm::KeyRow& row : m_form.keyMap)
        file.keyMap.push_back({row.name, row.code});
    file.powerOnDelay = m_form.powerOnDelay;
    file.keyDelay = m_form.keyDelay;
    file.numDelay = m_form.numDelay;
    file.publicCommand = m_form.publicCommand;
    for (const StbKeyForm::StbRow& row : m_form.stbCommands)
        file.stbCommands.push_back({ParseFirstNumber(row.stb), row.command});
    std::string error;
    if (WriteIrKeyFile(path, file, &error))
        return true;
    ShowMessageBox("Cannot save " + path + ": " + error);
    return false;
}

bool CStbKeyCtrl::ReadIrFile(const std::string& path) {
    IrKeyFile file;
    std::string error;
    if (!ReadIrKeyFile(path, &file, &error)) {
        ShowMessageBox("Cannot read " + path + ": " + error);
        return false;
    }
    // A file with no entry of a key file is not one: the page stays as it was.
    if (file.Empty()) {
        ShowMessageBox("Cannot read " + path + ": it holds no key map.");
        return false;
    }
    m_form.keyMap.clear();
    m_form.stbCommands.clear();
    for (const IrKeyFile::KeyRow& row : file.keyMap)
        m_form.keyMap.push_back({row.name, row.value});
    if (file.powerOnDelay)
        m_form.powerOnDelay = *file.powerOnDelay;
    if (file.keyDelay)
        m_form.keyDelay = *file.keyDelay;
    if (file.numDelay)
        m_form.numDelay = *file.numDelay;
    if (file.publicCommand) {
        m_form.publicCommand = *file.publicCommand;
        m_form.publicCode =
            IrPublicCodeText(*file.publicCommand, file.keyDelay.value_or(0), file.numDelay.value_or(0));
    }
    for (const IrKeyFile::StbRow& row : file.stbCommands)
        m_form.stbCommands.push_back({std::to_string(row.stb), row.command});
    // The records start again from the file's key codes; Commit builds the rest.
    StbKeyForm codes;
    codes.keyMap = m_form.keyMap;
    m_logic.BuildDeviceRecords(codes);
    UpdateData(false);
    return true;
}

void CStbKeyCtrl::OnSaveLocal() {
    const FileRequest request{
        .save = true, .caption = {}, .filter = "*.ir|*.ir", .defaultExt = "ir", .fileName = "stbctrl_cmd"};
    std::string path = Prompt().ChooseFile(request);
    if (path.empty())
        return;
    // A typed name without an extension is saved as an *.ir file, the type the reader lists.
    const size_t slash = path.find_last_of('/');
    if (path.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos)
        path += ".ir";
    WriteIrFile(path);
}

void CStbKeyCtrl::OnReadLocal() {
    const FileRequest request{
        .save = false, .caption = {}, .filter = "*.ir|*.ir", .defaultExt = "ir", .fileName = {}};
    const std::string path = Prompt().ChooseFile(request);
    if (!path.empty())
        ReadIrFile(path);
}

}  // namespace nms
