// The claim file on Windows.
#include "core/os/claim_file.h"

#include <random>

#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/os/windows/system_calls.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway::native {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr DWORD kRecordLimit = 4096;

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);  // NOLINT(performance-no-int-to-ptr)
}

// An OVERLAPPED that names the byte `offset` and no event.
OVERLAPPED At(std::uint64_t offset) {
    return OVERLAPPED{
        0,
        0,
        {{static_cast<DWORD>(offset & 0xFFFFFFFFU), static_cast<DWORD>(offset >> 32U)}},
        nullptr};
}

OVERLAPPED LockPlace() {
    return At(kClaimLockOffset);
}

// 0 or the error of locking the claim's byte.
DWORD LockByte(HANDLE file, DWORD flags) {
    OVERLAPPED place = LockPlace();
    return ::LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place) != 0
               ? 0
               : ::GetLastError();
}

bool IsHeldByAnother(DWORD error) {
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING;
}

// As on every system: a waiter's look takes a shared lock for a moment.
bool LockForHolding(HANDLE file) {
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!IsHeldByAnother(LockByte(file, LOCKFILE_EXCLUSIVE_LOCK)))
            return true;
        ::Sleep(1);
    }
    return false;
}

// The record in one write at the file's start: a file's write is whole or
// fails.
bool WriteAt(HANDLE file, std::string_view bytes) {
    OVERLAPPED start = At(0);
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &start) !=
               0 &&
           written == bytes.size();
}

ShareTime FromFileTime(const FILETIME& time) {
    // 100-nanosecond steps since 1601, the system's epoch.
    constexpr std::int64_t kStepsTo1970 = 116'444'736'000'000'000;
    const auto steps = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(time.dwHighDateTime) << 32U) | time.dwLowDateTime);
    return ShareTime((steps - kStepsTo1970) * 100);
}

// A file removed while another program still has it open stays until that
// program lets it go, and cannot be opened or made again meanwhile: the
// system says "access denied" for it.
bool MayBeGoing(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_DELETE_PENDING;
}

// True when something is at `path`, even one the system will not show.
bool SomethingIsThere(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    return MayBeGoing(::GetLastError());
}

std::wstring UnusedName(const std::wstring& folder) {
    static thread_local std::mt19937_64 random{std::random_device{}() ^ ::GetCurrentProcessId()};
    constexpr std::string_view kLetters = kTemporaryLettersOneCase;
    std::wstring name = folder;
    if (!name.empty() && name.back() != L'\\' && name.back() != L'/')
        name += L'\\';
    name += L".share-clock.";
    std::uint64_t bits = random();
    for (std::size_t at = 0; at < kTemporaryRandomLength; ++at, bits /= kLetters.size())
        name += static_cast<wchar_t>(kLetters[bits % kLetters.size()]);
    for (const char letter : kTemporarySuffix)
        name += static_cast<wchar_t>(letter);
    return name;
}

}  // namespace

Outcome HeldClaimFile::Rewrite(std::string_view record) const {
    if (Held() && !WriteAt(AsHandle(handle_), record))
        return SystemFailure("cannot renew the claim", path_, ::GetLastError());
    return {};
}

Expected<std::string> HeldClaimFile::ReadRecord(std::size_t size) const {
    std::string record(size, '\0');
    OVERLAPPED start = At(0);
    DWORD got = 0;
    if (::ReadFile(AsHandle(handle_), record.data(), static_cast<DWORD>(size), &got, &start) == 0)
        return SystemFailure("cannot read the claim", path_, ::GetLastError());
    record.resize(got);
    return record;
}

void HeldClaimFile::RemoveAndClose() {
    // By name, so that the holder's handle needs no delete access and others
    // may read the claim as they read any file. Windows 10 removes the name
    // at once; an older system once the last handle closes, which for a
    // waiter looking at it is a moment.
    if (Held()) {
        if (const auto wide = win32::WideFromUtf8(path_))
            ::DeleteFileW(wide->c_str());
    }
    Close();
}

void HeldClaimFile::Close() {
    if (Held()) {
        ::CloseHandle(AsHandle(handle_));  // closing the handle releases its lock
        handle_ = kNone;
    }
}

Expected<HeldClaimFile> CreateClaimFile(const std::string& path, std::string_view record) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide)
        return NotUtf8("cannot create the claim", path);
    Handle file(::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
            (MayBeGoing(error) && SomethingIsThere(*wide)))
            return HeldClaimFile{};
        return SystemFailure("cannot create the claim", path, error);
    }
    if (!WriteAt(file.get(), record)) {
        const DWORD error = ::GetLastError();
        HeldClaimFile unwritten(reinterpret_cast<std::intptr_t>(file.Release()), path);
        unwritten.RemoveAndClose();
        return SystemFailure("cannot write the claim", path, error);
    }
    LockForHolding(file.get());
    return HeldClaimFile{reinterpret_cast<std::intptr_t>(file.Release()), path};
}

Expected<HeldClaimFile> TakeOverClaimFile(const std::string& path, std::string_view record) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide)
        return NotUtf8("cannot take over the claim", path);
    Handle file(::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || MayBeGoing(error))
            return HeldClaimFile{};
        return SystemFailure("cannot take over the claim", path, error);
    }
    if (!LockForHolding(file.get()))
        return HeldClaimFile{};
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(record.size());
    if (!WriteAt(file.get(), record) ||
        ::SetFileInformationByHandle(file.get(), FileEndOfFileInfo, &end, sizeof end) == 0)
        return SystemFailure("cannot write the claim", path, ::GetLastError());
    return HeldClaimFile{reinterpret_cast<std::intptr_t>(file.Release()), path};
}

Expected<ClaimFileSight> LookAtClaimFile(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide)
        return NotUtf8("cannot read the claim", path);
    Handle file(::CreateFileW(wide->c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ClaimFileSight sight;
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return sight;
        // One going away: there, with no record to read.
        if (MayBeGoing(error) && SomethingIsThere(*wide)) {
            sight.exists = true;
            return sight;
        }
        return SystemFailure("cannot read the claim", path, error);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileInformationByHandle(file.get(), &information) == 0)
        return SystemFailure("cannot read the claim", path, ::GetLastError());
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Failure{"cannot read the claim " + Quoted(path) + ": it is not a file"};
    sight.exists = true;
    sight.written = FromFileTime(information.ftLastWriteTime);
    std::string record(kRecordLimit, '\0');
    DWORD filled = 0;
    while (filled < kRecordLimit) {
        DWORD got = 0;
        if (::ReadFile(file.get(), record.data() + filled, kRecordLimit - filled, &got, nullptr) ==
                0 ||
            got == 0)
            break;
        filled += got;
    }
    record.resize(filled);
    sight.record = std::move(record);
    const DWORD error = LockByte(file.get(), 0);
    sight.lockHeld = IsHeldByAnother(error);
    if (error == 0) {
        OVERLAPPED place = LockPlace();
        ::UnlockFileEx(file.get(), 0, 1, 0, &place);
    }
    return sight;
}

Expected<ShareTime> ShareTimeNow(const std::string& folder) {
    const auto wide = win32::WideFromUtf8(folder);
    if (!wide)
        return NotUtf8("cannot read the time of the folder", folder);
    constexpr int kAttempts = 20;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        Handle file(::CreateFileW(
            UnusedName(*wide).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!file.valid()) {
            error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS)
                continue;
            break;
        }
        FILETIME written{};
        if (::GetFileTime(file.get(), nullptr, nullptr, &written) == 0)
            return SystemFailure("cannot read the time of the folder", folder, ::GetLastError());
        return FromFileTime(written);
    }
    return SystemFailure("cannot read the time of the folder", folder, error);
}

Expected<bool> CreateFileIfAbsent(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide)
        return NotUtf8("cannot create", path);
    Handle file(::CreateFileW(wide->c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN, nullptr));
    if (file.valid())
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        (MayBeGoing(error) && SomethingIsThere(*wide)))
        return false;
    return SystemFailure("cannot create", path, error);
}

}  // namespace bladeway::native
