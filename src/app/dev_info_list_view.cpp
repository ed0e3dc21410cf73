#include "app/dev_info_list_view.h"

#include <QHeaderView>
#include <algorithm>

#include "devices/device_record.h"
#include "devices/device_type_catalogue.h"
#include "platform/codepage.h"
#include "platform/resource_icons.h"

namespace nms {

namespace {

const char* const kLabels[CDevInfoListView::kRowCount] = {
    "Type:", "Name:", "IP Add.:", "Port:", "HW Ver.:", "SW Ver.:", "Code:"};

// The "Code:" text shows at most this many payload bytes (the most significant ones).
constexpr int kMaxCodeBytes = 127;

QString TypeNameOf(uint16_t typeCode) {
    const DeviceTypeInfo* type = FindDeviceTypeByCode(typeCode);
    return type ? QString::fromLatin1(type->name) : QString();
}

QString VersionText(uint8_t major, uint8_t minor) {
    char text[16];
    std::snprintf(text, sizeof text, minor < 0x10 ? "%x.0%x" : "%x.%x", major, minor);
    return QString::fromLatin1(text);
}

}  // namespace

CDevInfoListView::CDevInfoListView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(2);
    setHeaderLabels({"Name", "Information"});
    // Fixed widths: the last column does not stretch over the rest of the pane.
    header()->setStretchLastSection(false);
    setColumnWidth(0, 75);
    setColumnWidth(1, 126);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    // Rows 0 to 5 show the images 165 to 170; the code row has none.
    for (int row = 0; row < kRowCount; ++row) {
        auto* item = new QTreeWidgetItem(this, {kLabels[row], QString()});
        if (row < kRowCode)
            item->setIcon(0, IconById(165 + row));
    }
    // The labels and their images stay whole in the screen's font.
    setColumnWidth(0, std::max(75, sizeHintForColumn(0)));
    // Long values are elided rather than scrolled: the pane is narrow.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void CDevInfoListView::ShowDevice(const DeviceRecord* device, int show) {
    if (show != 0 && device) {
        // Type, name, address, port; the versions are those of the last version reply.
        const auto b = device->AddressBytes();
        topLevelItem(kRowType)->setText(1, TypeNameOf(device->typeCode));
        topLevelItem(kRowName)->setText(1, QString::fromStdString(GbkToUtf8(device->deviceName)));
        topLevelItem(kRowAddress)->setText(1, QString("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]));
        topLevelItem(kRowPort)->setText(1, QString::number(device->port));
        topLevelItem(kRowCode)->setText(1, "0");
        return;
    }
    for (int row = 0; row <= kRowSwVersion; ++row)
        topLevelItem(row)->setText(1, QString());
}

void CDevInfoListView::SetVersion(uint32_t version) {
    const uint8_t swMajor = version & 0xFF, swMinor = (version >> 8) & 0xFF;
    const uint8_t hwMajor = (version >> 16) & 0xFF, hwMinor = (version >> 24) & 0xFF;
    topLevelItem(kRowHwVersion)->setText(1, VersionText(hwMajor, hwMinor));
    topLevelItem(kRowSwVersion)->setText(1, VersionText(swMajor, swMinor));
}

void CDevInfoListView::ShowCode(const uint8_t* payload, int length, const DeviceRecord* device) {
    if (!device || !payload || length <= 0)
        return;
    const auto b = device->AddressBytes();
    const bool shown = Value(kRowAddress) == QString("%1.%2.%3.%4").arg(b[0]).arg(b[1]).arg(b[2]).arg(b[3]) &&
                       Value(kRowPort) == QString::number(device->port) &&
                       Value(kRowType) == TypeNameOf(device->typeCode);
    if (!shown)
        return;
    // The payload read as a little-endian number, most significant byte first. A long payload shows its
    // most significant bytes only.
    QString code;
    const int shownBytes = std::min(length, kMaxCodeBytes);
    for (int i = 0; i < shownBytes; ++i)
        code += QString::asprintf("%02x", payload[length - 1 - i]);
    topLevelItem(kRowCode)->setText(1, code);
}

QString CDevInfoListView::Value(int row) const {
    if (row < 0 || row >= topLevelItemCount())
        return QString();
    return topLevelItem(row)->text(1);
}

}  // namespace nms
