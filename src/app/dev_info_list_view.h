// The device information list under the device tree: seven fixed rows (type, name, address, port,
// hardware and software version, code of the last heartbeat reply) for the device selected last.
#pragma once

#include <QTreeWidget>
#include <cstdint>

namespace nms {

struct DeviceRecord;

class CDevInfoListView : public QTreeWidget {
    Q_OBJECT
public:
    enum Row : int { kRowType, kRowName, kRowAddress, kRowPort, kRowHwVersion, kRowSwVersion, kRowCode };
    static constexpr int kRowCount = 7;

    explicit CDevInfoListView(QWidget* parent = nullptr);

    // show != 0: type, name, address, port and code "0"; the versions stay. show == 0: rows 0 to 5 emptied.
    void ShowDevice(const DeviceRecord* device, int show);
    // The version word of a version reply, whatever device sent it.
    void SetVersion(uint32_t version);
    // The payload of a heartbeat reply, shown only while the list shows that device.
    void ShowCode(const uint8_t* payload, int length, const DeviceRecord* device);

    // The text of a row's value column (UTF-8).
    QString Value(int row) const;
};

}  // namespace nms
