#include "core/journal/journal_manifest.h"

#include <nlohmann/json.hpp>

#include "core/gcode/index_record.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

using Json = nlohmann::ordered_json;
constexpr int kFormat = 1;

std::string Hex(std::string_view bytes) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0xF];
    }
    return text;
}

std::optional<std::string> FromHex(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const int high = digit(text[at]);
        const int low = digit(text[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// Paths are the system's bytes: as text where they read as UTF-8 (always on
// Windows), else as their bytes in hex.
Json PathJson(const std::string& path) {
    if (IsValidUtf8(path))
        return path;
    return Json{{"bytes", Hex(path)}};
}

Json OptionalText(const std::optional<std::string>& text) {
    return text ? Json(*text) : Json(nullptr);
}

Json OptionalRecord(const std::optional<std::string>& record) {
    return record ? Json(Hex(*record)) : Json(nullptr);
}

// The reader: each look-up says what it wanted where it failed.
class Reader {
  public:
    std::string problem;

    bool Fail(const std::string& what) {
        if (problem.empty())
            problem = what;
        return false;
    }
    bool Text(const Json& object, const char* key, std::string& out) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_string())
            return Fail(std::string("\"") + key + "\" is not a text");
        out = found->get<std::string>();
        return true;
    }
    bool Count(const Json& object, const char* key, std::uint64_t& out) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_number_unsigned())
            return Fail(std::string("\"") + key + "\" is not a count");
        out = found->get<std::uint64_t>();
        return true;
    }
    bool Flag(const Json& object, const char* key, bool& out) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_boolean())
            return Fail(std::string("\"") + key + "\" is not true or false");
        out = found->get<bool>();
        return true;
    }
    bool Path(const Json& object, const char* key, std::string& out, bool mayBeEmpty = false) {
        const auto found = object.find(key);
        if (found != object.end() && found->is_string()) {
            out = found->get<std::string>();
            return mayBeEmpty || !out.empty() || Fail(std::string("\"") + key + "\" is empty");
        }
        if (found != object.end() && found->is_object() && found->size() == 1 &&
            found->contains("bytes") && (*found)["bytes"].is_string()) {
            if (auto bytes = FromHex((*found)["bytes"].get<std::string>());
                bytes && !bytes->empty()) {
                out = std::move(*bytes);
                return true;
            }
        }
        return Fail(std::string("\"") + key + "\" is not a path");
    }
    bool OptionalText(const Json& object, const char* key, std::optional<std::string>& out) {
        const auto found = object.find(key);
        if (found != object.end() && found->is_null()) {
            out.reset();
            return true;
        }
        std::string text;
        if (!Text(object, key, text))
            return false;
        out = std::move(text);
        return true;
    }
    bool OptionalRecord(const Json& object, const char* key, std::optional<std::string>& out) {
        if (!OptionalText(object, key, out))
            return false;
        if (!out)
            return true;
        out = FromHex(*out);
        return (out && out->size() == kIndexRecordSize) ||
               Fail(std::string("\"") + key + "\" is not an index record");
    }
    bool Array(const Json& object, const char* key, const Json*& out) {
        const auto found = object.find(key);
        if (found == object.end() || !found->is_array())
            return Fail(std::string("\"") + key + "\" is not a list");
        out = &*found;
        return true;
    }
};

bool ReadFile(Reader& reader, const Json& item, JournalFile& file) {
    return (item.is_object() || reader.Fail("a file is not an object")) &&
           reader.Path(item, "path", file.path) && reader.OptionalText(item, "kept", file.kept) &&
           reader.OptionalText(item, "after", file.after);
}

bool ReadEntry(Reader& reader, const Json& item, IndexEntryChange& change) {
    if (!item.is_object())
        return reader.Fail("an index entry is not an object");
    if (!reader.OptionalRecord(item, "before", change.before) ||
        !reader.OptionalRecord(item, "after", change.after))
        return false;
    if (!change.before && !change.after)
        return reader.Fail("an index entry without records");
    const std::string& record = change.before ? *change.before : *change.after;
    change.key = IndexNameKey(std::string_view(record).substr(0, kIndexNameLength));
    // Both records are of the one name the entry is.
    return !change.before || !change.after ||
           IndexNameKey(std::string_view(*change.after).substr(0, kIndexNameLength)) ==
               change.key ||
           reader.Fail("an index entry whose records have different names");
}

bool ReadIndex(Reader& reader, const Json& item, JournalIndex& index) {
    const Json* entries = nullptr;
    if (!item.is_object() || !reader.Path(item, "path", index.path) ||
        !reader.Flag(item, "existed", index.existed) || !reader.Array(item, "entries", entries))
        return reader.Fail("an index is not an object");
    for (const Json& entry : *entries) {
        if (!ReadEntry(reader, entry, index.entries.emplace_back()))
            return false;
    }
    return true;
}

}  // namespace

std::string ManifestJson(const JournalManifest& manifest, bool whole) {
    std::size_t entryCount = 0;
    for (const JournalIndex& index : manifest.indexes)
        entryCount += index.entries.size();
    const RunDescription& run = manifest.run;
    Json document{{"format", kFormat},
                  {"id", manifest.id},
                  {"started", manifest.started},
                  {"kind", run.kind},
                  {"undoes", run.undoes},
                  {"program", run.program},
                  {"keyFile", PathJson(run.keyFile)},
                  {"mode", run.mode},
                  {"destination", PathJson(run.destination)},
                  {"keys", run.keys},
                  {"columns", run.columns},
                  {"options", run.options},
                  {"keptBytes", manifest.keptBytes},
                  {"fileCount", manifest.files.size()},
                  {"entryCount", entryCount}};
    if (!whole)
        return document.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
    Json files = Json::array();
    for (const JournalFile& file : manifest.files) {
        files.push_back({{"path", PathJson(file.path)},
                         {"kept", OptionalText(file.kept)},
                         {"after", OptionalText(file.after)}});
    }
    Json indexes = Json::array();
    for (const JournalIndex& index : manifest.indexes) {
        Json entries = Json::array();
        for (const IndexEntryChange& change : index.entries) {
            entries.push_back({{"name", DecodeWindows1252(TrimSpaces(change.key))},
                               {"before", OptionalRecord(change.before)},
                               {"after", OptionalRecord(change.after)}});
        }
        indexes.push_back({{"path", PathJson(index.path)},
                           {"existed", index.existed},
                           {"entries", std::move(entries)}});
    }
    document["files"] = std::move(files);
    document["indexes"] = std::move(indexes);
    // Names decoded above and paths checked: every text is UTF-8.
    return document.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

Expected<JournalManifest> ParseManifest(std::string_view json) {
    const Json document = Json::parse(json, nullptr, false);
    if (document.is_discarded() || !document.is_object())
        return Failure{"not a journal manifest: not a JSON object"};
    Reader reader;
    JournalManifest manifest;
    RunDescription& run = manifest.run;
    std::uint64_t format = 0;
    std::uint64_t keys = 0;
    std::uint64_t fileCount = 0;
    std::uint64_t entryCount = 0;
    const Json* files = nullptr;
    const Json* indexes = nullptr;
    const bool read =
        reader.Count(document, "format", format) &&
        (format == kFormat || reader.Fail("format " + std::to_string(format) + " is not known")) &&
        reader.Text(document, "id", manifest.id) &&
        reader.Text(document, "started", manifest.started) &&
        reader.Text(document, "kind", run.kind) && reader.Text(document, "undoes", run.undoes) &&
        reader.Text(document, "program", run.program) &&
        reader.Path(document, "keyFile", run.keyFile, true) &&
        reader.Text(document, "mode", run.mode) &&
        reader.Path(document, "destination", run.destination, true) &&
        reader.Count(document, "keys", keys) &&
        // Journals of earlier versions do not say which keys, nor the options.
        (!document.contains("columns") || reader.Text(document, "columns", run.columns)) &&
        (!document.contains("options") || reader.Text(document, "options", run.options)) &&
        reader.Count(document, "keptBytes", manifest.keptBytes) &&
        reader.Count(document, "fileCount", fileCount) &&
        reader.Count(document, "entryCount", entryCount) &&
        // A summary has neither list, a manifest both.
        (!document.contains("files") ||
         (reader.Array(document, "files", files) && reader.Array(document, "indexes", indexes)));
    if (!read)
        return Failure{"not a journal manifest: " + reader.problem};
    run.keys = static_cast<std::size_t>(keys);
    manifest.fileCount = static_cast<std::size_t>(fileCount);
    manifest.entryCount = static_cast<std::size_t>(entryCount);
    if (files == nullptr)
        return manifest;
    for (const Json& item : *files) {
        if (!ReadFile(reader, item, manifest.files.emplace_back()))
            return Failure{"not a journal manifest: " + reader.problem};
    }
    for (const Json& item : *indexes) {
        if (!ReadIndex(reader, item, manifest.indexes.emplace_back()))
            return Failure{"not a journal manifest: " + reader.problem};
    }
    std::size_t entries = 0;
    for (const JournalIndex& index : manifest.indexes)
        entries += index.entries.size();
    if (manifest.files.size() != manifest.fileCount || entries != manifest.entryCount)
        return Failure{"not a journal manifest: its counts are not those of its lists"};
    return manifest;
}

}  // namespace bladeway
