#include "devices/config_transfer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "devices/atomic_file.h"
#include "devices/device_events.h"
#include "devices/device_list_file.h"
#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "devices/reply_view.h"
#include "platform/prompt.h"

namespace nms {
namespace {

constexpr uint8_t kExportCommand = 23;
constexpr uint8_t kEraseCommand = 24;
constexpr uint8_t kImportCommand = 25;

struct ExtensionRow {
    uint16_t type;
    const char* extension;
};

constexpr ExtensionRow kExtensions[] = {
    {0x1101, "encoder"},   {0x1102, "4encoder"},  {0x1105, "hd"},         {0x1115, "4hd"},
    {0x2101, "mux"},       {0x2102, "2mux"},      {0x2103, "7ird"},       {0x2105, "ird8mpts"},
    {0x2115, "ird8spts"},  {0x3101, "sas"},       {0x3102, "sas_qam"},    {0x4101, "qam"},
    {0x4102, "qpsk"},      {0x4104, "asi4qam"},   {0x4107, "DTMB"},       {0x4111, "mux_qam"},
    {0x4114, "ird4_4qam"}, {0x4124, "ird6_4qam"}, {0x4131, "ird6sasqam"}, {0x4144, "sas4qam"},
    {0x5101, "ds3"},       {0x5103, "4ird"},      {0x5104, "ip_asi"},     {0x5106, "ird"},
    {0x5109, "4e1"},       {0x5124, "asi8_ip"},   {0x5176, "mux_ird"},    {0x5217, "ci4ird"},
};

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool AllErased(const std::vector<uint8_t>& block) {
    for (uint8_t byte : block) {
        if (byte != 0xFF)
            return false;
    }
    return true;
}

}  // namespace

const char* ConfigFileExtension(uint16_t typeCode) {
    for (const ExtensionRow& row : kExtensions) {
        if (row.type == typeCode)
            return row.extension;
    }
    return "config";
}

ConfigTransfer::ConfigTransfer(DeviceRecord* device, bool import, IConfigTransferView& view)
    : m_device(device), m_import(import), m_view(view), m_startEnabled(!import) {}

ConfigTransfer::~ConfigTransfer() {
    Cancel();
}

bool ConfigTransfer::Online() const {
    return m_device && IsDeviceOnline(m_device) == 1;
}

void ConfigTransfer::BeginWait() {
    if (m_waiting)
        return;
    m_waiting = true;
    m_device->busy = 1;
    m_view.BeginWait();
}

void ConfigTransfer::EndWait() {
    if (!m_waiting)
        return;
    m_waiting = false;
    m_device->busy = 0;
    m_view.EndWait();
}

void ConfigTransfer::EnableStart(bool enable) {
    m_startEnabled = enable;
    m_view.EnableStart(enable);
}

void ConfigTransfer::Start(const std::string& path) {
    if (m_state != State::Idle || !m_startEnabled || !Online() || path.empty())
        return;
    if (m_import) {
        StartImport(path);
    } else {
        StartExport(path);
    }
}

// ---- Export ----------------------------------------------------------------------------------------------

void ConfigTransfer::StartExport(const std::string& path) {
    // The image goes to a temporary file beside the target, which replaces the target only when the last
    // block arrived and every write succeeded: an unfinished export never looks like a config file.
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(temp.c_str());
        }
        ShowMessageBox("Create config file failed!");
        return;
    }
    m_file = file;
    m_path = path;
    m_tempPath = temp;
    m_writeFailed = false;
    const auto header = EncodeDeviceRecord(*m_device);
    if (std::fwrite(header.data(), 1, header.size(), m_file) != header.size())
        m_writeFailed = true;

    m_block = 1;
    m_total = kExportBlocks;
    m_view.SetProgressRange(m_total);
    m_view.SetProgress(0);
    m_view.SetPercentText(Format("%d%%", 0));
    m_view.SetBlockCountText(std::to_string(m_total));
    PostDeviceEvent(m_device, "Start export ...");
    const uint8_t c = m_longFormat ? kLongFormatMark : uint8_t(kExportBlocks + 1);
    if (SendCommand(kExportCommand, 1, c, m_device, nullptr, 0) == kSendQueued) {
        m_state = State::Exporting;
        EnableStart(false);
        BeginWait();
    } else {
        DropExportFile();
    }
}

void ConfigTransfer::OnExportReply(const ReplyView& reply) {
    // Only the block asked for: a repeated or late block would shift the image in the file.
    if (reply.B() != uint8_t(m_block))
        return;
    m_longFormat = reply.C() == kLongFormatMark;
    if (m_block == 1) {
        m_total = m_longFormat ? kExportBlocksLong : kExportBlocks;
        m_view.SetProgressRange(m_total);
    }
    m_view.SetBlockCountText(std::to_string(m_longFormat ? m_block * 2 : m_block));
    m_view.SetProgress(m_block);
    m_view.SetPercentText(Format("%d%%", m_block * 100 / m_total));
    const int n = reply.PayloadLength();
    if (n > 0 && std::fwrite(reply.Payload(), 1, size_t(n), m_file) != size_t(n))
        m_writeFailed = true;
    if (m_writeFailed) {
        Fail("Write config file failed!");
        return;
    }

    if (m_block < m_total) {
        ++m_block;
        const uint8_t c = m_longFormat ? kLongFormatMark : uint8_t(m_total);
        if (SendCommand(kExportCommand, uint8_t(m_block), c, m_device, nullptr, 0) != kSendQueued) {
            Fail("Export config form device failed!");
        }
        return;
    }

    // The last block: the file is complete only once it is flushed, closed and in place.
    std::FILE* file = m_file;
    m_file = nullptr;
    bool ok = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
    ok = (std::fclose(file) == 0) && ok;
    ok = ok && std::rename(m_tempPath.c_str(), m_path.c_str()) == 0;
    if (ok)
        SyncFolderOf(m_path);
    if (!ok) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        Fail("Write config file failed!");
        return;
    }
    m_tempPath.clear();
    m_view.SetProgress(m_total);
    m_view.SetPercentText(Format("%d%%", 100));
    m_block = 1;
    m_total = 1;
    m_state = State::Idle;
    PostDeviceEvent(m_device, "Export config form device succeed!");
    EndWait();
    m_view.ShowFinished();
    ShowMessageBox("Export config form device succeed!");
}

void ConfigTransfer::DropExportFile() {
    if (m_import)
        return;
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

// ---- Import ----------------------------------------------------------------------------------------------

void ConfigTransfer::StartImport(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        ShowMessageBox("Open config file failed!");
        return;
    }
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        length = std::ftell(file);
    const long image = length - kConfigHeaderSize;
    if (length < 0 || image < kConfigMinImage || image > kConfigMaxImage) {
        std::fclose(file);
        ShowMessageBox("Invalid config file2!");
        return;
    }
    uint8_t header[kConfigHeaderSize];
    std::rewind(file);
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        std::fclose(file);
        ShowMessageBox("Invalid config file2!");
        return;
    }
    const uint16_t fileType = uint16_t(header[96] | header[97] << 8);
    if (fileType != m_device->typeCode) {
        std::fclose(file);
        char text[64];
        std::snprintf(text, sizeof text, "%s:type:%x=%x", "Invalid config file!", fileType,
                      m_device->typeCode);
        ShowMessageBox(text);
        return;
    }

    m_file = file;
    m_total = int(image / kConfigBlockSize);
    m_block = 1;
    m_view.SetBlockCountText(std::to_string(m_total));
    std::vector<uint8_t> data;
    ReadBlock(&data);
    m_view.SetProgressRange(m_total);
    m_view.SetProgress(0);
    m_view.SetPercentText(Format("%d%%", 0));
    PostDeviceEvent(m_device, "Start import ...");
    const uint8_t c = m_longFormat ? kLongFormatMark : uint8_t(m_total + 1);
    if (SendImportBlock(data, c)) {
        m_state = State::Importing;
        EnableStart(false);
        BeginWait();
    } else {
        CloseImportFile();
    }
}

bool ConfigTransfer::ReadBlock(std::vector<uint8_t>* block) {
    block->resize(kConfigBlockSize);
    const size_t n = m_file ? std::fread(block->data(), 1, kConfigBlockSize, m_file) : 0;
    block->resize(n);
    return n > 0;
}

bool ConfigTransfer::SendImportBlock(const std::vector<uint8_t>& data, uint8_t c) {
    std::vector<uint8_t> payload;
    if (m_longFormat) {
        payload.push_back(uint8_t(m_block >> 8));
        payload.push_back(uint8_t(m_block));
    }
    payload.insert(payload.end(), data.begin(), data.end());
    return SendCommand(kImportCommand, uint8_t(m_block), c, m_device, payload.data(), int(payload.size())) ==
           kSendQueued;
}

void ConfigTransfer::OnImportReply(const ReplyView&) {
    m_view.SetProgress(m_block);
    m_view.SetPercentText(Format("%d%%#1", m_block * 100 / m_total));
    m_view.SetBlockCountText(std::to_string(m_block));
    std::vector<uint8_t> data;
    if (!ReadBlock(&data)) {
        FinishImportOrFail("%d%%#3");
        return;
    }
    ++m_block;
    // Erased flash (all 0xFF) is not sent, but its blocks count.
    while (AllErased(data)) {
        if (!ReadBlock(&data)) {
            FinishImportOrFail("%d%%#2");
            return;
        }
        ++m_block;
    }
    const uint8_t c = m_longFormat ? kLongFormatMark : uint8_t(m_total);
    if (!SendImportBlock(data, c)) {
        CloseImportFile();
        Fail("Import config to device failed!");
    }
}

void ConfigTransfer::FinishImportOrFail(const char* percentFormat) {
    // A read error is not the end of the file: the device did not get all of it.
    if (m_file && std::ferror(m_file)) {
        Fail("Read config file failed!");
        return;
    }
    FinishImport(percentFormat);
}

void ConfigTransfer::FinishImport(const char* percentFormat) {
    m_view.SetProgress(m_total);
    m_view.SetPercentText(Format(percentFormat, 100));
    m_block = 1;
    m_total = 0;
    CloseImportFile();
    m_state = State::Idle;
    PostDeviceEvent(m_device, "Import config to device succeed!");
    EnableStart(false);
    EndWait();
    m_view.ShowFinished();
    ShowMessageBox("Import config to device succeed!");
}

void ConfigTransfer::CloseImportFile() {
    if (!m_import || !m_file)
        return;
    std::fclose(m_file);
    m_file = nullptr;
}

// ---- Erase -----------------------------------------------------------------------------------------------

void ConfigTransfer::Erase() {
    if (!m_import || m_state != State::Idle || !Online())
        return;
    m_longFormat = false;
    if (SendCommand(kEraseCommand, 1, 1, m_device, nullptr, 0) != kSendQueued)
        return;
    m_view.SetProgressRange(100);
    m_view.SetProgress(0);
    PostDeviceEvent(m_device, "Start erase config ...");
    m_state = State::Erasing;
    BeginWait();
}

void ConfigTransfer::OnEraseReply(const ReplyView& reply) {
    uint8_t first = 0;
    if (reply.U8(0, &first))
        m_longFormat = first == kLongFormatMark;
    m_view.SetProgress(100);
    m_view.SetPercentText(Format("%d%%", 100));
    PostDeviceEvent(m_device, "Erase config flash succeed!");
    EnableStart(true);
    m_block = 1;
    m_total = 1;
    m_state = State::Idle;
    EndWait();
}

// ---- Replies, time-out, cancel ---------------------------------------------------------------------------

void ConfigTransfer::OnReply(const ReplyView& reply) {
    if (!reply.IsValid())
        return;
    const uint8_t command = reply.Command();
    if (m_state == State::Exporting && command == kExportCommand) {
        OnExportReply(reply);
    } else if (m_state == State::Importing && command == kImportCommand) {
        OnImportReply(reply);
    } else if (m_state == State::Erasing && command == kEraseCommand) {
        OnEraseReply(reply);
    }
}

void ConfigTransfer::Fail(const std::string& message) {
    const bool export_ = m_state == State::Exporting;
    DropExportFile();
    CloseImportFile();
    m_state = State::Idle;
    m_block = 1;
    m_total = 1;
    EndWait();
    // An export can be tried again at once; an import needs a new erase first.
    if (export_)
        EnableStart(true);
    if (!message.empty())
        ShowMessageBox(message);
}

void ConfigTransfer::OnTimeout() {
    if (m_state == State::Idle)
        return;
    PostDeviceEvent(m_device, "Operation timeout");
    Fail(std::string());
}

void ConfigTransfer::Cancel() {
    if (m_state == State::Idle && !m_waiting)
        return;
    Fail(std::string());
}

}  // namespace nms
