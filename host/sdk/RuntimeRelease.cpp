// MinGW-w64 only (compiled in where MINGW is set): a module links its own
// copy of the C++ runtime, statically, and that copy's exception support
// allocates an emergency pool (about 72 KiB) as the module loads and never
// frees it; every load and unload of the module would lose it, which the
// validator's load cycles see on Windows. Every plugin module compiles in the
// plugin base, so this object, released when the module unloads, goes with it.

namespace __gnu_cxx {
// libsupc++'s own release of what the runtime keeps for the process's
// lifetime, made for leak checkers; not declared in any header.
void __freeres();
} // namespace __gnu_cxx

namespace {

struct ReleaseRuntimeOnUnload {
    ReleaseRuntimeOnUnload() = default;
    ReleaseRuntimeOnUnload(const ReleaseRuntimeOnUnload&) = delete;
    ReleaseRuntimeOnUnload& operator=(const ReleaseRuntimeOnUnload&) = delete;
    ~ReleaseRuntimeOnUnload() { __gnu_cxx::__freeres(); }
};

const ReleaseRuntimeOnUnload releaseOnUnload;

} // namespace
