#pragma once
// Addresses of the product's own service; only the schemes, ports and paths are fixed.
namespace ProductLinks {
inline constexpr char WebSite[] = "https://tessaro.app/";
inline constexpr char UploadBaseUrl[] = "https://api.tessaro.app:8558/";
inline constexpr char DownloadBaseUrl[] = "http://api.tessaro.app:8889/";
} // namespace ProductLinks
