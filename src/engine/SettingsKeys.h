#pragma once
// Every key of the per-user settings store; only Preferences reads or writes them.

namespace SettingsKeys {
inline constexpr char Format[] = "Format";
inline constexpr char CompressionRatio[] = "CompressionRatio";
inline constexpr char ConvertCount[] = "ConvertCount";
inline constexpr char SavePath[] = "SavePath";
inline constexpr char IncludeSubfolders[] = "IncludeSubfolders"; // bool: folders give their tree
inline constexpr char SkipExistingResults[] = "SkipExistingResults"; // bool: else keep both
inline constexpr char KeepColorProfiles[] = "KeepColorProfiles";
inline constexpr char KeepMetadata[] = "KeepMetadata";
inline constexpr char UploadUrl[] = "uploadUrl";
inline constexpr char DownloadUrl[] = "downloadUrl";
inline constexpr char Username[] = "username";
inline constexpr char Password[] = "password";
inline constexpr char ErrorCode[] = "errorCode";
inline constexpr char VisualizeMutuallyExclusiveConstraints[] =
    "NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints";
} // namespace SettingsKeys
