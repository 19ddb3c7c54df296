#pragma once

#include <optional>
#include <string>

namespace sim {

// Reads a module file's headers and says what keeps the system's loader from
// mapping it safely, before the loader is handed the file: a loader maps the
// file's segments into memory, and touching a page past the end of a
// truncated file kills the process (SIGBUS) instead of failing the load.
// Checked: a regular file; an ELF shared object of this build's class, byte
// order and machine; program headers inside the file; every segment's bytes
// inside the file. Returns the message for the first check that failed
// ("cannot load module 'm.so': not an ELF file", "...: built for aarch64,
// this host is x86-64", "...: truncated: ..."; a file that cannot be read at
// all says so), or nothing when the file passes.
std::optional<std::string> CheckModuleImage(const std::string& path);

} // namespace sim
