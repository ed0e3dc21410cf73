// Any bytes as the files an operator opens: a "*.nit" file read into the NIT editor's table and built
// again, an INI text file loaded, looked up, edited and saved, and a remote-control key file read into the
// key page's form and its device records.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "pages/ird/ini_file.h"
#include "pages/ird/ir_key_file.h"
#include "pages/ird/stb_key_logic.h"
#include "pages/psi/nit_table.h"

namespace {

// One file per process, reused for every input.
const std::string& ScratchPath() {
    static const std::string path = [] {
        char name[] = "/tmp/velmora-file-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name);
    }();
    static const bool removedAtExit = std::atexit([] { std::remove(path.c_str()); }) == 0;
    (void)removedAtExit;
    return path;
}

void WriteScratch(const uint8_t* data, size_t size) {
    std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
}

void NitFile(const uint8_t* data, size_t size) {
    nms::NitTable table;
    int length = 0;
    if (nms::ReadNitFile(ScratchPath(), &table.image, &length) != nms::NitFileRead::kOk) {
        if (size <= size_t(nms::kNitImageSize))
            std::abort();  // a file that fits must be read
        return;
    }
    table.imageLength = length;
    table.ParseNitSections();
    if (table.rows.size() > 100 || table.networkDescriptors.size() > 8)
        std::abort();
    nms::NitTable built = table;
    if (built.Build() && (built.imageLength < 0 || built.imageLength > nms::kNitImageSize))
        std::abort();
    built.ParseNitSections();
}

void IniFile(const uint8_t* data, size_t size) {
    nms::CIniFile ini;
    ini.SetFileName(ScratchPath());
    if (!ini.Load())
        std::abort();
    const std::string section = size > 2 ? std::string(1, char('A' + data[1] % 4)) : "A";
    const std::string key = size > 3 ? std::string(1, char('a' + data[2] % 4)) : "a";
    int status = 0;
    ini.GetString(section, key, &status);
    ini.SetValue(section, key, "v");
    if (!ini.Save())
        std::abort();
    nms::CIniFile back;
    back.SetFileName(ScratchPath());
    // What was set is found again, whatever else the file held.
    if (!back.Load() || back.GetString(section, key, &status) != "v" || status != 0)
        std::abort();
}

void KeyFile() {
    nms::IrKeyFile file;
    std::string error;
    if (!nms::ReadIrKeyFile(ScratchPath(), &file, &error))
        return;
    // As the key page takes a file in.
    nms::StbKeyForm form;
    for (const nms::IrKeyFile::KeyRow& row : file.keyMap)
        form.keyMap.push_back({row.name, row.value});
    form.powerOnDelay = file.powerOnDelay.value_or(0);
    form.keyDelay = file.keyDelay.value_or(0);
    form.numDelay = file.numDelay.value_or(0);
    if (file.publicCommand) {
        form.publicCommand = *file.publicCommand;
        form.publicCode = nms::IrPublicCodeText(*file.publicCommand, form.keyDelay, form.numDelay);
    }
    for (const nms::IrKeyFile::StbRow& row : file.stbCommands)
        form.stbCommands.push_back({std::to_string(row.stb), row.command});
    nms::StbKeyLogic logic;
    logic.BuildDeviceRecords(form);
    nms::StbKeyForm shown;
    std::string individualNames = "Up,2";
    logic.ShowBaseConfig(shown, individualNames);
    logic.ShowKeyTables(shown);
    for (int stb = 1; stb <= nms::kIrStbCount; ++stb)
        nms::StbCommandOf(form, stb);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 8192)
        return 0;
    WriteScratch(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            NitFile(data + 1, size - 1);
            break;
        case 1:
            IniFile(data, size);
            break;
        default:
            KeyFile();
            break;
    }
    return 0;
}
