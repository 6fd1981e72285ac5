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
inline constexpr char AimFor[] = "AimFor";                 // "Quality", "FileSize", "Fidelity"
inline constexpr char TargetFileSize[] = "TargetFileSize"; // bytes
inline constexpr char TargetFidelity[] = "TargetFidelity"; // "VeryHigh", "High", "Good"
inline constexpr char LongestSide[] = "LongestSide";       // pixels; 0: no limit
inline constexpr char Lossless[] = "Lossless";
inline constexpr char MinimumSaving[] = "MinimumSaving"; // per cent; 0: keep every result
inline constexpr char SaveResults[] = "SaveResults";     // "Ask", "NextToSource", "Folder"
inline constexpr char ResultsFolder[] = "ResultsFolder"; // absolute; for "Folder"
inline constexpr char UploadUrl[] = "uploadUrl";
inline constexpr char DownloadUrl[] = "downloadUrl";
inline constexpr char Username[] = "username";
inline constexpr char Password[] = "password";
inline constexpr char ErrorCode[] = "errorCode";
inline constexpr char VisualizeMutuallyExclusiveConstraints[] =
    "NSConstraintBasedLayoutVisualizeMutuallyExclusiveConstraints";
} // namespace SettingsKeys
