#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace sim {

// The largest module a host copies: far beyond any plugin's, small enough
// that a huge or endless file is refused before it fills the disk.
inline constexpr std::uint64_t kMostModuleBytes = std::uint64_t(256) << 20;

// A host loads a private copy of a module, never the user's file: the system
// maps a loaded module's file, so a rewrite of that file (a rebuild, a copy
// over it) would change the running code under it or end the process
// (SIGBUS on a file cut short). Checks the module at `path` as the loader
// would (CheckModuleImage) before anything is copied, then copies it, read
// whole up to kMostModuleBytes, to `copy`. False with `error` naming `path`
// when the file is refused or cannot be copied; nothing is left at `copy`.
bool CopyModule(const std::string& path, const std::filesystem::path& copy, std::string& error);

} // namespace sim
