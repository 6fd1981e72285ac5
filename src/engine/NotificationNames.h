#pragma once
// Every notification name posted on the process-wide centre. Spell a name only here.

namespace NotificationNames {
inline constexpr char Account[] = "Account";
inline constexpr char DockDragFile[] = "DockDragFile";
inline constexpr char RefreshOptions[] = "RefreshOptions";
inline constexpr char AddFile[] = "AddFile";
inline constexpr char ClearFile[] = "ClearFile";
inline constexpr char Info[] = "Info";
inline constexpr char LoginNotifi[] = "LoginNotifi";
inline constexpr char ChangeRatios[] = "ChangeRatios";
inline constexpr char LogOut[] = "LogOut";
} // namespace NotificationNames
