// The program's own settings, kept per user. Everything else it shows lives
// in the driver. A value that is missing or not one the program wrote reads
// as its default.
#pragma once

namespace Preferences {

// Where the settings live, under HKEY_CURRENT_USER; the uninstaller removes it.
constexpr char kKey[] = "Software\\Orlaso\\Tarnet Control Panel";
constexpr char kWarnAboutDropOuts[] = "WarnAboutDropOuts";
constexpr char kToldAboutClosing[] = "ToldAboutClosing";

// Whether drop-outs found while the window is hidden are told from the tray;
// on unless the user turned it off.
bool WarnAboutDropOuts();
bool SetWarnAboutDropOuts(bool warn);

// Whether the user has been told, on closing the window for the first time,
// that the panel goes on running in the notification area.
bool ToldAboutClosing();
bool SetToldAboutClosing();

} // namespace Preferences
