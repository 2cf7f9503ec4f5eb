// The key data loader over arbitrary bytes: every cell lies inside the loaded
// buffer, holds no block or line end, and the sheet's shape is consistent.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/keydata/key_data_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto content = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    const bladeway::LoadedSheet loaded = bladeway::ParseKeyData(content);

    FUZZ_CHECK(loaded.columnCount >= 0 && loaded.rowCount >= 0);
    FUZZ_CHECK(loaded.columnFirstSpan.size() == static_cast<std::size_t>(loaded.columnCount) + 1);
    FUZZ_CHECK(loaded.columnFirstSpan.back() == loaded.spans.size());
    for (int column = 0; column < loaded.columnCount; ++column) {
        const auto first = loaded.columnFirstSpan[static_cast<std::size_t>(column)];
        const auto end = loaded.columnFirstSpan[static_cast<std::size_t>(column) + 1];
        FUZZ_CHECK(first <= end);
        FUZZ_CHECK(end - first <= static_cast<std::uint32_t>(loaded.rowCount));
    }
    for (const bladeway::CellSpan span : loaded.spans) {
        FUZZ_CHECK(std::size_t{span.offset} + span.length <= size);
        const std::string_view cell = std::string_view(*content).substr(span.offset, span.length);
        FUZZ_CHECK(cell.find('!') == std::string_view::npos);
        FUZZ_CHECK(cell.find('\r') == std::string_view::npos);
    }

    bladeway::Sheet sheet;
    sheet.Load(loaded);
    for (int column = 1; column <= sheet.ColumnCount() && column <= 64; ++column) {
        for (int row = 1; row <= sheet.RowCount() && row <= 64; ++row) {
            FUZZ_CHECK(sheet.CellText(column, row).size() <= size);
        }
    }
    return 0;
}
