#pragma once
// The launcher's settings, read from appconfig.ini at every use and written straight
// back, and the start-with-Windows value under the user's Run key.
#include <string>

#include "launcher/config_keys.h"
#include "launcher/hotkey_code.h"

namespace kestrow {

class AppConfig {
public:
    // Settings of the process (AppPaths' settings file).
    static AppConfig& Get();
    explicit AppConfig(std::wstring settingsFile);

    bool showballon() const { return ReadFlag(kShowBalloonKey); }
    bool set_showballon(bool on) { return WriteFlag(kShowBalloonKey, on); }
    bool auto_open_screencapture() const { return ReadFlag(kAutoOpenKey); }
    bool set_auto_open_screencapture(bool on) { return WriteFlag(kAutoOpenKey, on); }
    bool showstartupscreen() const { return ReadFlag(kShowStartupScreenKey); }
    bool set_showstartupscreen(bool on) { return WriteFlag(kShowStartupScreenKey, on); }
    bool standby() const { return ReadFlag(kStandbyKey); }
    bool set_standby(bool on) { return WriteFlag(kStandbyKey, on); }

    // The hotkey stored for one of the four HOTKEY_ID_ values; none for other ids.
    Hotkey GetHotkey(unsigned hotkeyId) const;
    // Setters return false when the file could not be written (the old value stays).
    bool SetHotkey(unsigned hotkeyId, Hotkey hotkey);

    const std::wstring& file() const { return file_; }

private:
    bool ReadFlag(const FlagKey& key) const;
    bool WriteFlag(const FlagKey& key, bool on);
    int ReadInt(const wchar_t* key, int defaultValue) const;
    bool WriteInt(const wchar_t* key, int value);

    std::wstring file_;
};

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValueName[] = L"KestrowCapture";

// Whether the Run value names `exePath` (quoted or not; slashes, doubled
// backslashes and letter case aside) and that file exists.
bool GetAutorun(const std::wstring& exePath);
// Writes the quoted `exePath` as the Run value, or deletes the value. Errors are ignored.
void SetAutorun(const std::wstring& exePath, bool on);

}  // namespace kestrow
