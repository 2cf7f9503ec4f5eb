// The writer's claim of a shared file: its record, when a waiter takes it
// over, and the claim on disk with several writers at once.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/process_identity.h"
#include "core/storage/claim_record.h"
#include "core/storage/claim_staleness.h"
#include "core/storage/writer_lock.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using std::chrono::seconds;
using std::chrono::steady_clock;

ClaimHolder SomeHolder() {
    return {"00112233445566778899aabbccddeeff",
            "STATION-2",
            "linux:abc:pid:[1]",
            "boot-1",
            4711,
            99,
            "bladeway 2.2.0",
            "2026-12-09 12:00:00 UTC",
            seconds(30),
            7};
}

TEST(ClaimRecord, IsOneLengthReadsBackWholeAndOnlyWhole) {
    const ClaimHolder holder = SomeHolder();
    const std::string record = ClaimRecordText(holder);
    ASSERT_EQ(record.size(), kClaimRecordSize);
    const auto read = ParseClaimRecord(record);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->token, holder.token);
    EXPECT_EQ(read->computer, "STATION-2");
    EXPECT_EQ(read->system, holder.system);
    EXPECT_EQ(read->boot, "boot-1");
    EXPECT_EQ(read->process, 4711U);
    EXPECT_EQ(read->started, 99U);
    EXPECT_EQ(read->staleAfter, seconds(30));
    EXPECT_EQ(read->renewal, 7U);
    EXPECT_EQ(HolderText(*read), "bladeway 2.2.0 on STATION-2, process 4711");

    // A renewal writes as many bytes; long names are cut, line breaks kept out.
    ClaimHolder renewed = holder;
    renewed.renewal = 123456;
    renewed.computer = std::string(300, 'C') + "\nrenewal 1";
    const std::string longer = ClaimRecordText(renewed);
    ASSERT_EQ(longer.size(), kClaimRecordSize);
    const auto cut = ParseClaimRecord(longer);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->renewal, 123456U);
    EXPECT_EQ(cut->computer.size(), 63U);

    // What a reader sees while the record is written, or of another file.
    const std::string noEnd = record.substr(0, record.find("end\n")) +
                              std::string(kClaimRecordSize - record.find("end\n"), ' ');
    for (const std::string& partial :
         {std::string(), record.substr(0, 100), record.substr(0, kClaimRecordSize - 1), noEnd,
          "Other program's lock" + record.substr(20)}) {
        EXPECT_FALSE(ParseClaimRecord(partial)) << partial.substr(0, 40);
    }
    ClaimHolder tokenless = holder;
    tokenless.token.clear();
    EXPECT_FALSE(ParseClaimRecord(ClaimRecordText(tokenless)));
}

// The judgement of a claim, case by case: its holder on this computer, on
// another, its lock, and how long it went unrenewed by the share's clock and
// by the waiter's own watch.
TEST(ClaimStaleness, JudgedByTheHolderItsLockAndItsIdleTime) {
    native::ProcessIdentity self{"STATION-1", "linux:abc:pid:[1]", "boot-1", 100, 5};
    const auto start = steady_clock::time_point{} + std::chrono::hours(1);
    const auto ended = [](std::uint64_t process, std::uint64_t) { return process == 4711; };
    struct Case {
        const char* what;
        std::string system;
        std::string boot;
        std::uint64_t process;
        seconds holderLimit;
        bool lockSeenHeld;
        bool lockHeldNow;
        std::optional<seconds> ageWhenSeen;
        seconds watched;
        StaleClaim expected;
    };
    const std::string here = self.system;
    const std::optional<seconds> none;
    // clang-format off
    const std::vector<Case> cases{
        {"this computer, ended", here, "boot-1", 4711, seconds(30), false, false, none, seconds(0), StaleClaim::kHolderEnded},
        {"this computer, an earlier boot", here, "boot-0", 42, seconds(30), false, false, none, seconds(0), StaleClaim::kHolderEnded},
        {"this computer, running", here, "boot-1", 42, seconds(30), false, false, none, seconds(5), StaleClaim::kNo},
        {"its lock held now", here, "boot-1", 4711, seconds(30), true, true, none, seconds(99), StaleClaim::kNo},
        {"its lock seen held, now free", "elsewhere", "", 42, seconds(30), true, false, none, seconds(0), StaleClaim::kLockLetGo},
        {"elsewhere, old, watched long enough", "elsewhere", "", 4711, seconds(30), false, false, seconds(100), seconds(15), StaleClaim::kNotRenewed},
        {"elsewhere, old, watched too little", "elsewhere", "", 4711, seconds(30), false, false, seconds(100), seconds(14), StaleClaim::kNo},
        {"elsewhere, no share time, watched half", "elsewhere", "", 42, seconds(30), false, false, none, seconds(16), StaleClaim::kNo},
        {"elsewhere, no share time, watched whole", "elsewhere", "", 42, seconds(30), false, false, none, seconds(30), StaleClaim::kNotRenewed},
        {"elsewhere, a share clock behind", "elsewhere", "", 42, seconds(30), false, false, seconds(-50), seconds(29), StaleClaim::kNo},
        {"the holder's longer limit", "elsewhere", "", 42, seconds(60), false, false, none, seconds(59), StaleClaim::kNo},
        {"the holder's longer limit passed", "elsewhere", "", 42, seconds(60), false, false, none, seconds(60), StaleClaim::kNotRenewed},
    };
    // clang-format on
    for (const Case& c : cases) {
        ClaimHolder holder = SomeHolder();
        holder.system = c.system;
        holder.boot = c.boot;
        holder.process = c.process;
        holder.staleAfter = c.holderLimit;
        ClaimWatch watch{"id", "state", start, c.ageWhenSeen, c.lockSeenHeld};
        EXPECT_EQ(
            JudgeClaim(holder, watch, c.lockHeldNow, start + c.watched, seconds(30), self, ended),
            c.expected)
            << c.what;
    }
    // A record that cannot be read names no holder: only time tells.
    const ClaimWatch unreadable{"id", "state", start, seconds(600), false};
    EXPECT_EQ(
        JudgeClaim(std::nullopt, unreadable, false, start + seconds(14), seconds(30), self, ended),
        StaleClaim::kNo);
    EXPECT_EQ(
        JudgeClaim(std::nullopt, unreadable, false, start + seconds(15), seconds(30), self, ended),
        StaleClaim::kNotRenewed);
    // A system that cannot tell itself apart takes no process for its own.
    native::ProcessIdentity unknown = self;
    unknown.system.clear();
    ClaimHolder nameless = SomeHolder();
    nameless.system.clear();
    nameless.process = 4711;
    EXPECT_EQ(JudgeClaim(nameless, {"id", "s", start, {}, false}, false, start, seconds(30),
                         unknown, ended),
              StaleClaim::kNo);
}

constexpr std::string_view kLeftToken = "feedfacefeedfacefeedfacefeedface";

class WriterClaimTest : public ::testing::Test {
  protected:
    std::string Index() const { return folder.File("INDICE.Prg"); }
    std::string Claim() const { return ClaimFilePath(Index()); }

    // A claim as a holder on `system` left it, of a process that is this
    // one's number but not its start: ended, on this computer.
    void LeaveClaim(const std::string& system, seconds limit = seconds(2)) const {
        const native::ProcessIdentity& self = native::ThisProcess();
        ClaimHolder holder{
            std::string(kLeftToken), "STATION-9",      system, self.boot, self.process,
            self.started + 1,        "bladeway 2.1.0", "then", limit,     0};
        testing::WriteBytes(testing::Utf8Path(Claim()), ClaimRecordText(holder));
    }

    // Nothing of the claim stays once nobody writes.
    void ExpectNothingLeft() const {
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            EXPECT_EQ(entry.path().filename(), "INDICE.Prg") << "left behind";
    }

    static LockWait Quick(seconds staleAfter = seconds(2)) {
        LockWait wait;
        wait.limit = std::chrono::seconds(20);
        wait.staleAfter = staleAfter;
        return wait;
    }

    testing::TempFolder folder;
};

// Writers in turn, each reading, changing and replacing one file: none
// loses another's change, and the claim names its holder while it writes.
TEST_F(WriterClaimTest, WritersTakeTurnsAndLeaveNothingBehind) {
    testing::WriteBytes(testing::Utf8Path(Index()), "0");
    constexpr int kWriters = 4;
    constexpr int kWrites = 25;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([&] {
            for (int write = 0; write < kWrites; ++write) {
                auto lock = WaitForWriterLock(Index(), Quick());
                ASSERT_TRUE(lock) << lock.error();
                overlapped = overlapped || ++inside > 1;
                const int count = std::stoi(testing::ReadBytes(testing::Utf8Path(Index())));
                testing::WriteBytes(testing::Utf8Path(Index()), std::to_string(count + 1));
                EXPECT_TRUE(lock.value().Confirm());
                --inside;
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(testing::ReadBytes(testing::Utf8Path(Index())), std::to_string(kWriters * kWrites));
    ExpectNothingLeft();

    const auto held = WaitForWriterLock(Index(), Quick());
    ASSERT_TRUE(held);
    const auto record = ParseClaimRecord(testing::ReadBytes(testing::Utf8Path(Claim())));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->process, native::ThisProcess().process);
    EXPECT_EQ(record->computer, native::ThisProcess().computer);
    EXPECT_EQ(held.value().History().waited.count(), 0);
}

// Two waiters find the claim of a holder on this computer whose process has
// ended: one takes it over, at once, and says whose it was; the other waits
// for it as for any holder.
TEST_F(WriterClaimTest, AnEndedHoldersClaimIsTakenOverAtOnceByOneWaiter) {
    if (native::ThisProcess().system.empty())
        GTEST_SKIP() << "this system cannot tell its processes from another computer's";
    LeaveClaim(native::ThisProcess().system, seconds(3600));
    std::vector<ClaimTakeover> told;
    std::mutex toldMutex;
    LockWait wait = Quick(seconds(3600));
    wait.tookOver = [&](const ClaimTakeover& takeover) {
        const std::lock_guard lock(toldMutex);
        told.push_back(takeover);
    };
    std::atomic<int> takeovers{0};
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    const auto began = steady_clock::now();
    std::vector<std::thread> waiters;
    for (int waiter = 0; waiter < 2; ++waiter) {
        waiters.emplace_back([&] {
            auto lock = WaitForWriterLock(Index(), wait);
            ASSERT_TRUE(lock) << lock.error();
            overlapped = overlapped || ++inside > 1;
            takeovers += lock.value().History().takeover ? 1 : 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            --inside;
        });
    }
    for (std::thread& waiter : waiters)
        waiter.join();
    EXPECT_LT(steady_clock::now() - began, seconds(10));
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(takeovers, 1);
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].because, StaleClaim::kHolderEnded);
    EXPECT_EQ(TakeoverText(told[0]), "took over the claim of STATION-9, process " +
                                         std::to_string(native::ThisProcess().process) +
                                         ", idle for " + std::to_string(told[0].idle.count()) +
                                         " s (its process has ended), to write '" + Index() + "'");
    ExpectNothingLeft();
}

// A claim of another computer is taken over only once it has gone
// unrenewed for the limit, by the share's clock and by the waiter's watch;
// one whose record cannot be read, likewise; while a living holder's
// renewals keep its claim its own however long it writes.
TEST_F(WriterClaimTest, ElsewhereOnlyTimeTellsAndRenewalsKeepAClaim) {
    testing::TempFolder other;
    const std::string renewedIndex = other.File("INDICE.Prg");
    std::optional<Expected<WriterLock>> renewed;
    renewed.emplace(WaitForWriterLock(renewedIndex, Quick()));
    ASSERT_TRUE(*renewed);

    LeaveClaim("elsewhere:1");
    testing::TempFolder unreadable;
    const std::string unreadableIndex = unreadable.File("INDICE.Prg");
    testing::WriteBytes(testing::Utf8Path(ClaimFilePath(unreadableIndex)), "Bladeway wri");

    using std::chrono::milliseconds;
    const auto takeOver = [](const std::string& index, milliseconds& waited, bool& tookOver) {
        const auto began = steady_clock::now();
        auto lock = WaitForWriterLock(index, Quick());
        waited = std::chrono::duration_cast<milliseconds>(steady_clock::now() - began);
        tookOver = lock && lock.value().History().takeover.has_value();
    };
    milliseconds elsewhereWait{}, unreadableWait{};
    bool elsewhereTaken = false, unreadableTaken = false;
    std::thread elsewhere([&] { takeOver(Index(), elsewhereWait, elsewhereTaken); });
    std::thread broken([&] { takeOver(unreadableIndex, unreadableWait, unreadableTaken); });
    // The living holder writes past its limit, renewing.
    bool renewedTaken = true;
    std::thread waiter([&] {
        auto lock = WaitForWriterLock(renewedIndex, Quick());
        renewedTaken = !lock || lock.value().History().takeover.has_value();
    });
    std::this_thread::sleep_for(seconds(3));
    EXPECT_TRUE(renewed->value().Confirm());
    renewed.reset();
    elsewhere.join();
    broken.join();
    waiter.join();
    // New by the share's clock, so the whole limit watched.
    EXPECT_TRUE(elsewhereTaken);
    EXPECT_GE(elsewhereWait, milliseconds(1900));
    EXPECT_TRUE(unreadableTaken);
    EXPECT_GE(unreadableWait, milliseconds(1900));
    EXPECT_FALSE(renewedTaken) << "a renewed claim was taken over";
    ExpectNothingLeft();
}

// A takeover mark that a killed waiter left keeps the claim from being
// taken over only until the mark is as old as the limit.
TEST_F(WriterClaimTest, AMarkLeftByAKilledWaiterGoesOnceItIsOld) {
    if (native::ThisProcess().system.empty())
        GTEST_SKIP() << "this system cannot tell its processes from another computer's";
    const seconds limit{600};
    LeaveClaim(native::ThisProcess().system, limit);
    const auto mark = testing::Utf8Path(TakeoverMarkPath(Index(), kLeftToken));
    testing::WriteBytes(mark, "");
    LockWait brief = Quick(limit);
    brief.limit = std::chrono::milliseconds(300);
    EXPECT_EQ(WaitForWriterLock(Index(), brief).error(),
              "gave up waiting for another program writing '" + Index() +
                  "' after 0.3 s (bladeway 2.1.0 on STATION-9, process " +
                  std::to_string(native::ThisProcess().process) + ")");
    EXPECT_TRUE(std::filesystem::exists(mark)) << "a fresh mark is another waiter's";

    std::filesystem::last_write_time(mark, std::filesystem::last_write_time(mark) - 2 * limit);
    const auto lock = WaitForWriterLock(Index(), Quick(limit));
    ASSERT_TRUE(lock) << lock.error();
    EXPECT_TRUE(lock.value().History().takeover);
}

// The claim changes hands while its holder does not renew it (a computer
// that slept): the holder renews it no more, finds out before it writes, and
// leaves the new holder's claim in place.
TEST_F(WriterClaimTest, AHolderWhoseClaimWasTakenOverMayNotWriteAndLeavesIt) {
    auto lock = WaitForWriterLock(Index(), Quick());
    ASSERT_TRUE(lock);
    ClaimHolder newer = SomeHolder();
    const std::string record = ClaimRecordText(newer);
    testing::WriteBytes(testing::Utf8Path(Claim()), record);
    // Renewals (each third of a second here) never write over it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(testing::ReadBytes(testing::Utf8Path(Claim())), record);
    const Outcome confirmed = lock.value().Confirm();
    ASSERT_FALSE(confirmed);
    EXPECT_EQ(confirmed.error(),
              "another program (bladeway 2.2.0 on STATION-2, process 4711) "
              "took over the claim '" +
                  Claim() + "' while this one wrote");
    lock.value().Release();
    EXPECT_EQ(testing::ReadBytes(testing::Utf8Path(Claim())), record);
}

TEST_F(WriterClaimTest, AClaimThatCannotBeMadeSaysWhy) {
    const std::string missing = folder.File("gone") + "/INDICE.Prg";
    const auto refused = WaitForWriterLock(missing, Quick());
    ASSERT_FALSE(refused);
    const std::string said = "cannot create the claim '" + ClaimFilePath(missing) + "': ";
    EXPECT_EQ(refused.error().substr(0, said.size()), said);
}

}  // namespace
}  // namespace bladeway
