#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSettings>

#include "devices/atomic_file.h"
#include "platform/data_folder.h"

namespace nms {
namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

std::string SettingsFilePath() {
    return ConfigFolder() + "/velmora.conf";
}

bool ReadSetting(const std::string& name, std::string* value) {
    const QString path = QString::fromStdString(SettingsFilePath());
    if (!QFile::exists(path))
        return false;
    // A file others may read (copied or edited by hand) goes back to owner-only before it is read.
    struct stat info {};
    const std::string file = SettingsFilePath();
    if (::stat(file.c_str(), &info) == 0 && (info.st_mode & 077) != 0)
        ::chmod(file.c_str(), info.st_mode & 0700);
    QSettings settings(path, QSettings::IniFormat);
    const QString key = QString::fromStdString(name);
    if (settings.status() != QSettings::NoError || !settings.contains(key))
        return false;
    *value = settings.value(key).toString().toStdString();
    return true;
}

bool WriteSettings(const std::vector<std::pair<std::string, std::string>>& values) {
    const std::string file = SettingsFilePath();
    // Create the file owner-only before anything is written into it; the atomic save keeps the mode.
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    const QString path = QString::fromStdString(file);
    QFile::setPermissions(path, kOwnerOnly);
    bool ok = false;
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setAtomicSyncRequired(true);
        for (const auto& [name, value] : values) {
            settings.setValue(QString::fromStdString(name), QString::fromStdString(value));
        }
        settings.sync();
        ok = settings.status() == QSettings::NoError;
    }
    // The save renamed a new file into place: flush the folder so the rename survives a power cut.
    if (ok)
        SyncFolderOf(file);
    QFile::setPermissions(path, kOwnerOnly);
    return ok;
}

}  // namespace nms
