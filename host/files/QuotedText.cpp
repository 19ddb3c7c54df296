#include "files/QuotedText.h"

namespace files {

namespace {

constexpr char kHex[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Escapes the bytes that would break a line or act on a terminal; with
// `quoting`, also the quote and the backslash, so the text reads back.
void AppendEscaped(std::string& out, std::string_view text, bool quoting) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
        case '\\':
            if (quoting) {
                out += '\\';
            }
            out += c;
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xf];
            } else {
                out += c;
            }
        }
    }
}

} // namespace

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    AppendEscaped(out, text, true);
    out += '"';
}

std::string Quoted(std::string_view text) {
    std::string out;
    AppendQuoted(out, text);
    return out;
}

std::string Printable(std::string_view text) {
    std::string out;
    AppendEscaped(out, text, false);
    return out;
}

std::optional<Unquoted> ReadQuoted(std::string_view text, std::string& problem) {
    Unquoted read;
    std::size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            read.value += text[i];
            continue;
        }
        const char escaped = text[++i];
        switch (escaped) {
        case 'n':
            read.value += '\n';
            break;
        case 'r':
            read.value += '\r';
            break;
        case 't':
            read.value += '\t';
            break;
        case 'x': {
            const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                problem = "\\x must be followed by two hex digits";
                return std::nullopt;
            }
            read.value += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            read.value += escaped;
        }
    }
    if (i >= text.size()) {
        problem = "unterminated quoted value";
        return std::nullopt;
    }
    read.length = i + 1;
    return read;
}

} // namespace files
