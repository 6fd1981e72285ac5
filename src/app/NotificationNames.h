#pragma once
// The names the shell posts on its process-wide centre; spell a name only here. Everything
// else travels as typed signals.

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
