#include "sim/ModuleCopy.h"

#include "files/FileError.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "files/PathText.h"
#include "sim/ModuleImageCheck.h"

namespace sim {

bool CopyModule(const std::string& path, const std::filesystem::path& copy, std::string& error) {
    if (auto problem = CheckModuleImage(path)) {
        error = *problem;
        return false;
    }
    try {
        const std::string bytes =
            files::ReadFile(files::PathFromText(path), {"module", kMostModuleBytes, false});
        files::WriteFile(copy, bytes, {"module copy", false});
        return true;
    } catch (const files::Error& failure) {
        error = failure.what();
        std::error_code ignored;
        std::filesystem::remove(copy, ignored);
        return false;
    }
}

} // namespace sim
