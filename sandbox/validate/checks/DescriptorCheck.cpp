// The descriptor as the host loader reads it: raw bytes at fixed offsets, not
// through this program's own idea of the record.

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "plugin/PluginVersion.h"
#include "validate/audit/ValueText.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"

namespace validate {

namespace {

template <typename T> T ReadAt(const void* base, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
    return value;
}

void RequireText(const void* table, std::size_t offset, std::string_view field,
                 std::string_view expected) {
    const char* text = ReadAt<const char*>(table, offset);
    Require(text != nullptr,
            std::string(field) + " (offset " + std::to_string(offset) + ") is a null pointer");
    Require(text == expected, std::string(field) + " (offset " + std::to_string(offset) +
                                  ") reads \"" + text + "\", expected \"" + std::string(expected) +
                                  "\"");
}

} // namespace

void CheckDescriptor(const CheckContext& context) {
    sim::Host host;
    auto hosted = OpenModule(context.modulePath, host);
    const void* table = hosted->Module().Symbol("exports");
    Require(table != nullptr, "the module exports no symbol 'exports'");

    // The symbol itself: a data object the loader can read 64 bytes of.
    Dl_info info{};
    void* entry = nullptr;
    Require(dladdr1(table, &info, &entry, RTLD_DL_SYMENT) != 0 && entry != nullptr,
            "the dynamic linker has no symbol entry for 'exports'");
    const auto* symbol = static_cast<const ElfW(Sym)*>(entry);
    Require(ELF64_ST_TYPE(symbol->st_info) == STT_OBJECT, "'exports' is not a data object");
    // The loader reads 64 bytes. AddressSanitizer pads instrumented globals
    // with a red zone, so more is fine; less is not.
    Require(symbol->st_size >= 64,
            "'exports' is " + std::to_string(symbol->st_size) + " bytes; the loader reads 64");

    const auto version = ReadAt<std::int32_t>(table, 0);
    Require(version == 95, "interface version (offset 0) is " + Num(version) + ", expected 95");
    Require(ReadAt<std::int32_t>(table, 4) == 0, "the filler at offset 4 is not zero");

    const char* sourcePath = ReadAt<const char*>(table, 8);
    Require(sourcePath != nullptr, "the source path (offset 8) is a null pointer");
    const std::string_view path(sourcePath);
    const std::string_view file = path.substr(path.find_last_of("/\\") + 1);
    Require(file.starts_with("Quellmark."), "the source path (offset 8) \"" + std::string(path) +
                                                "\" does not name the main source Quellmark");

    RequireText(table, 16, "the class name", "Quellmark");
    RequireText(table, 24, "the title", "write a plugin description here");
    RequireText(table, 32, "the version text", kPluginVersionText);

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

} // namespace validate
