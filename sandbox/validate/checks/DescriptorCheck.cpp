// The descriptor as the host loader reads it, for any module: raw bytes at
// fixed offsets, not through this program's own idea of the record, and each
// field sane - whatever names and texts the plugin gives itself. (The
// record's layout in this build is fixed at compile time in
// sdk/PluginDescriptor.h; Quellmark's own texts are its plugin's tests'.)

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "validate/checks/ExportedData.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// The bytes the loader reads.
constexpr std::size_t kDescriptorSize = 64;
// Longer texts than this are taken for a pointer to something else.
constexpr std::size_t kLongestText = 4096;

template <typename T> T ReadAt(const void* base, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
    return value;
}

std::string Field(std::string_view field, std::size_t offset) {
    return std::string(field) + " (offset " + std::to_string(offset) + ")";
}

// The text a pointer field points to: there, ended within reason, without
// control characters, and not empty unless `mayBeEmpty`.
std::string TextAt(const void* table, std::size_t offset, std::string_view field,
                   bool mayBeEmpty = false) {
    const char* text = ReadAt<const char*>(table, offset);
    Require(text != nullptr, Field(field, offset) + " is a null pointer");
    const std::size_t length = strnlen(text, kLongestText);
    Require(length < kLongestText, Field(field, offset) + " is not a text of at most " +
                                       std::to_string(kLongestText - 1) + " bytes");
    const std::string_view value(text, length);
    Require(mayBeEmpty || !value.empty(), Field(field, offset) + " is empty");
    for (unsigned char c : value) {
        Require(c >= 0x20 && c != 0x7F, Field(field, offset) + " holds a control character");
    }
    return std::string(value);
}

// A C++ class name: letters, digits and underscores, not starting with a digit.
bool IsClassName(std::string_view name) {
    if (name.empty() || (name.front() >= '0' && name.front() <= '9')) {
        return false;
    }
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_') {
            return false;
        }
    }
    return true;
}

// A version: one to four numbers separated by dots ("1.0.0.78").
bool IsVersion(std::string_view text) {
    int numbers = 0;
    std::size_t digits = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c != '.' || digits == 0) {
            return false;
        } else {
            ++numbers;
            digits = 0;
        }
    }
    return digits > 0 && numbers + 1 <= 4;
}

void CheckTexts(const void* table) {
    TextAt(table, 8, "the source path");
    const std::string className = TextAt(table, 16, "the class name");
    Require(IsClassName(className), "the class name (offset 16) \"" + className +
                                        "\" is not a class name: letters, digits and "
                                        "underscores, not starting with a digit");
    TextAt(table, 24, "the title", true);
    const std::string version = TextAt(table, 32, "the version text");
    Require(IsVersion(version), "the version text (offset 32) \"" + version +
                                    "\" is not one to four numbers separated by dots");
}

} // namespace

void CheckDescriptor(const CheckContext& context) {
    sim::Host host;
    auto hosted = OpenModule(context.modulePath, host);
    const void* table = hosted->Module().Symbol("exports");
    Require(table != nullptr, "the module exports no symbol 'exports'");
    const std::string fault =
        ExportedDataFault(context.modulePath, "exports", table, kDescriptorSize);
    Require(fault.empty(), fault);

    const auto version = ReadAt<std::int32_t>(table, 0);
    Require(version == 95, "interface version (offset 0) is " + Num(version) + ", expected 95");
    Require(ReadAt<std::int32_t>(table, 4) == 0, "the filler at offset 4 is not zero");
    CheckTexts(table);
    const auto type = ReadAt<std::int32_t>(table, 40);
    Require(type == 1, "the plugin type (offset 40) is " + Num(type) + ", expected 1");
    Require(ReadAt<std::int32_t>(table, 44) == 0, "the filler at offset 44 is not zero");

    void* factory = ReadAt<void*>(table, 48);
    void* release = ReadAt<void*>(table, 56);
    Require(factory != nullptr, "the factory (offset 48) is a null pointer");
    Require(release != nullptr, "the release function (offset 56) is a null pointer");
    Require(factory == hosted->Module().Symbol("getPlugin"),
            "the factory (offset 48) is not the exported getPlugin");
    Require(release == hosted->Module().Symbol("deleteMe"),
            "the release function (offset 56) is not the exported deleteMe");
}

void AnswerClassName(const CheckContext& context) {
    sim::Host host;
    auto hosted = OpenModule(context.modulePath, host);
    const char* name = hosted->Descriptor().className;
    Answer(name != nullptr ? std::string(name, strnlen(name, kLongestText)) : std::string());
}

} // namespace validate
