#include "app/login_registry.h"

#include <algorithm>

#include "app/base64.h"
#include "platform/prompt.h"
#include "platform/settings_store.h"

namespace nms {
namespace {

std::string g_deviceListPath;

}  // namespace

int ReadLoginFromRegistry(std::string* userBase64, std::string* passwordBase64) {
    std::string user, password;
    if (!ReadSetting("user", &user) || !ReadSetting("password", &password))
        return 0;
    *userBase64 = user;
    *passwordBase64 = password;
    std::string path;
    g_deviceListPath.clear();
    if (ReadSetting("path", &path))
        g_deviceListPath = path;
    return 1;
}

int WriteLoginToRegistry(const std::string& userBase64, const std::string& passwordBase64) {
    return WriteSettings({{"user", userBase64}, {"password", passwordBase64}}) ? 1 : 0;
}

int WriteDevicePathToRegistry(const std::string& path) {
    return WriteSettings({{"path", path}}) ? 1 : 0;
}

const std::string& DeviceListPath() {
    return g_deviceListPath;
}
void SetDeviceListPath(const std::string& path) {
    g_deviceListPath = path;
}

bool IsStoredLoginText(const std::string& base64) {
    static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (base64.size() % 4 != 0)
        return false;
    const size_t end = base64.find('=');
    if (end != std::string::npos &&
        (base64.size() - end > 2 || base64.find_first_not_of('=', end) != std::string::npos))
        return false;
    for (size_t i = 0; i < std::min(end, base64.size()); ++i)
        if (kAlphabet.find(base64[i]) == std::string::npos)
            return false;
    const std::string text = DecodeLoginText(base64);
    return text.size() <= size_t(kLoginFieldChars) && text.find('\0') == std::string::npos;
}

bool CheckLogin(const std::string& user, const std::string& password) {
    std::string userBase64, passwordBase64;
    if (ReadLoginFromRegistry(&userBase64, &passwordBase64)) {
        if (IsStoredLoginText(userBase64) && IsStoredLoginText(passwordBase64))
            return DecodeLoginText(userBase64) == user && DecodeLoginText(passwordBase64) == password;
        // A damaged store would lock every login out: say where it is and go on as if nothing were stored.
        static bool told = false;
        if (!told) {
            told = true;
            ShowMessageBox(
                "The stored login in " + SettingsFilePath() +
                " is damaged and is ignored. Log in with the default login and store a new one with "
                "User Setup.");
        }
    }
    return user == kDefaultLogin && password == kDefaultLogin;
}

std::string EncodeLoginText(const std::string& bytes) {
    return Base64Encode(bytes);
}
std::string DecodeLoginText(const std::string& base64) {
    return Base64Decode(base64);
}

}  // namespace nms
