#include "scenario/JsonEventReader.h"

#include <algorithm>
#include <cstdint>

#include "base/InputError.h"
#include "files/QuotedText.h"

namespace sandbox {

namespace {

// Deeper than any file needs by far, and shallow enough that nothing that
// walks a document recursively comes near the stack's end.
constexpr std::size_t kMaxDepth = 256;

// What a message quotes of a value, a key or a field path, at most.
constexpr std::size_t kShownLength = 40;
constexpr std::size_t kShownPathLength = 100;

// The start of `text`, "..." marking a cut, which never splits a UTF-8 character.
std::string Cut(std::string_view text) {
    std::size_t end = text.size() <= kShownLength ? text.size() : kShownLength - 3;
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return std::string(text.substr(0, end)) + (end < text.size() ? "..." : "");
}

// Text quoted as the config and the trace quote it.
std::string Quoted(std::string_view text) {
    std::string quoted;
    files::AppendQuoted(quoted, text.substr(0, kShownLength + 1));
    return Cut(quoted);
}

// A field path as a message shows it: deep paths keep their start and end.
std::string PathShown(const std::string& path) {
    if (path.size() <= kShownPathLength) {
        return path;
    }
    return path.substr(0, kShownPathLength / 2) + "..." +
           path.substr(path.size() - kShownPathLength / 2 + 3);
}

// "FILE:LINE:COLUMN: what", for the byte at `offset`.
std::string Located(std::string_view text, const std::string& source, std::size_t offset,
                    const std::string& what) {
    const std::string_view before = text.substr(0, offset);
    const std::size_t column = before.size() - (before.rfind('\n') + 1); // npos + 1 == 0
    return source + ":" + std::to_string(std::count(before.begin(), before.end(), '\n') + 1) + ":" +
           std::to_string(column + 1) + ": " + what;
}

// Walks the text for the parser and keeps, in a place the reader sees, how
// far the parser has read: the parser tells its handler what it found but not
// where, and a complaint should say where.
class ReadingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    ReadingIterator(const char* at, const char*& furthest) : at_(at), furthest_(&furthest) {}
    reference operator*() const { return *at_; }
    ReadingIterator& operator++() {
        *furthest_ = ++at_;
        return *this;
    }
    bool operator==(const ReadingIterator& other) const { return at_ == other.at_; }

private:
    const char* at_;
    const char** furthest_;
};

} // namespace

JsonEventReader::JsonEventReader(std::string_view text, const std::string& source, const char* noun)
    : text_(text), source_(source), noun_(noun), furthest_(text.data()) {}

bool JsonEventReader::Read() {
    // JSON text never holds a NUL byte; the parser would take one for the end
    // of the text and accept what came before.
    if (const std::size_t nul = text_.find('\0'); nul != std::string_view::npos) {
        return TextFault(nul, std::string("a NUL byte; a ") + noun_ + " is text");
    }
    // The parser stops early only where this reader has said why (TextFault).
    const char* end = text_.data() + text_.size();
    Json::sax_parse(ReadingIterator(text_.data(), furthest_), ReadingIterator(end, furthest_),
                    this);
    return textFault_.empty();
}

void JsonEventReader::ThrowFault() const {
    if (!textFault_.empty()) {
        throw InputError(Located(text_, source_, textOffset_, textFault_));
    }
    if (!fault_.empty()) {
        throw InputError(fault_);
    }
}

bool JsonEventReader::key(Json::string_t& key) {
    Level& object = levels_.back();
    if (!object.keys.insert(key).second) {
        return TextFault(KeyStart(), PathShown(Member(PathAt(levels_.size() - 1), key)) +
                                         ": given twice (a key may appear once in an object)");
    }
    object.key = std::move(key);
    object.hasKey = true;
    object.member = object.kind == 0 ? 0 : KindIn(&object);
    return true;
}

bool JsonEventReader::parse_error(std::size_t position, const std::string& token,
                                  const Json::exception& error) {
    // A number too large for a double: the parser has read past it, and names
    // the number; the fault is where the number starts.
    if (error.id == 406) {
        return TextFault(position - std::min(position, token.size()),
                         Prefix() + "'" + Cut(token) + "' is not a finite number");
    }
    // Its message without the "[json.exception...] parse error at line L,
    // column C: " that Located says in the usual form, and with the text it
    // stopped at quoted and cut short.
    std::string what = error.what();
    what = what.substr(what.find(": ", what.find("] ")) + 2);
    const std::string read = "last read: '" + token + "'";
    if (const std::size_t at = what.find(read); at != std::string::npos) {
        what.replace(at, read.size(), "last read: " + Quoted(token));
    }
    return TextFault(position == 0 ? 0 : position - 1, Prefix() + what);
}

void JsonEventReader::Refuse(const std::string& path, const std::string& what) {
    if (fault_.empty()) {
        fault_ = source_ + ": " + (path.empty() ? "" : PathShown(path) + ": ") + what;
    }
}

// A key as it is, unless it is empty or holds a quote or a control
// character: then quoted.
std::string JsonEventReader::Member(const std::string& path, const std::string& key) {
    const bool plain = !key.empty() && std::none_of(key.begin(), key.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '\x7f' || c == '"';
    });
    return (path.empty() ? "" : path + ".") + (plain ? Cut(key) : Quoted(key));
}

std::string JsonEventReader::Shown(const Json& value) {
    if (value.is_binary()) { // the start of an array's or object's text
        return std::string(value.get_binary().begin(), value.get_binary().end());
    }
    return value.is_string() ? Quoted(value.get_ref<const std::string&>()) : Cut(value.dump());
}

// Without the spaces and line breaks between its parts.
std::string JsonEventReader::Excerpt(std::string_view text) {
    std::string shown;
    bool inString = false;
    for (std::size_t i = 0; i < text.size() && shown.size() <= kShownLength; ++i) {
        if (inString || text[i] > ' ') {
            shown += text[i] == '\x7f' ? std::string("\\u007f") : std::string(1, text[i]);
        }
        if (inString && text[i] == '\\') {
            shown += text[++i]; // no string in JSON text ends in a backslash
        } else if (text[i] == '"') {
            inString = !inString;
        }
    }
    return Cut(shown);
}

bool JsonEventReader::TextFault(std::size_t offset, std::string what) {
    textOffset_ = offset;
    textFault_ = std::move(what);
    return false;
}

std::string JsonEventReader::PathAt(std::size_t depth) const {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i) {
        const Level& level = levels_[i];
        if (level.array) {
            path += "[" + std::to_string(level.count) + "]";
        } else if (level.hasKey) {
            path = Member(path, level.key);
        }
    }
    return path;
}

// "camera.location[2]: ", or nothing at the top level.
std::string JsonEventReader::Prefix() const {
    const std::string path = Here();
    return path.empty() ? path : PathShown(path) + ": ";
}

// The key's opening quote, back from the closing one the parser just read.
std::size_t JsonEventReader::KeyStart() const {
    std::size_t open = Offset() - 1;
    while (open > 0) {
        --open;
        std::size_t backslashes = 0;
        while (backslashes < open && text_[open - 1 - backslashes] == '\\') {
            ++backslashes;
        }
        if (text_[open] == '"' && backslashes % 2 == 0) {
            break;
        }
    }
    return open;
}

int JsonEventReader::Wanted() {
    if (levels_.empty()) {
        return KindIn(nullptr);
    }
    const Level& in = levels_.back();
    return in.kind == 0 ? 0 : in.array ? KindIn(&in) : in.member;
}

bool JsonEventReader::Open(bool array) {
    if (levels_.size() >= kMaxDepth) {
        return TextFault(Offset() - 1,
                         Prefix() + "nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    const int kind = Wanted();
    Level& level = levels_.emplace_back();
    level.kind = kind == 0 ? 0 : Opened(kind, array);
    level.array = array;
    level.start = Offset() - 1;
    return true;
}

bool JsonEventReader::Close() {
    const Level done = std::move(levels_.back());
    levels_.pop_back();
    const std::string_view text = text_.substr(done.start, Offset() - done.start);
    if (done.kind == 0) {
        const std::string shown = Wanted() == 0 ? "" : Excerpt(text);
        return Value(Json::binary(std::vector<std::uint8_t>(shown.begin(), shown.end())));
    }
    Closed(done, text);
    return Value(std::nullopt);
}

// A value read (none: an array or object read to its end).
bool JsonEventReader::Value(const std::optional<Json>& value) {
    if (value) {
        if (const int kind = Wanted(); kind != 0) {
            Scalar(kind, *value);
        }
    }
    if (!levels_.empty()) {
        ++levels_.back().count;
        levels_.back().hasKey = false;
    }
    return true;
}

} // namespace sandbox
