// Copying a device's configuration image to a file and back, block by block (commands 23 export, 24 erase,
// 25 import), without the window: the dialog feeds it clicks, replies and the time-out, and shows what it
// is told through IConfigTransferView.
//
// A configuration file is the device's 114-byte device-list record (only its type code at offset 96 is
// checked) followed by 204800 to 512000 bytes of image in the order the device sent them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace nms {

struct DeviceRecord;
class ReplyView;

constexpr int kConfigHeaderSize = 114;
constexpr int kConfigBlockSize = 1024;
constexpr long kConfigMinImage = 204800;
constexpr long kConfigMaxImage = 512000;
constexpr int kExportBlocks = 250;
constexpr int kExportBlocksLong = 175;
constexpr uint8_t kLongFormatMark = 255;
constexpr int kTransferTimerId = 4;
constexpr int kTransferWaitMs = 240000;

// The file extension of a device type's configuration files ("config" for types without their own).
const char* ConfigFileExtension(uint16_t typeCode);

// What the transfer shows; all calls come from the transfer's own calls.
class IConfigTransferView {
public:
    virtual void SetProgressRange(int maximum) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void SetPercentText(const std::string& text) = 0;
    virtual void SetBlockCountText(const std::string& text) = 0;
    virtual void EnableStart(bool enable) = 0;
    // The wait: timer 4 for 240 s and the wait cursor; EndWait stops both. Neither is called twice in a row.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // A transfer completed: "Cancel" becomes "Close".
    virtual void ShowFinished() = 0;

protected:
    ~IConfigTransferView() = default;
};

class ConfigTransfer {
public:
    enum class State { Idle, Exporting, Importing, Erasing };

    // import: the dialog's mode. The device must outlive the transfer.
    ConfigTransfer(DeviceRecord* device, bool import, IConfigTransferView& view);
    ~ConfigTransfer();  // Cancel()
    ConfigTransfer(const ConfigTransfer&) = delete;
    ConfigTransfer& operator=(const ConfigTransfer&) = delete;

    // The start button: export or import to / from path. Does nothing while the device is offline, the
    // path is empty or a transfer runs.
    void Start(const std::string& path);
    // The erase button (import mode).
    void Erase();
    // A reply 23, 24 or 25; acted on only in the state that waits for it.
    void OnReply(const ReplyView& reply);
    // Timer 4: a transfer that got no reply in 240 s ends with "Operation timeout".
    void OnTimeout();
    // Closing or cancelling the dialog: ends the wait, frees the device, drops a partial export.
    void Cancel();

    State GetState() const { return m_state; }
    // Export may start at once; import only after a successful erase, and only once per erase.
    bool StartEnabled() const { return m_startEnabled; }
    bool IsImport() const { return m_import; }
    bool LongFormat() const { return m_longFormat; }
    int Block() const { return m_block; }
    int Total() const { return m_total; }

private:
    void StartExport(const std::string& path);
    void StartImport(const std::string& path);
    void OnExportReply(const ReplyView& reply);
    void OnImportReply(const ReplyView& reply);
    void OnEraseReply(const ReplyView& reply);
    // Reads the next data block of the import file; false at its end.
    bool ReadBlock(std::vector<uint8_t>* block);
    bool SendImportBlock(const std::vector<uint8_t>& data, uint8_t c);
    void FinishImport(const char* percentFormat);
    void FinishImportOrFail(const char* percentFormat);
    void BeginWait();
    void EndWait();
    void EnableStart(bool enable);
    // Ends a transfer that cannot go on: the wait ends and a partial export is removed.
    void Fail(const std::string& message);
    void DropExportFile();
    void CloseImportFile();
    bool Online() const;

    DeviceRecord* m_device;
    bool m_import;
    IConfigTransferView& m_view;
    State m_state = State::Idle;
    bool m_waiting = false;
    bool m_longFormat = false;
    int m_block = 1;
    int m_total = 1;
    std::FILE* m_file = nullptr;  // the import file, or the export's temporary file
    std::string m_path;           // the export's target
    std::string m_tempPath;       // the export's temporary file beside the target
    bool m_writeFailed = false;
    bool m_startEnabled;
};

}  // namespace nms
