#pragma once
// One entry of an index file INDICE.Prg: 82 packed bytes, text fields padded
// with spaces, numbers little-endian. The entry is kept as its bytes, so the
// fields this program gives no meaning travel unchanged from a template's
// entry into a program's.
//
//   offset  length  field
//        0      12  program name, upper case
//       12       1  opaque
//       13      25  description
//       38       8  date, MM/DD/YY
//       46       8  opaque: three characters, two 16-bit numbers, a character
//       54       4  X value, 32-bit IEEE float
//       58       4  Y value, 32-bit IEEE float
//       62       4  Z value, 32-bit IEEE float
//       66      16  opaque: fourteen characters and a two-character field
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

inline constexpr std::size_t kIndexRecordSize = 82;
inline constexpr std::size_t kIndexNameLength = 12;
inline constexpr std::size_t kIndexDescriptionLength = 25;
inline constexpr std::size_t kIndexDateLength = 8;

class IndexRecord {
  public:
    static constexpr std::size_t kNameOffset = 0;
    static constexpr std::size_t kDescriptionOffset = 13;
    static constexpr std::size_t kDateOffset = 38;
    static constexpr std::size_t kXOffset = 54;
    static constexpr std::size_t kYOffset = 58;
    static constexpr std::size_t kZOffset = 62;

    // All 82 bytes NUL.
    IndexRecord() = default;
    // The record at the start of `bytes`, which holds at least 82 bytes.
    static IndexRecord FromBytes(std::string_view bytes);

    std::string_view Bytes() const { return {bytes_.data(), bytes_.size()}; }

    std::string_view Name() const { return Field(kNameOffset, kIndexNameLength); }
    std::string_view Description() const {
        return Field(kDescriptionOffset, kIndexDescriptionLength);
    }
    std::string_view Date() const { return Field(kDateOffset, kIndexDateLength); }
    float X() const { return FloatAt(kXOffset); }
    float Y() const { return FloatAt(kYOffset); }
    float Z() const { return FloatAt(kZOffset); }

    // Text setters cut to the field's width or pad it with spaces.
    void SetName(std::string_view name) { SetField(kNameOffset, kIndexNameLength, name); }
    void SetDescription(std::string_view text) {
        SetField(kDescriptionOffset, kIndexDescriptionLength, text);
    }
    void SetDate(std::string_view date) { SetField(kDateOffset, kIndexDateLength, date); }
    void SetX(float value) { SetFloatAt(kXOffset, value); }
    void SetY(float value) { SetFloatAt(kYOffset, value); }
    void SetZ(float value) { SetFloatAt(kZOffset, value); }

    friend bool operator==(const IndexRecord&, const IndexRecord&) = default;

  private:
    std::string_view Field(std::size_t offset, std::size_t length) const {
        return Bytes().substr(offset, length);
    }
    void SetField(std::size_t offset, std::size_t length, std::string_view text);
    float FloatAt(std::size_t offset) const;
    void SetFloatAt(std::size_t offset, float value);

    std::array<char, kIndexRecordSize> bytes_{};
};

// The key names are compared by: 12 characters, padded with spaces, upper
// case by character code. Order is ordinal, so a space sorts first and AB
// comes before ABC.
std::string IndexNameKey(std::string_view name);

// The first record of `index` (a whole number of records) whose name equals
// `name` under the comparison above.
std::optional<IndexRecord> FindIndexRecord(std::string_view index, std::string_view name);

// `index` (a whole number of records) with `entry` entered: it replaces the
// first record of its name, or is inserted before the first record whose name
// sorts after it (unless a record of its name comes first), or is appended.
// Records before that place stay as they are; those after it move down one.
std::string EnterIndexRecord(std::string_view index, const IndexRecord& entry);

}  // namespace bladeway
