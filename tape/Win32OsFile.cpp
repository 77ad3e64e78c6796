// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <exception>
#include <limits>
#include <optional>
#include <string>

#include "InOutError.h"
#include "OsFile.h"

namespace brisalto {

namespace {

// The native codes already are those of the failure table (2 not found, 3 bad path, ...).
[[noreturn]] void ThrowLastError() {
    throw InOutError(static_cast<int>(::GetLastError()));
}

std::wstring WidePath(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                             static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) throw InOutError(3);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                          wide.data(), length);
    return wide;
}

HANDLE AsHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

std::atomic<std::uint64_t> opens{0};

std::uint64_t Wide(DWORD high, DWORD low) {
    return static_cast<std::uint64_t>(high) << 32 | low;
}

}  // namespace

std::optional<FileStamp> StampOfFile(const std::string& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA information;
    try {
        if (!::GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &information))
            return std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;  // a path that is no UTF-8, or no memory for its wide copy
    }
    return FileStamp{Wide(information.nFileSizeHigh, information.nFileSizeLow),
                     static_cast<std::int64_t>(Wide(information.ftLastWriteTime.dwHighDateTime,
                                                    information.ftLastWriteTime.dwLowDateTime))};
}

std::uint64_t OsFileOpens() noexcept {
    return opens;
}

OsFile::OsFile(const std::string& path) {
    ++opens;
    const std::wstring wide = WidePath(path);
    HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) ThrowLastError();
    // CreateFileW also opens devices such as NUL or a console, and pipes; none is a tape, and
    // reading one can wait forever or never reach an end.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        throw InOutError(ERROR_ACCESS_DENIED);
    }
    handle_ = handle;
}

OsFile::~OsFile() {
    if (handle_ != nullptr) ::CloseHandle(AsHandle(handle_));
}

std::size_t OsFile::Read(std::uint8_t* destination, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const std::size_t wanted = count - total;
        const DWORD chunk = wanted > std::numeric_limits<DWORD>::max()
                                ? std::numeric_limits<DWORD>::max()
                                : static_cast<DWORD>(wanted);
        DWORD got = 0;
        if (!::ReadFile(AsHandle(handle_), destination + total, chunk, &got, nullptr)) {
            ThrowLastError();
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

void OsFile::SeekTo(std::uint64_t position) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    if (!::SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN)) ThrowLastError();
}

std::uint64_t OsFile::Size() {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(AsHandle(handle_), &size)) ThrowLastError();
    return static_cast<std::uint64_t>(size.QuadPart);
}

FileStamp OsFile::Stamp() {
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(AsHandle(handle_), &information)) ThrowLastError();
    return {Wide(information.nFileSizeHigh, information.nFileSizeLow),
            static_cast<std::int64_t>(Wide(information.ftLastWriteTime.dwHighDateTime,
                                           information.ftLastWriteTime.dwLowDateTime))};
}

void OsFile::Close() {
    if (handle_ == nullptr) return;
    HANDLE handle = AsHandle(handle_);
    handle_ = nullptr;
    if (!::CloseHandle(handle)) ThrowLastError();
}

}  // namespace brisalto
