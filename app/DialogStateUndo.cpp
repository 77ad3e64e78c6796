// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogStateUndo.h"

#ifdef _WIN32

#include <windows.h>

#include <array>
#include <string>
#include <vector>

namespace brisalto {

namespace {

// From the outermost key to the group the dialog writes.
constexpr std::array<const wchar_t*, 3> kKeys = {
    L"Software\\QtProject", L"Software\\QtProject\\OrganizationDefaults",
    L"Software\\QtProject\\OrganizationDefaults\\FileDialog"};

struct Value {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Opens without creating: a key that is not there stays not there.
HKEY Open(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

std::vector<Value> ReadValues(HKEY key) {
    DWORD count = 0, longestName = 0, longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<Value> values;
    for (DWORD index = 0; index < count; ++index) {
        std::wstring name(longestName + 1, L'\0');
        Value value;
        value.data.resize(longestData);
        DWORD nameLength = longestName + 1;
        DWORD dataLength = longestData;
        if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &value.type,
                          value.data.data(), &dataLength) != ERROR_SUCCESS) {
            continue;
        }
        name.resize(nameLength);
        value.name = name;
        value.data.resize(dataLength);
        values.push_back(std::move(value));
    }
    return values;
}

bool IsEmpty(const wchar_t* path) {
    const HKEY key = Open(path, KEY_READ);
    if (key == nullptr) return false;
    DWORD subkeys = 1, values = 1;
    const bool read =
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read && subkeys == 0 && values == 0;
}

}  // namespace

struct DialogStateUndo::Saved {
    std::array<bool, kKeys.size()> existed{};
    std::vector<Value> values;  // of the dialog's group, when it existed
};

DialogStateUndo::DialogStateUndo() : saved_(std::make_unique<Saved>()) {
    for (std::size_t index = 0; index < kKeys.size(); ++index) {
        const HKEY key = Open(kKeys[index], KEY_READ);
        saved_->existed[index] = key != nullptr;
        if (key == nullptr) continue;
        if (index + 1 == kKeys.size()) saved_->values = ReadValues(key);
        RegCloseKey(key);
    }
}

DialogStateUndo::~DialogStateUndo() = default;

void DialogStateUndo::Restore() const {
    if (saved_->existed.back()) {
        const HKEY key = Open(kKeys.back(), KEY_READ | KEY_SET_VALUE);
        if (key == nullptr) return;
        for (const Value& now : ReadValues(key)) {
            bool kept = false;
            for (const Value& before : saved_->values) kept = kept || before.name == now.name;
            if (!kept) RegDeleteValueW(key, now.name.c_str());
        }
        for (const Value& before : saved_->values) {
            RegSetValueExW(key, before.name.c_str(), 0, before.type, before.data.data(),
                           static_cast<DWORD>(before.data.size()));
        }
        RegCloseKey(key);
        return;
    }
    // Innermost first; a key made meanwhile goes only if nothing but the dialog's state was in it.
    RegDeleteKeyW(HKEY_CURRENT_USER, kKeys.back());
    for (std::size_t index = kKeys.size() - 1; index-- > 0;) {
        if (!saved_->existed[index] && IsEmpty(kKeys[index])) {
            RegDeleteKeyW(HKEY_CURRENT_USER, kKeys[index]);
        }
    }
}

}  // namespace brisalto

#else

namespace brisalto {

struct DialogStateUndo::Saved {};

DialogStateUndo::DialogStateUndo() = default;
DialogStateUndo::~DialogStateUndo() = default;
void DialogStateUndo::Restore() const {}

}  // namespace brisalto

#endif
