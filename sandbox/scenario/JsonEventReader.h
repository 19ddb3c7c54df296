#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

namespace sandbox {

// JSON text read as the parser's events (nlohmann's SAX interface), for the
// reader of one file format to build on without a document in between. It
// refuses, at the line and column where the text is at fault, what the parser
// refuses and what JSON allows but no such file holds: nesting deeper than
// 256 arrays and objects (at the bracket that goes past), a key given twice
// in one object (at the second), a NUL byte. It keeps the field being read
// ("camera.location[2]") for messages and, of the faults the format finds in
// values, the first. Messages quote values, keys and field paths by their
// start, text as the config and the trace quote it: nothing reaches a
// terminal raw.
class JsonEventReader {
public:
    using Json = nlohmann::json;

    // `source` names the text in messages, which call it a `noun` ("scenario").
    JsonEventReader(std::string_view text, const std::string& source, const char* noun);
    virtual ~JsonEventReader() = default;

    // Reads the text through; false when the text itself is at fault.
    bool Read();
    // Throws InputError for the fault in the text, else the first in a value.
    void ThrowFault() const;

    // The parser's events, for it alone.
    bool null() { return Value(Json()); }
    bool boolean(bool value) { return Value(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return Value(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return Value(Json(value)); }
    bool number_float(Json::number_float_t value, const Json::string_t&) {
        return Value(Json(value));
    }
    bool string(Json::string_t& value) { return Value(Json(std::move(value))); }
    bool binary(Json::binary_t&) { return true; } // never in JSON text
    bool start_object(std::size_t) { return Open(false); }
    bool start_array(std::size_t) { return Open(true); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }
    bool key(Json::string_t& key);
    bool parse_error(std::size_t position, const std::string& token, const Json::exception& error);

protected:
    // An open array or object.
    struct Level {
        int kind = 0; // what the format reads it as
        bool array = false;
        std::size_t start = 0; // its bracket's offset in the text
        std::size_t count = 0; // values read in it so far
        std::string key;       // an object's member being read, and what it is read as
        bool hasKey = false;
        int member = 0;
        std::unordered_set<std::string> keys;
    };

    // The format's part. A kind is the format's own number for what a value
    // is read as; 0 is a value read no further.

    // The kind of the value about to be read in `in` (of an object's member:
    // as soon as its key is read), or of the whole text when `in` is null.
    virtual int KindIn(const Level* in) = 0;
    // What an array or object of `kind` is read as, or 0 to read it no
    // further: it is then handed to Scalar whole, as the start of its text.
    virtual int Opened(int kind, bool array) = 0;
    virtual void Scalar(int kind, const Json& value) = 0;
    // `level` has been read to its end; `text` is all of it.
    virtual void Closed(const Level& level, std::string_view text) = 0;

    const std::vector<Level>& Levels() const { return levels_; }
    // The field the last event was about: "camera.location[2]".
    std::string Here() const { return PathAt(levels_.size()); }
    // Keeps `what`, said of the field `path`, unless a fault came before.
    void Refuse(const std::string& path, const std::string& what);
    bool Refused() const { return !fault_.empty(); }

    static std::string Member(const std::string& path, const std::string& key);
    // A value as a message quotes it; an array or object read no further is
    // handed over as the start of its text.
    static std::string Shown(const Json& value);
    // An array's or object's text as a message quotes it.
    static std::string Excerpt(std::string_view text);

private:
    std::size_t Offset() const { return static_cast<std::size_t>(furthest_ - text_.data()); }
    bool TextFault(std::size_t offset, std::string what);
    std::string PathAt(std::size_t depth) const;
    std::string Prefix() const;
    std::size_t KeyStart() const;
    int Wanted();
    bool Open(bool array);
    bool Close();
    bool Value(const std::optional<Json>& value);

    std::string_view text_;
    const std::string& source_;
    const char* noun_;
    const char* furthest_; // how far the parser has read
    std::vector<Level> levels_;
    std::string fault_;     // the first in a value
    std::string textFault_; // in the text itself, at textOffset_
    std::size_t textOffset_ = 0;
};

} // namespace sandbox
