#include "core/gcode/index_record.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "core/text/text.h"

namespace bladeway {

IndexRecord IndexRecord::FromBytes(std::string_view bytes) {
    IndexRecord record;
    std::copy_n(bytes.begin(), kIndexRecordSize, record.bytes_.begin());
    return record;
}

void IndexRecord::SetField(std::size_t offset, std::size_t length, std::string_view text) {
    const std::size_t kept = std::min(text.size(), length);
    auto* field = bytes_.begin() + static_cast<std::ptrdiff_t>(offset);
    std::copy_n(text.begin(), kept, field);
    std::fill(field + static_cast<std::ptrdiff_t>(kept),
              field + static_cast<std::ptrdiff_t>(length), ' ');
}

// Little-endian whatever the machine: the bytes are put together by hand.
float IndexRecord::FloatAt(std::size_t offset) const {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[offset + i]))
                << (8 * i);
    }
    return std::bit_cast<float>(bits);
}

void IndexRecord::SetFloatAt(std::size_t offset, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes_[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFFU);
    }
}

std::string IndexNameKey(std::string_view name) {
    std::string key = ToUpperAscii(name.substr(0, kIndexNameLength));
    key.resize(kIndexNameLength, ' ');
    return key;
}

namespace {

std::size_t RecordCount(std::string_view index) {
    return index.size() / kIndexRecordSize;
}

std::string_view RecordName(std::string_view index, std::size_t record) {
    return index.substr(record * kIndexRecordSize, kIndexNameLength);
}

}  // namespace

std::optional<IndexRecord> FindIndexRecord(std::string_view index, std::string_view name) {
    const std::string key = IndexNameKey(name);
    for (std::size_t record = 0; record < RecordCount(index); ++record) {
        if (IndexNameKey(RecordName(index, record)) == key) {
            return IndexRecord::FromBytes(index.substr(record * kIndexRecordSize));
        }
    }
    return std::nullopt;
}

std::string EnterIndexRecord(std::string_view index, const IndexRecord& entry) {
    const std::string key = IndexNameKey(entry.Name());
    const std::size_t count = RecordCount(index);
    std::size_t place = 0;
    bool replaces = false;
    for (; place < count; ++place) {
        const std::string current = IndexNameKey(RecordName(index, place));
        if (key == current) {
            replaces = true;
            break;
        }
        if (key < current) {
            break;
        }
    }

    const std::size_t before = place * kIndexRecordSize;
    const std::size_t after = std::min(index.size(), before + (replaces ? kIndexRecordSize : 0));
    std::string updated;
    updated.reserve(count * kIndexRecordSize + kIndexRecordSize);
    updated.append(index.substr(0, before));
    updated.append(entry.Bytes());
    updated.append(index.substr(after, count * kIndexRecordSize - after));
    return updated;
}

}  // namespace bladeway
