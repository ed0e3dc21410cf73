#include "app/login_registry.h"

#include "app/base64.h"
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

bool CheckLogin(const std::string& user, const std::string& password) {
    std::string userBase64, passwordBase64;
    if (ReadLoginFromRegistry(&userBase64, &passwordBase64)) {
        return DecodeLoginText(userBase64) == user && DecodeLoginText(passwordBase64) == password;
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
