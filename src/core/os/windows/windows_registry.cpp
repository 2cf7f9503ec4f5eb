#include "core/os/windows/windows_registry.h"

#include <cstring>
#include <vector>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway {
namespace {

RegistryResult ResultOf(LSTATUS status) {
    switch (status) {
        case ERROR_SUCCESS:
            return RegistryResult::kSuccess;
        case ERROR_ACCESS_DENIED:
            return RegistryResult::kAccessDenied;
        case ERROR_MORE_DATA:
            return RegistryResult::kMoreData;
        case ERROR_INVALID_HANDLE:
            return RegistryResult::kInvalidHandle;
        default:
            return RegistryResult::kNotFound;
    }
}

// The value's type and bytes, read whole however large it is.
LSTATUS ReadValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& bytes) {
    for (int attempt = 0; attempt < 4; ++attempt) {  // the value may grow meanwhile
        DWORD size = 0;
        LSTATUS status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) {
            return status;
        }
        bytes.resize(size);
        status = ::RegQueryValueExW(key, name.c_str(), nullptr, &type, bytes.data(), &size);
        if (status != ERROR_MORE_DATA) {
            bytes.resize(size);
            return status;
        }
    }
    return ERROR_MORE_DATA;
}

}  // namespace

WindowsRegistry::~WindowsRegistry() {
    for (const auto& [handle, key] : openKeys_) {
        ::RegCloseKey(static_cast<HKEY>(key));
    }
}

RegistryResult WindowsRegistry::OpenKey(std::uint32_t root, std::string_view keyName,
                                        std::uint32_t rights, RegistryKey& key) {
    const auto wideName = win32::WideFromUtf8(keyName);
    if (!wideName) {
        return RegistryResult::kNotFound;
    }
    // Predefined keys are numbers that Windows sign-extends into handles.
    auto* const rootKey = reinterpret_cast<HKEY>(  // NOLINT(performance-no-int-to-ptr): as above
        static_cast<ULONG_PTR>(static_cast<LONG>(root)));
    HKEY opened = nullptr;
    const LSTATUS status = ::RegOpenKeyExW(rootKey, wideName->c_str(), 0, rights, &opened);
    if (status != ERROR_SUCCESS) {
        return ResultOf(status);
    }
    key = nextHandle_++;
    openKeys_.emplace(key, opened);
    return RegistryResult::kSuccess;
}

RegistryResult WindowsRegistry::QueryValue(RegistryKey key, std::string_view valueName,
                                           std::uint32_t& type, std::span<char> buffer,
                                           std::size_t& size) {
    const auto open = openKeys_.find(key);
    const auto wideName = win32::WideFromUtf8(valueName);
    if (open == openKeys_.end()) {
        return RegistryResult::kInvalidHandle;
    }
    if (!wideName) {
        return RegistryResult::kNotFound;
    }
    DWORD valueType = REG_NONE;
    std::vector<BYTE> bytes;
    const LSTATUS status = ReadValue(static_cast<HKEY>(open->second), *wideName, valueType, bytes);
    if (status != ERROR_SUCCESS) {
        return ResultOf(status);
    }
    std::string value(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (valueType == REG_SZ || valueType == REG_EXPAND_SZ) {
        std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
        // The final zero, when stored, stays: the callers drop it themselves.
        const bool zeroEnded = !wide.empty() && wide.back() == L'\0';
        if (zeroEnded) {
            wide.pop_back();
        }
        value = win32::Utf8FromWide(wide);
        if (zeroEnded) {
            value.push_back('\0');
        }
    }
    type = valueType;
    size = value.size();
    if (value.size() > buffer.size()) {
        return RegistryResult::kMoreData;
    }
    std::memcpy(buffer.data(), value.data(), value.size());
    return RegistryResult::kSuccess;
}

RegistryResult WindowsRegistry::CloseKey(RegistryKey key) {
    const auto open = openKeys_.find(key);
    if (open == openKeys_.end()) {
        return RegistryResult::kInvalidHandle;
    }
    const LSTATUS status = ::RegCloseKey(static_cast<HKEY>(open->second));
    openKeys_.erase(open);
    return ResultOf(status);
}

}  // namespace bladeway
