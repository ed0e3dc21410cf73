// The stored login and the device-list path, kept in the settings store (platform/settings_store.h):
// "user" and "password" as Base64 text, "path" the device list to load at start-up.
#pragma once

#include <string>

namespace nms {

// The built-in login: default user name and password, accepted while no credentials are stored.
constexpr const char* kDefaultLogin = "quill";
// The login fields take this many characters, so longer credentials could never be typed at login.
constexpr int kLoginFieldChars = 32;

// 1 with both Base64 values read (the device-list path is then set from "path", empty when missing);
// 0 when either value is missing (the path is left as it was).
int ReadLoginFromRegistry(std::string* userBase64, std::string* passwordBase64);
// Stores both values in one write: 1 on success, 0 when nothing was changed.
int WriteLoginToRegistry(const std::string& userBase64, const std::string& passwordBase64);
// Stores "path": 1 on success, 0 on failure.
int WriteDevicePathToRegistry(const std::string& path);

// The device list file chosen at login: empty means devinfo.db in the data folder.
const std::string& DeviceListPath();
void SetDeviceListPath(const std::string& path);

// True when a stored value is Base64 of a login text the fields can hold (no NUL, at most 32 bytes).
bool IsStoredLoginText(const std::string& base64);

// The login check: against the stored credentials when there are any, else against the built-in login.
// user and password are code-page bytes, compared exactly. Sets the device-list path as a side effect
// of reading the store. A damaged store (values that are not such Base64) is reported once, with the file's
// path, and counts as nothing stored.
bool CheckLogin(const std::string& user, const std::string& password);

// Base64 of code-page bytes and back, as the store keeps them.
std::string EncodeLoginText(const std::string& bytes);
std::string DecodeLoginText(const std::string& base64);

}  // namespace nms
