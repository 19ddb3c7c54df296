#pragma once

#include "validate/checks/Check.h"

// The checks, one per file.
namespace validate {

void CheckDescriptor(const CheckContext& context);    // DescriptorCheck.cpp
void CheckLifecycle(const CheckContext& context);     // LifecycleCheck.cpp
void CheckRegistrations(const CheckContext& context); // RegistrationsCheck.cpp
void CheckHooks(const CheckContext& context);         // HooksCheck.cpp
void CheckExampleFrame(const CheckContext& context);  // ExampleFrameCheck.cpp
void CheckHostileFrames(const CheckContext& context); // HostileFramesCheck.cpp
void CheckSettingsPanel(const CheckContext& context); // SettingsPanelCheck.cpp
void CheckLoadCycles(const CheckContext& context);    // LoadCyclesCheck.cpp

} // namespace validate
