#include "pages/psi/mux_psi_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>

#include "app/menu_xp.h"
#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pagebase/late_reply.h"
#include "pages/mux/program_tree.h"
#include "pages/psi/add_descriptor_dlg.h"
#include "pages/psi/add_element_dlg.h"
#include "pages/psi/descriptor_dlg.h"
#include "pages/psi/psi_hex.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr int kItemRole = Qt::UserRole;

const char kConfirmCommit[] = "Improperly editing may cause PSI table error,are you sure to commit PSI/SI ?";

// The tree's image list, drawn in code: tables, containers, entries, fields and stream kinds.
QIcon DrawTreeIcon(int index) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor colour;
    switch (index) {
        case kImageSdtServices:
            colour = QColor(0x30, 0x80, 0xC0);
            break;
        case kImageField:
            colour = QColor(0x80, 0x80, 0x80);
            break;
        case kImageEntry:
            colour = QColor(0x20, 0x90, 0x40);
            break;
        case kImageContainer:
            colour = QColor(0xD0, 0xA0, 0x20);
            break;
        case kImageVideo:
            colour = QColor(0xC0, 0x30, 0x30);
            break;
        case kImageAudio:
            colour = QColor(0x30, 0x30, 0xC0);
            break;
        case kImageOtherStream:
            colour = QColor(0x90, 0x40, 0xA0);
            break;
        case kImageTable:
            colour = QColor(0x20, 0x60, 0x90);
            break;
        case kImageTop:
            colour = QColor(0x10, 0x30, 0x60);
            break;
        default:
            colour = QColor(0xA0, 0xA0, 0xA0);
            break;
    }
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    if (index == kImageField) {
        p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
    } else {
        p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
    }
    p.end();
    return QIcon(pixmap);
}

bool IsBlueText(const std::string& text) {
    return text == "descriptors" || text == "program_info_descriptors" || text == "network_descriptors" ||
           text == "es_descriptors" || StartsWith(text, "descriptor_tag");
}

QString Screen(const std::string& deviceText) {
    return QString::fromStdString(GbkToUtf8(deviceText));
}

}  // namespace

CMuxPsiView::CMuxPsiView(QWidget* parent) : CFormTemplateView(parent) {
    auto* layout = new QGridLayout(this);
    auto* top = new QHBoxLayout();
    m_channelLabel = new QLabel("Channel:", this);
    m_channelCombo = new QComboBox(this);
    m_getButton = new QPushButton("Get", this);
    m_getFromInputButton = new QPushButton("Get From Input", this);
    m_parseButton = new QPushButton("Parse", this);
    m_setButton = new QPushButton("Set", this);
    top->addWidget(m_channelLabel);
    top->addWidget(m_channelCombo);
    top->addStretch();
    top->addWidget(m_getButton);
    top->addWidget(m_getFromInputButton);
    top->addWidget(m_parseButton);
    top->addWidget(m_setButton);
    layout->addLayout(top, 0, 0, 1, 2);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setDragEnabled(false);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_tree, 1, 0, 1, 2);
    m_nameLabel = new QLabel("Name", this);
    m_valueLabel = new QLabel("Value", this);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setReadOnly(true);
    m_valueEdit = new QLineEdit(this);
    layout->addWidget(m_nameLabel, 2, 0);
    layout->addWidget(m_nameEdit, 2, 1);
    layout->addWidget(m_valueLabel, 3, 0);
    layout->addWidget(m_valueEdit, 3, 1);
    m_channelLabel->hide();
    m_channelCombo->hide();
    m_getFromInputButton->hide();
    m_parseButton->hide();

    connect(m_getButton, &QPushButton::clicked, this, [this] { OnGet(); });
    connect(m_getFromInputButton, &QPushButton::clicked, this, [this] { OnGetFromInput(); });
    connect(m_parseButton, &QPushButton::clicked, this, [this] { OnParse(); });
    connect(m_setButton, &QPushButton::clicked, this, [this] { OnSet(); });
    connect(m_channelCombo, &QComboBox::activated, this, [this](int) { OnChannelChange(); });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OnClickTree(item); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { OnContextMenu(pos); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (PsiItem* model = m_syncing ? nullptr : ModelItem(item))
            model->expanded = true;
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (PsiItem* model = m_syncing ? nullptr : ModelItem(item))
            model->expanded = false;
    });
    SyncTree();
}

// ---- tree mirror ----

QTreeWidgetItem* CMuxPsiView::WidgetItem(const PsiItem* item) const {
    auto it = m_widgets.find(item);
    return it == m_widgets.end() ? nullptr : it->second;
}

PsiItem* CMuxPsiView::ModelItem(const QTreeWidgetItem* item) const {
    if (!item)
        return nullptr;
    auto* model = reinterpret_cast<PsiItem*>(item->data(0, kItemRole).value<quintptr>());
    auto it = m_widgets.find(model);
    return it != m_widgets.end() && it->second == item ? model : nullptr;
}

void CMuxPsiView::Refresh(QTreeWidgetItem* widget, const PsiItem* item) {
    widget->setText(0, Screen(item->text));
    auto icon = m_icons.find(item->image);
    if (icon == m_icons.end())
        icon = m_icons.emplace(item->image, DrawTreeIcon(item->image)).first;
    widget->setIcon(0, icon->second);
    if (item->data & FIELD_EDITABLE) {
        widget->setForeground(0, QColor(0x50, 0x50, 0x00));
    } else if (IsBlueText(item->text)) {
        widget->setForeground(0, QColor(0x00, 0x00, 0xFF));
    } else {
        widget->setData(0, Qt::ForegroundRole, QVariant());
    }
    for (int i = 0; i < static_cast<int>(item->children.size()); ++i)
        Refresh(widget->child(i), item->children[i].get());
    widget->setExpanded(item->expanded);
}

void CMuxPsiView::Rebuild() {
    m_tree->clear();
    m_widgets.clear();
    std::function<void(QTreeWidgetItem*, const PsiItem*)> add = [&](QTreeWidgetItem* parent,
                                                                    const PsiItem* item) {
        auto* widget = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        widget->setData(0, kItemRole, QVariant::fromValue(reinterpret_cast<quintptr>(item)));
        m_widgets[item] = widget;
        for (const auto& child : item->children)
            add(widget, child.get());
    };
    if (PsiItem* top = m_model.TopRoot())
        add(nullptr, top);
}

void CMuxPsiView::SyncTree() {
    m_syncing = true;
    // Same shape: texts and colours only, so the items under the mouse survive a value edit.
    std::function<bool(const PsiItem*)> same = [&](const PsiItem* item) {
        QTreeWidgetItem* widget = WidgetItem(item);
        if (!widget || widget->childCount() != static_cast<int>(item->children.size()))
            return false;
        for (int i = 0; i < widget->childCount(); ++i) {
            if (WidgetItem(item->children[i].get()) != widget->child(i) || !same(item->children[i].get()))
                return false;
        }
        return true;
    };
    PsiItem* top = m_model.TopRoot();
    if (!top || m_tree->topLevelItemCount() != 1 || !same(top))
        Rebuild();
    if (top)
        Refresh(WidgetItem(top), top);
    QTreeWidgetItem* current = WidgetItem(m_model.CurrentItem());
    if (current)
        m_tree->setCurrentItem(current);
    m_shownRevision = m_model.Tree().Revision();
    m_syncing = false;
}

void CMuxPsiView::ShowItem(PsiItem* item) {
    if (item && IsFieldText(item->text)) {
        m_nameEdit->setText(Screen(FieldName(item->text)));
        m_valueEdit->setText(Screen(FieldValue(item->text)));
        m_valueEdit->setEnabled((item->data & FIELD_EDITABLE) != 0);
    } else {
        m_nameEdit->clear();
        m_valueEdit->clear();
        m_valueEdit->setEnabled(false);
    }
}

bool CMuxPsiView::ApplyValueBox() {
    PsiItem* item = m_model.CurrentItem();
    if (!item || !m_model.Tree().Contains(item))
        return true;
    if (!(item->data & FIELD_EDITABLE) || !IsFieldText(item->text))
        return true;
    QString typed = m_valueEdit->text();
    // An untouched value keeps the bytes it came as (a name in GBK may not survive a round trip).
    if (typed == Screen(FieldValue(item->text)))
        return true;
    std::string value;
    if (!Utf8ToGbk(typed.toStdString(), &value)) {
        ShowMessageBox("The value holds characters that cannot be sent to the device.");
        return false;
    }
    bool applied = m_model.ApplyValueEdit(item, value);
    SyncTree();
    return applied;
}

// ---- set-up ----

void CMuxPsiView::FillChannels(int count, bool letters) {
    int keep = m_channelCombo->currentIndex();
    m_channelCombo->clear();
    for (int i = 0; i < count; ++i) {
        m_channelCombo->addItem(letters ? QString("Channel %1").arg(QChar('A' + i))
                                        : QString("Channel-%1").arg(i + 1));
    }
    m_channelCombo->setCurrentIndex(keep >= 0 && keep < count ? keep : 0);
}

void CMuxPsiView::ClearTables() {
    m_getButton->setText("Get");
    m_setButton->setText("Set");
    m_nameLabel->setText("Name");
    m_valueLabel->setText("Value");
    m_channelCombo->show();
    m_channelLabel->show();
    m_model.BuildSkeleton();
    m_channelCombo->clear();
    FillChannels(4 * m_chain.ModuleCount(), false);
    m_channelCombo->setCurrentIndex(0);
    m_chain.ClearTables();
    SyncTree();
}

void CMuxPsiView::OnInitialUpdate() {
    int v = PageParam();
    m_model.SetPageParam(v);
    m_chain.SetPageParam(v);
    m_channelCombo->clear();
    m_channelCombo->addItem("Channel A");
    m_channelCombo->setCurrentIndex(0);
    if (v == 102) {
        m_chain.SetModuleCount(1);
        ClearTables();
        return;
    }
    m_getButton->setText("Get");
    m_setButton->setText("Set");
    m_nameLabel->setText("Name");
    m_valueLabel->setText("Value");
    m_model.BuildSkeleton();
    if (v == 16) {
        m_firstPageCopy = nullptr;
        m_getFromInputButton->show();
        m_getFromInputButton->setEnabled(true);
        m_parseButton->show();
        m_getButton->setText("Get From Local");
    } else if (v != 17 && v != 38 && v != 39 && v != 64 && v != 96) {
        if (FirstPage())
            m_firstPageCopy = FirstPage();
    }
    if (v == 17 || v == 38 || v == 39) {
        m_channelCombo->clear();
        FillChannels(v == 17 ? 4 : v == 38 ? 3 : 2, v != 38);
        m_channelCombo->setCurrentIndex(0);
        m_channelCombo->show();
        m_channelLabel->show();
    }
    m_chain.ClearTables();
    ShowItem(nullptr);
    SyncTree();
}

void CMuxPsiView::RebuildPmtsFromFirstPage() {
    PsiTree& tree = m_model.Tree();
    tree.DeleteChildren(m_model.PmtsRoot());
    // The input channel page lists the programs routed to the output; other first pages have no list.
    const IOutputProgramSource* source = m_firstPageCopy ? m_firstPageCopy->OutputProgramSource() : nullptr;
    if (source && !source->OutputProgramTree().Roots().empty()) {
        const ProgramTreeNode& root = source->OutputProgramTree().Roots().front();
        for (const ProgramTreeNode& channel : root.children) {
            for (const ProgramTreeNode& program : channel.children) {
                std::string label = psihex::Format("%s %d: ", "ASI", channel.data) + program.text;
                uint32_t data = static_cast<uint32_t>((channel.data & 0xFF) << 8 | (program.data & 0xFF));
                tree.InsertItem(m_model.PmtsRoot(), label, data, kImageEntry);
            }
        }
    }
    m_model.PmtsRoot()->expanded = true;
}

void CMuxPsiView::OnShowWindow(bool shown) {
    if (!shown || !m_device)
        return;
    if (m_firstPageCopy) {
        m_model.SetCurrentItem(nullptr);
        if (PageParam() != 65)
            RebuildPmtsFromFirstPage();
        SyncTree();
    }
    OnGet();
}

// ---- reading and writing ----

uint8_t CMuxPsiView::ChannelByte() const {
    int v = PageParam();
    if (v == 16)
        return 2;
    if (CMuxPsiChain::IsMultiChannel(v))
        return static_cast<uint8_t>(std::max(0, m_channelCombo->currentIndex()));
    return 0;
}

void CMuxPsiView::StartRead(uint8_t channel, int sourceFlag, bool parse) {
    if (!DeviceOnline())
        return;
    Carry(parse ? m_chain.BeginParse() : m_chain.BeginRead(channel, sourceFlag));
    m_model.SetCurrentItem(nullptr);
    ShowItem(nullptr);
    SyncTree();
}

void CMuxPsiView::OnGet() {
    UpdateData(true);
    StartRead(ChannelByte(), 0, false);
}

void CMuxPsiView::OnGetFromInput() {
    StartRead(1, 1, false);
}

void CMuxPsiView::OnParse() {
    StartRead(1, 1, true);
}

void CMuxPsiView::OnChannelChange() {
    OnGet();
}

void CMuxPsiView::OnSet() {
    if (!DeviceOnline())
        return;
    UpdateData(true);
    // A refused value stops the write: nothing half-edited goes out.
    if (!ApplyValueBox())
        return;
    std::vector<std::string> messages;
    bool havePat = m_chain.PackForWrite(&messages);
    for (const std::string& message : messages)
        ShowMessageBox(message);
    if (!havePat || !Confirm(kConfirmCommit))
        return;
    uint8_t channel = CMuxPsiChain::WritesChannelByte(PageParam())
                          ? static_cast<uint8_t>(std::max(0, m_channelCombo->currentIndex()))
                          : 0;
    Carry(m_chain.BeginWrite(channel));
}

void CMuxPsiView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (device != m_device)
        return;
    const bool late = !IsBusy() && m_chain.IsLate(reply);
    Carry(ReplyStep(m_chain, reply, IsBusy(), [&] { return m_chain.OnReply(reply); }));
    // The late reply's table is in the model, and the chain is over: the tree shows what came.
    if (late)
        SyncTree();
}

void CMuxPsiView::OnRefresh(unsigned what, bool refreshed) {
    if (what & CMuxPsiChain::kRefreshChannels)
        FillChannels(m_chain.ChannelCount(), false);
    // The tree is mirrored once the chain is done (input is held while it runs).
    if (what & CMuxPsiChain::kRefreshTree)
        SyncTree();
    CFormTemplateView::OnRefresh(what, refreshed);
}

void CMuxPsiView::OnStepRefused(const PageStep&) {
    NothingLate(m_chain);
    SyncTree();
}

void CMuxPsiView::OnTimer(int id) {
    if (id == kWaitTimerId) {
        m_chain.WaitEnded();
        SyncTree();
    }
    CFormTemplateView::OnTimer(id);
}

// ---- tree ----

void CMuxPsiView::OnClickTree(QTreeWidgetItem* widget) {
    PsiItem* hit = ModelItem(widget);
    if (!hit)
        return;
    UpdateData(true);
    ApplyValueBox();
    // A container has no value of its own: the boxes keep what they show, the value closed to edits.
    if (IsFieldText(hit->text))
        ShowItem(hit);
    else
        m_valueEdit->setEnabled(false);
    m_model.SetCurrentItem(hit);
    SyncTree();
}

PsiMenuEntry CMuxPsiView::MenuEntryAt(const QPoint& pos) const {
    QTreeWidgetItem* widget = m_tree->itemAt(pos);
    if (!widget || !widget->isSelected())
        return {};
    return m_model.MenuEntryFor(ModelItem(widget));
}

void CMuxPsiView::OnContextMenu(const QPoint& pos) {
    PsiMenuEntry entry = MenuEntryAt(pos);
    if (!entry.command)
        return;
    m_contextItem = ModelItem(m_tree->itemAt(pos));
    int chosen = 0;
    if (m_runMenu) {
        chosen = m_runMenu(entry, pos);
    } else {
        CMenuXP menu(this);
        QAction* action =
            menu.AppendMenuItem(MF_STRING, new CMenuXPItem(entry.command, QIcon(), entry.label));
        if (menu.exec(m_tree->viewport()->mapToGlobal(pos)) == action)
            chosen = entry.command;
    }
    if (chosen)
        OnCommand(chosen);
}

void CMuxPsiView::OnCommand(int command) {
    switch (command) {
        case ID_PSI_DELETE_ELEMENT:
            OnDeleteElement();
            break;
        case ID_PSI_ADD_ELEMENT:
            OnAddElement();
            break;
        case ID_PSI_ADD_DESCRIPTOR:
            OnAddDescriptor();
            break;
        case ID_PSI_DELETE_DESCRIPTOR:
            OnDeleteDescriptor();
            break;
        case ID_PSI_DELETE_PROGRAM:
            OnDeleteProgram();
            break;
        case ID_PSI_DELETE_SERVICE:
            OnDeleteService();
            break;
        case ID_PSI_INSERT_DESCRIPTOR:
            OnInsertDescriptor();
            break;
        case ID_PSI_REMOVE_DESCRIPTOR:
            OnRemoveDescriptor();
            break;
        default:
            break;
    }
}

namespace {

// The selected item, when the context menu would offer this command on it.
PsiItem* Target(const CMuxPsiModel& model, PsiItem* item, int command) {
    return item && model.Tree().Contains(item) && model.MenuEntryFor(item).command == command ? item
                                                                                              : nullptr;
}

}  // namespace

void CMuxPsiView::OnDeleteElement() {
    if (PsiItem* item = Target(m_model, ModelItem(m_tree->currentItem()), ID_PSI_DELETE_ELEMENT)) {
        m_model.DeleteElement(item);
        SyncTree();
        ShowItem(m_model.CurrentItem());
    }
}

void CMuxPsiView::OnDeleteService() {
    if (PsiItem* item = Target(m_model, ModelItem(m_tree->currentItem()), ID_PSI_DELETE_SERVICE)) {
        m_model.DeleteService(item);
        SyncTree();
        ShowItem(nullptr);
    }
}

void CMuxPsiView::OnDeleteDescriptor() {
    if (PsiItem* item = Target(m_model, ModelItem(m_tree->currentItem()), ID_PSI_DELETE_DESCRIPTOR)) {
        m_model.DeleteDescriptor(item);
        SyncTree();
        ShowItem(nullptr);
    }
}

void CMuxPsiView::OnDeleteProgram() {
    if (PsiItem* item = Target(m_model, ModelItem(m_tree->currentItem()), ID_PSI_DELETE_PROGRAM)) {
        m_model.DeleteProgram(item);
        SyncTree();
        ShowItem(nullptr);
    }
}

void CMuxPsiView::OnAddElement() {
    PsiItem* context = Target(m_model, m_contextItem, ID_PSI_ADD_ELEMENT);
    if (!context)
        return;
    CAddElementDlg dialog(this);
    bool ok = m_runElementDialog ? m_runElementDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok || !m_model.Tree().Contains(context))
        return;
    m_model.AddElement(context, dialog.m_streamType, dialog.m_pid, dialog.m_descriptors);
    SyncTree();
}

void CMuxPsiView::OnAddDescriptor() {
    PsiItem* context = Target(m_model, m_contextItem, ID_PSI_ADD_DESCRIPTOR);
    if (!context)
        return;
    CAddDescriptorDlg dialog(this);
    bool ok = m_runDescriptorDialog ? m_runDescriptorDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok || !m_model.Tree().Contains(context))
        return;
    m_model.AddDescriptor(context, dialog.m_tag, dialog.m_data);
    SyncTree();
}

// Inserted descriptors are made like added ones, with their lengths kept, and only where a descriptor
// belongs: a descriptor item anywhere else would corrupt the section.
void CMuxPsiView::OnInsertDescriptor() {
    PsiItem* context = Target(m_model, m_contextItem, ID_PSI_ADD_DESCRIPTOR);
    if (!context)
        return;
    CDescriptorDlg dialog(this);
    bool ok = m_runInsertDialog ? m_runInsertDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok || !m_model.Tree().Contains(context))
        return;
    std::vector<uint8_t> data(dialog.m_length, 0);
    for (size_t i = 0; i + 1 < dialog.m_content.size() && i / 2 < data.size(); i += 2) {
        data[i / 2] = psihex::PairToByte(dialog.m_content[i], dialog.m_content[i + 1]);
    }
    m_model.AddDescriptor(context, static_cast<uint8_t>(psihex::ToUInt32(dialog.m_tag)), data);
    SyncTree();
}

void CMuxPsiView::OnRemoveDescriptor() {
    PsiItem* item = Target(m_model, m_contextItem, ID_PSI_DELETE_DESCRIPTOR);
    if (!item || !Confirm("Confirm deleting the description ?"))
        return;
    m_model.DeleteDescriptor(item);
    SyncTree();
    ShowItem(nullptr);
}

}  // namespace nms
