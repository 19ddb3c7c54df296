#include "OutputFile.h"

#include "AtomicFile.h"

namespace sandbox {

OutputFile::OutputFile(std::filesystem::path path) : path_(std::move(path)) {}

void OutputFile::Write(std::string_view bytes) {
    pending_.append(bytes);
}

void OutputFile::Commit() {
    WriteFileAtomically(path_, pending_);
    pending_.clear();
    pending_.shrink_to_fit();
}

} // namespace sandbox
