#include "VersionInfo.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>

#include "ProgramFolder.h"

namespace wintest {

namespace {

std::string Utf8(const wchar_t* text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size);
    return result;
}

} // namespace

VersionInfo::VersionInfo(const std::filesystem::path& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) {
        throw std::runtime_error(file.string() +
                                 " has no version resource: " + SystemMessage(GetLastError()));
    }
    data_.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) {
        throw std::runtime_error("GetFileVersionInfoW: " + SystemMessage(GetLastError()));
    }
}

const void* VersionInfo::Fixed() const {
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\", &fixed, &length) ||
        length < sizeof(VS_FIXEDFILEINFO) ||
        static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwSignature != VS_FFI_SIGNATURE) {
        throw std::runtime_error("the version resource has no fixed file information");
    }
    return fixed;
}

std::vector<std::uint16_t> VersionInfo::FileVersion() const {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Fixed());
    return {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
            HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

std::vector<std::uint16_t> VersionInfo::ProductVersion() const {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Fixed());
    return {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
            HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
}

std::uint32_t VersionInfo::FileType() const {
    return static_cast<const VS_FIXEDFILEINFO*>(Fixed())->dwFileType;
}

std::uint32_t VersionInfo::Translation() const {
    void* table = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &table, &length) ||
        length < 2 * sizeof(WORD)) {
        throw std::runtime_error("the version resource lists no translation");
    }
    const auto* words = static_cast<const WORD*>(table);
    return (std::uint32_t(words[0]) << 16) | words[1];
}

std::optional<std::string> VersionInfo::Text(const std::string& name) const {
    char block[64];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%08lx\\",
                  static_cast<unsigned long>(Translation()));
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), Wide(block + name).c_str(), &value, &length)) {
        return std::nullopt;
    }
    // The length counts characters, the terminating null among them.
    const auto* text = static_cast<const wchar_t*>(value);
    int characters = int(length);
    while (characters > 0 && text[characters - 1] == L'\0') {
        --characters;
    }
    return Utf8(text, characters);
}

} // namespace wintest
