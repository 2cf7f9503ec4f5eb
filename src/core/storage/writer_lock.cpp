#include "core/storage/writer_lock.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include "bladeway/version.h"
#include "core/os/claim_file.h"
#include "core/os/file_failures.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/os/process_identity.h"
#include "core/text/content_hash.h"

namespace bladeway {
namespace {

using std::chrono::steady_clock;

// Short pauses first, as most holders finish in milliseconds, then longer
// ones, so that a long wait costs little.
constexpr std::chrono::milliseconds kFirstPause{5};
constexpr std::chrono::milliseconds kLongestPause{200};
// A holder renews this many times within its limit, so that a waiter's
// client that shows the claim's date late by a few renewals still sees it
// renewed in time.
constexpr int kRenewalsPerLimit = 6;

std::string Seconds(std::chrono::milliseconds time) {
    const auto tenths = (time.count() + 50) / 100;
    return std::to_string(tenths / 10) +
           (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " s";
}

std::string NewToken() {
    std::random_device device;
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string token;
    for (int part = 0; part < 4; ++part) {
        std::uint32_t bits = device();
        for (int digit = 0; digit < 8; ++digit, bits >>= 4U)
            token += kDigits[bits & 0xFU];
    }
    return token;
}

// "2026-12-09 15:20:01 UTC", by this computer's clock.
std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    std::array<char, 32> text{};
    (void)std::snprintf(text.data(), text.size(), "%04d-%02u-%02u %02d:%02d:%02d UTC",
                        static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                        static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                        static_cast<int>(time.minutes().count()),
                        static_cast<int>(time.seconds().count()));
    return text.data();
}

// "bladeway-cli 2.2.0": the running program's file name, without ".exe".
std::string ProgramName() {
    std::string name = RunningProgramPath();
    name.erase(0, FolderOfPath(name).size());
    if (name.size() > 4 && name.ends_with(".exe"))
        name.resize(name.size() - 4);
    return (name.empty() ? std::string("bladeway") : name) + " " + std::string(kVersion);
}

ClaimHolder OwnHolder(std::chrono::seconds staleAfter) {
    const native::ProcessIdentity& self = native::ThisProcess();
    return {NewToken(),   self.computer, self.system, self.boot,  self.process,
            self.started, ProgramName(), UtcNow(),    staleAfter, 0};
}

// The claim a record names: its token, or for one that cannot be read
// whole, what was read and when it was written, which changes with it.
std::string IdentityOf(const std::optional<ClaimHolder>& holder,
                       const native::ClaimFileSight& sight) {
    if (holder)
        return holder->token;
    return "unreadable " + ContentHash(sight.record) + " " + std::to_string(sight.written.count());
}

std::string StateOf(const std::string& identity, const std::optional<ClaimHolder>& holder,
                    const native::ClaimFileSight& sight) {
    return identity + " " + std::to_string(holder ? holder->renewal : 0) + " " +
           std::to_string(sight.written.count());
}

// How old the file written at `written` is by the share's clock; nothing
// when the share's time cannot be read.
std::optional<std::chrono::nanoseconds> AgeOnShare(const std::string& folder,
                                                   native::ShareTime written) {
    const auto now = native::ShareTimeNow(folder);
    if (!now)
        return std::nullopt;
    return now.value() - written;
}

}  // namespace

std::string TakeoverText(const ClaimTakeover& takeover) {
    std::string text = takeover.computer.empty()
                           ? "took over the claim of an unknown program"
                           : "took over the claim of " + takeover.computer + ", process " +
                                 std::to_string(takeover.process);
    text += ", idle for " + std::to_string(takeover.idle.count()) + " s";
    if (takeover.because == StaleClaim::kHolderEnded || takeover.because == StaleClaim::kLockLetGo)
        text += " (its process has ended)";
    return text + ", to write " + native::Quoted(takeover.path);
}

// The claim file held, its holder's record, and the thread that renews it.
struct WriterLock::Holding {
    Holding(native::HeldClaimFile held, ClaimHolder own)
        : file(std::move(held)), holder(std::move(own)) {}

    // A plain condition variable with a flag: the stop-token wait of
    // condition_variable_any, as MinGW-w64's GCC 12 has it, missed both its
    // timeout and its stop under Wine, and the holder's release then waited
    // for ever.
    void StartRenewing() {
        const auto period = std::max<steady_clock::duration>(holder.staleAfter / kRenewalsPerLimit,
                                                             std::chrono::milliseconds(250));
        renewer = std::thread([this, period] {
            std::unique_lock lock(mutex);
            while (!stopDue.wait_for(lock, period, [this] { return stopping; })) {
                // A claim taken over meanwhile (this holder was stopped for
                // the limit) is its new holder's: never written over.
                const auto now = file.ReadRecord(kClaimRecordSize);
                const auto record = now ? ParseClaimRecord(now.value()) : std::nullopt;
                if (!record || record->token != holder.token)
                    return;
                ++holder.renewal;
                (void)file.Rewrite(ClaimRecordText(holder));
            }
        });
    }

    void StopRenewing() {
        if (!renewer.joinable())
            return;
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        stopDue.notify_one();
        renewer.join();
    }

    native::HeldClaimFile file;
    ClaimHolder holder;
    std::mutex mutex;
    std::condition_variable stopDue;
    bool stopping = false;
    std::thread renewer;
};

WriterLock::WriterLock() = default;
WriterLock::WriterLock(WriterLock&& other) noexcept = default;
WriterLock::~WriterLock() {
    Release();
}

WriterLock& WriterLock::operator=(WriterLock&& other) noexcept {
    if (this != &other) {
        Release();
        holding_ = std::move(other.holding_);
        history_ = std::move(other.history_);
    }
    return *this;
}

Outcome WriterLock::Confirm() const {
    if (!holding_)
        return {};
    const std::string& path = holding_->file.Path();
    const auto sight = native::LookAtClaimFile(path);
    if (!sight)
        return sight.failure();
    if (!sight.value().exists)
        return Failure{"another program took over the claim " + native::Quoted(path) +
                       " while this one wrote, and has finished"};
    const auto holder = ParseClaimRecord(sight.value().record);
    if (!holder || holder->token != holding_->holder.token)
        return Failure{"another program (" + (holder ? HolderText(*holder) : "unknown") +
                       ") took over the claim " + native::Quoted(path) + " while this one wrote"};
    return {};
}

void WriterLock::Release() {
    if (!holding_)
        return;
    holding_->StopRenewing();
    // A claim taken over meanwhile is its new holder's: left to it.
    if (Confirm())
        holding_->file.RemoveAndClose();
    else
        holding_->file.Close();
    holding_.reset();
}

std::string TakeoverMarkPath(const std::string& path, std::string_view claim) {
    const std::string folder = FolderOfPath(path);
    return folder + "." + path.substr(folder.size()) + "." + ContentHash(claim).substr(0, 16) +
           std::string(kTakeoverFileSuffix);
}

std::string ClaimFilePath(const std::string& path) {
    const std::string folder = FolderOfPath(path);
    return folder + "." + path.substr(folder.size()) + std::string(kClaimFileSuffix);
}

namespace {

// A waiter that may take the claim over now: one waiter at a time per
// claim, by a mark made by exclusive creation; the claim taken over only if
// it is still the one judged, and its lock is free.
Expected<native::HeldClaimFile> TakeOver(const std::string& path, const ClaimWatch& watch,
                                         const std::string& record,
                                         std::chrono::seconds staleAfter) {
    const std::string claimPath = ClaimFilePath(path);
    const std::string mark = TakeoverMarkPath(path, watch.identity);
    const auto marked = native::CreateFileIfAbsent(mark);
    if (!marked)
        return marked.failure();
    if (!marked.value()) {
        // Another waiter takes it over now, or one was killed doing it: a
        // mark as old as the limit is left over, and goes.
        const auto sight = native::LookAtClaimFile(mark);
        if (sight && sight.value().exists) {
            const auto age = AgeOnShare(FolderOf(mark), sight.value().written);
            if (age && *age >= staleAfter)
                (void)native::RemoveFile(mark);
        }
        return native::HeldClaimFile{};
    }
    Expected<native::HeldClaimFile> taken = native::HeldClaimFile{};
    const auto sight = native::LookAtClaimFile(claimPath);
    if (sight && sight.value().exists &&
        IdentityOf(ParseClaimRecord(sight.value().record), sight.value()) == watch.identity)
        taken = native::TakeOverClaimFile(claimPath, record);
    (void)native::RemoveFile(mark);
    return taken;
}

}  // namespace

Expected<WriterLock> WaitForWriterLock(const std::string& path, const LockWait& wait) {
    const std::string claimPath = ClaimFilePath(path);
    const std::chrono::seconds staleAfter = std::max(wait.staleAfter, kShortestStaleClaimLimit);
    ClaimHolder own = OwnHolder(staleAfter);
    const std::string record = ClaimRecordText(own);
    const auto start = steady_clock::now();
    auto pause = kFirstPause;
    std::optional<ClaimWatch> watch;
    std::string holderText;
    bool waiting = false;
    bool triedAgainAtOnce = false;
    const auto endWait = [&] {
        if (waiting && wait.waiting)
            wait.waiting({});
    };
    const auto lockOf = [&](native::HeldClaimFile file, std::optional<ClaimTakeover> takeover) {
        WriterLock lock;
        lock.holding_ = std::make_unique<WriterLock::Holding>(std::move(file), std::move(own));
        lock.holding_->StartRenewing();
        if (waiting) {
            lock.history_.waited =
                std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start);
            lock.history_.waitedFor = holderText;
        }
        lock.history_.takeover = std::move(takeover);
        endWait();
        return lock;
    };
    while (true) {
        auto made = native::CreateClaimFile(claimPath, record);
        if (!made) {
            endWait();
            return made.failure();
        }
        if (made.value().Held())
            return lockOf(std::move(made.value()), std::nullopt);
        const auto sight = native::LookAtClaimFile(claimPath);
        if (!sight) {
            endWait();
            return sight.failure();
        }
        const auto now = steady_clock::now();
        if (sight.value().exists) {
            const auto holder = ParseClaimRecord(sight.value().record);
            const std::string identity = IdentityOf(holder, sight.value());
            const std::string state = StateOf(identity, holder, sight.value());
            if (!watch || watch->identity != identity)
                watch = ClaimWatch{identity, {}, {}, {}, false};
            if (watch->state != state) {
                watch->state = state;
                watch->since = now;
                watch->ageWhenSeen = AgeOnShare(FolderOf(claimPath), sight.value().written);
            }
            watch->lockSeenHeld = watch->lockSeenHeld || sight.value().lockHeld;
            const std::string shown = holder ? HolderText(*holder) : std::string();
            if (!waiting || shown != holderText) {
                waiting = true;
                holderText = shown;
                if (wait.waiting)
                    wait.waiting({path, holderText});
            }
            const StaleClaim stale =
                JudgeClaim(holder, *watch, sight.value().lockHeld, now, staleAfter,
                           native::ThisProcess(), native::ProcessHasEnded);
            if (stale != StaleClaim::kNo) {
                auto taken = TakeOver(path, *watch, record, staleAfter);
                if (!taken) {
                    endWait();
                    return taken.failure();
                }
                if (taken.value().Held()) {
                    ClaimTakeover takeover{
                        path, holder ? holder->computer : std::string(),
                        holder ? holder->process : 0,
                        std::chrono::round<std::chrono::seconds>(IdleTime(*watch, now)), stale};
                    if (wait.tookOver)
                        wait.tookOver(takeover);
                    return lockOf(std::move(taken.value()), std::move(takeover));
                }
            }
        } else if (!triedAgainAtOnce) {
            triedAgainAtOnce = true;  // gone just now: made again at once, once a pause
            continue;
        }
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start);
        const std::string whose = holderText.empty() ? "" : " (" + holderText + ")";
        if (wait.stopRequested && wait.stopRequested()) {
            endWait();
            return Failure{"stopped while waiting for another program writing " +
                           native::Quoted(path) + whose};
        }
        if (waited >= wait.limit) {
            endWait();
            return Failure{"gave up waiting for another program writing " + native::Quoted(path) +
                           " after " + Seconds(wait.limit) + whose};
        }
        std::this_thread::sleep_for(std::min(pause, wait.limit - waited));
        pause = std::min(pause * 2, kLongestPause);
        triedAgainAtOnce = false;
    }
}

}  // namespace bladeway
