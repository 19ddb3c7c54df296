// The module file check that runs before the system's loader is handed a
// module, as every platform has it: the module itself passes, and what is no
// module at all is refused with a message that names the file.
#include "ModuleImageFixture.h"

namespace moduleimagetest {
namespace {

TEST_F(ModuleImageCheckTest, TheBuiltModulePasses) {
    ASSERT_GT(module.size(), 20000u);
    EXPECT_EQ(sim::CheckModuleImage(QUELLMARK_MODULE), std::nullopt);
    EXPECT_EQ(Check(module), "") << "a copy under another name passes as well";
}

TEST_F(ModuleImageCheckTest, ARefusalNamesTheModuleFile) {
    const std::string named = "cannot load module '" + (dir / fileName).string() + "': ";
    for (const std::string& bytes :
         {std::string(), std::string("#!/bin/sh\necho hello\n"), module.substr(0, 200)}) {
        const std::string message = Check(bytes);
        EXPECT_EQ(message.rfind(named, 0), 0u) << bytes.size() << " bytes: " << message;
        EXPECT_GT(message.size(), named.size()) << "the message says what is wrong";
    }
}

TEST_F(ModuleImageCheckTest, WhatIsNotARegularFileIsRefused) {
    EXPECT_NE(sim::CheckModuleImage(dir.Path().string()).value_or("").find("directory"),
              std::string::npos);
    EXPECT_NE(sim::CheckModuleImage((dir / ("absent" + fileName)).string())
                  .value_or("")
                  .find("no such file"),
              std::string::npos);
}

} // namespace
} // namespace moduleimagetest
