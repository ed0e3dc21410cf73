// The device tree's configuration commands: kept apart from the tree's own file because they belong to the
// configuration transfer rather than to the list.
#include <QApplication>
#include <QLineEdit>

#include "app/config_transfer_dlg.h"
#include "app/dev_tree_view.h"
#include "devices/config_operation.h"

namespace nms {
namespace {

void RunTransfer(CDevTreeView* tree, int import, const std::string& path) {
    const TreeSelection selection = tree->Selection();
    if (!selection.IsDevice())
        return;
    // Held for the dialog's life, so a deletion meanwhile cannot free the record under it.
    const DevicePtr device = tree->Registry().Find(selection.device);
    if (!device)
        return;
    CConfigTransferDlg dlg(device.get(), import, tree->window());
    if (!path.empty())
        dlg.PathEdit()->setText(QString::fromStdString(path));
    dlg.DoModal();
}

}  // namespace

void CDevTreeView::ConfigOperation(int operation) {
    const TreeSelection selection = Selection();
    if (!selection.IsDevice())
        return;
    nms::ConfigOperation(m_registry.Find(selection.device), operation, [](std::function<void()> work) {
        QMetaObject::invokeMethod(qApp, std::move(work), Qt::QueuedConnection);
    });
}

void CDevTreeView::ImportConfig(const std::string& path) {
    RunTransfer(this, 1, path);
}
void CDevTreeView::ExportConfig(const std::string& path) {
    RunTransfer(this, 0, path);
}

}  // namespace nms
