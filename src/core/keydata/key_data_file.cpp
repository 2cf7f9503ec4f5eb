#include "core/keydata/key_data_file.h"

#include <algorithm>
#include <cstdint>

#include "core/os/large_memory.h"
#include "core/os/paths.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr char kBlockEnd = '!';
constexpr char kLineEnd = '\r';

bool IsHeadingLine(std::string_view line) {
    return TrimLeadingSpaces(line).starts_with('[');
}

// Walks the key blocks of `content` with the file format's position rules, calling
// `onBlock(piece)` for each piece and `onDataLine(line)` for each of its data
// lines. Returns the number of pieces.
template <typename OnBlock, typename OnDataLine>
std::int64_t WalkBlocks(std::string_view content, OnBlock onBlock, OnDataLine onDataLine) {
    std::int64_t blocks = 0;
    std::int64_t outer = 1;
    std::int64_t lineStart = 1;
    for (;;) {
        const std::string_view piece = ParseString(outer, content, kBlockEnd);
        if (outer == 0)
            break;
        ++outer;  // drops the character after the "!"
        onBlock(piece);
        std::int64_t inner = lineStart;
        for (;;) {
            const std::string_view line = ParseString(inner, piece, kLineEnd);
            if (inner == 0)
                break;
            ++inner;  // drops the LF
            if (!IsHeadingLine(line))
                onDataLine(line);
        }
        lineStart = 2;  // later pieces start with the LF of the "!" line
        ++blocks;
    }
    return blocks;
}

}  // namespace

LoadedSheet ParseKeyData(std::shared_ptr<const std::string> content) {
    const std::string_view text = *content;
    LoadedSheet sheet;
    // Sizing and filling in one walk: every piece's spans are kept, and the
    // counts decide afterwards which pieces are shown. The result is that of
    // a sizing pass followed by a filling pass, with half the memory traffic.
    sheet.spans.reserve(text.size() / 8 + 16);  // real files average well over 8 bytes a line
    AdviseLargeBuffer(sheet.spans.data(), sheet.spans.capacity() * sizeof(CellSpan));
    std::int64_t largestLineCount = 0;
    std::int64_t lineCount = 0;
    const std::int64_t blocks = WalkBlocks(
        text,
        [&](std::string_view) {
            largestLineCount = std::max(largestLineCount, lineCount);
            lineCount = 0;
            sheet.columnFirstSpan.push_back(static_cast<std::uint32_t>(sheet.spans.size()));
        },
        [&](std::string_view line) {
            ++lineCount;
            sheet.spans.push_back({static_cast<std::uint32_t>(line.data() - text.data()),
                                   static_cast<std::uint32_t>(line.size())});
        });
    largestLineCount = std::max(largestLineCount, lineCount);
    sheet.columnFirstSpan.push_back(static_cast<std::uint32_t>(sheet.spans.size()));

    sheet.rowCount = static_cast<int>(largestLineCount);
    // The piece after the last "!" counts as a block; the minus 1 hides it.
    sheet.columnCount = static_cast<int>(std::max<std::int64_t>(blocks - 1, 0));
    sheet.columnFirstSpan.resize(static_cast<std::size_t>(sheet.columnCount) + 1);
    sheet.spans.resize(sheet.columnFirstSpan.back());
    sheet.buffer = std::move(content);
    return sheet;
}

Outcome LoadKeyDataFile(std::string_view folder, std::string_view fileName, Sheet& sheet,
                        const FileSystem& fileSystem) {
    return LoadKeyDataFile(JoinPathOnce(folder, fileName), sheet, fileSystem);
}

Outcome LoadKeyDataFile(const std::string& path, Sheet& sheet, const FileSystem& fileSystem) {
    auto content = fileSystem.ReadWholeFile(path, kKeyDataFileLimit);
    if (!content)
        return content.failure();
    sheet.Load(ParseKeyData(std::make_shared<const std::string>(std::move(content.value()))));
    return {};
}

}  // namespace bladeway
