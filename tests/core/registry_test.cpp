#include "core/platform/registry.h"

#include <array>
#include <string>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

constexpr std::string_view kKey = "SOFTWARE\\Vendor\\Tool";

class GetKeyValueTest : public ::testing::Test {
  protected:
    GetKeyValueTest() { registry_.AddKey(kHkeyLocalMachine, kKey); }

    // Looks the value up starting from a stale text, and checks that the key
    // was closed again whatever happened.
    bool Lookup(std::string_view valueName, std::string& text) {
        const bool found = GetKeyValue(registry_, kHkeyLocalMachine, kKey, valueName, text);
        EXPECT_EQ(registry_.OpenKeyCount(), 0u) << "key left open";
        return found;
    }

    void SetRaw(std::string_view name, std::uint32_t type, std::string bytes) {
        registry_.SetValue(kHkeyLocalMachine, kKey, name, type, std::move(bytes));
    }

    RegistryStore registry_;
};

TEST_F(GetKeyValueTest, StringValueLosesItsFinalZero) {
    registry_.SetString(kHkeyLocalMachine, kKey, "PATH", "C:\\Tools\\info.exe");
    std::string text = "stale";
    ASSERT_TRUE(Lookup("PATH", text));
    EXPECT_EQ(text, "C:\\Tools\\info.exe");
}

TEST_F(GetKeyValueTest, OnlyOneFinalZeroIsDropped) {
    SetRaw("Two", kRegString, std::string("abc\0\0", 5));
    std::string text;
    ASSERT_TRUE(Lookup("Two", text));
    EXPECT_EQ(text, std::string("abc\0", 4));
}

TEST_F(GetKeyValueTest, StringWithoutFinalZeroIsTakenWhole) {
    SetRaw("Bare", kRegString, "abc");
    std::string text;
    ASSERT_TRUE(Lookup("Bare", text));
    EXPECT_EQ(text, "abc");
}

TEST_F(GetKeyValueTest, ValueOfExactly1024BytesFits) {
    SetRaw("Whole", kRegString, std::string(1024, 'x'));
    std::string whole;
    ASSERT_TRUE(Lookup("Whole", whole));
    EXPECT_EQ(whole, std::string(1024, 'x'));

    SetRaw("Ended", kRegString, std::string(1023, 'y') + '\0');
    std::string ended;
    ASSERT_TRUE(Lookup("Ended", ended));
    EXPECT_EQ(ended, std::string(1023, 'y'));
}

TEST_F(GetKeyValueTest, ValueLargerThanTheBufferIsNotFoundAndEmptiesTheText) {
    SetRaw("Large", kRegString, std::string(1025, 'z'));
    std::string text = "stale";
    EXPECT_FALSE(Lookup("Large", text));
    EXPECT_EQ(text, "");
}

TEST_F(GetKeyValueTest, MissingValueOrKeyEmptiesTheText) {
    std::string text = "stale";
    EXPECT_FALSE(Lookup("Nothing", text));
    EXPECT_EQ(text, "");

    text = "stale";
    EXPECT_FALSE(GetKeyValue(registry_, kHkeyLocalMachine, "SOFTWARE\\Nobody", "PATH", text));
    EXPECT_EQ(text, "");
    // The same key name under another root is another key.
    text = "stale";
    EXPECT_FALSE(GetKeyValue(registry_, 0x80000001, kKey, "PATH", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry_.OpenKeyCount(), 0u);
}

TEST_F(GetKeyValueTest, KeyThatRefusesTheRightsCountsAsNotFound) {
    registry_.SetString(kHkeyLocalMachine, kKey, "PATH", "tool");
    registry_.AddKey(kHkeyLocalMachine, kKey, kKeyReadRights);
    std::string text = "stale";
    EXPECT_FALSE(Lookup("PATH", text));
    EXPECT_EQ(text, "");

    // Every one of the rights asked for must be granted; exactly those do.
    registry_.AddKey(kHkeyLocalMachine, kKey, kKeyAllRights & ~0x20u);
    EXPECT_FALSE(Lookup("PATH", text));
    registry_.AddKey(kHkeyLocalMachine, kKey, kKeyAllRights);
    EXPECT_TRUE(Lookup("PATH", text));
    EXPECT_EQ(text, "tool");
}

TEST_F(GetKeyValueTest, NamesMatchWithoutRegardToCase) {
    registry_.SetString(kHkeyLocalMachine, kKey, "Path", "tool");
    std::string text;
    EXPECT_TRUE(GetKeyValue(registry_, kHkeyLocalMachine, "software\\VENDOR\\tool", "pAtH", text));
    EXPECT_EQ(text, "tool");
    EXPECT_EQ(registry_.OpenKeyCount(), 0u);
}

TEST_F(GetKeyValueTest, NumberValueGivesItsDecimalText) {
    registry_.SetNumber(kHkeyLocalMachine, kKey, "Big", 0xFFFFFFFFu);
    registry_.SetNumber(kHkeyLocalMachine, kKey, "Some", 1234567);
    // 256 is stored 00 01 00 00: the final zero byte is dropped first.
    registry_.SetNumber(kHkeyLocalMachine, kKey, "Round", 256);
    registry_.SetNumber(kHkeyLocalMachine, kKey, "Zero", 0);
    std::string text;
    ASSERT_TRUE(Lookup("Big", text));
    EXPECT_EQ(text, "4294967295");
    ASSERT_TRUE(Lookup("Some", text));
    EXPECT_EQ(text, "1234567");
    ASSERT_TRUE(Lookup("Round", text));
    EXPECT_EQ(text, "256");
    ASSERT_TRUE(Lookup("Zero", text));
    EXPECT_EQ(text, "0");
}

TEST_F(GetKeyValueTest, OtherTypesLeaveTheTextAsPassedIn) {
    SetRaw("Blob", kRegBinary, "\x01\x02");
    SetRaw("Expand", kRegExpandString, std::string("%PATH%\0", 7));
    std::string text = "given";
    EXPECT_TRUE(Lookup("Blob", text));
    EXPECT_EQ(text, "given");
    EXPECT_TRUE(Lookup("Expand", text));
    EXPECT_EQ(text, "given");
}

TEST_F(GetKeyValueTest, EmptyValuesGiveEmptyText) {
    SetRaw("Empty", kRegString, "");
    registry_.SetString(kHkeyLocalMachine, kKey, "JustZero", "");
    std::string text = "stale";
    EXPECT_TRUE(Lookup("Empty", text));
    EXPECT_EQ(text, "");
    text = "stale";
    EXPECT_TRUE(Lookup("JustZero", text));
    EXPECT_EQ(text, "");
}

// A registry that answers a query with more bytes than the buffer holds,
// and counts opens and closes.
class OverreportingRegistry final : public Registry {
  public:
    RegistryResult OpenKey(std::uint32_t, std::string_view, std::uint32_t,
                           RegistryKey& key) override {
        key = 7;
        ++opened;
        return RegistryResult::kSuccess;
    }
    RegistryResult QueryValue(RegistryKey, std::string_view, std::uint32_t& type,
                              std::span<char> buffer, std::size_t& size) override {
        type = kRegString;
        size = buffer.size() + 1;
        return RegistryResult::kSuccess;
    }
    RegistryResult CloseKey(RegistryKey key) override {
        closedKey = key;
        ++closed;
        return RegistryResult::kSuccess;
    }
    int opened = 0;
    int closed = 0;
    RegistryKey closedKey = 0;
};

TEST(GetKeyValue, SizeBeyondTheBufferIsAFailureAndTheKeyIsClosed) {
    OverreportingRegistry registry;
    std::string text = "stale";
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, "K", "V", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.opened, 1);
    EXPECT_EQ(registry.closed, 1);
    EXPECT_EQ(registry.closedKey, 7u);
}

TEST(RegistryStore, QueryReportsTheSizeNeededWhenTheBufferIsTooSmall) {
    RegistryStore registry;
    registry.SetString(kHkeyLocalMachine, "K", "V", "12345");
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "K", kKeyAllRights, key),
              RegistryResult::kSuccess);
    std::array<char, 4> small{};
    std::uint32_t type = kRegNone;
    std::size_t size = small.size();
    EXPECT_EQ(registry.QueryValue(key, "V", type, small, size), RegistryResult::kMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(small, (std::array<char, 4>{}));  // nothing copied
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kSuccess);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kInvalidHandle);
    EXPECT_EQ(registry.QueryValue(key, "V", type, small, size), RegistryResult::kInvalidHandle);
}

TEST(RegistryStore, RecordsEveryOpenRequest) {
    RegistryStore registry;
    registry.AddKey(kHkeyLocalMachine, "A");
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "A", kKeyAllRights, key),
              RegistryResult::kSuccess);
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "B", kKeyAllRights, key),
              RegistryResult::kNotFound);
    EXPECT_EQ(registry.OpenRequests(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
}

}  // namespace
}  // namespace bladeway
