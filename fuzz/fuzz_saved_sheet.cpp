// The saved-sheet reader over arbitrary files: it refuses or gives a sheet
// within the format's bounds, and a sheet it gives is written and read back
// unchanged, the second writing byte for byte the first.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/saved_sheet.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto sheet = bladeway::SheetFromJson(input);
    if (!sheet)
        return 0;
    FUZZ_CHECK(sheet->rowCount >= 0 && sheet->rowCount <= bladeway::kLargestSheetSide);
    FUZZ_CHECK(sheet->columnCount >= 0 && sheet->columnCount <= bladeway::kLargestSheetSide);
    FUZZ_CHECK(sheet->rowHeaders.size() == static_cast<std::size_t>(sheet->rowCount));
    FUZZ_CHECK(sheet->columnWidths.size() == static_cast<std::size_t>(sheet->columnCount));
    for (const auto& [place, text] : sheet->cells) {
        FUZZ_CHECK(place.first < sheet->rowCount && place.second < sheet->columnCount);
        FUZZ_CHECK(!text.empty());
    }
    const std::string written = bladeway::SheetToJson(*sheet);
    const auto again = bladeway::SheetFromJson(written);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(*again == *sheet);
    FUZZ_CHECK(bladeway::SheetToJson(*again) == written);
    return 0;
}
