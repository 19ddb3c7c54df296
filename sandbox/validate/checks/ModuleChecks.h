#pragma once

#include "validate/checks/Check.h"

// The checks, one per file.
namespace validate {

// What every plugin of this host must do, whatever it draws and registers.
void CheckDescriptor(const CheckContext& context);    // DescriptorCheck.cpp
void CheckLifecycle(const CheckContext& context);     // LifecycleCheck.cpp
void CheckHooks(const CheckContext& context);         // HooksCheck.cpp
void CheckHostileFrames(const CheckContext& context); // HostileFramesCheck.cpp
void CheckLoadCycles(const CheckContext& context);    // LoadCyclesCheck.cpp

// What Quellmark must do: its registrations, its lines, its panel.
void CheckRegistrations(const CheckContext& context); // RegistrationsCheck.cpp
void CheckExampleFrame(const CheckContext& context);  // ExampleFrameCheck.cpp
void CheckOverlayFrames(const CheckContext& context); // HostileFramesCheck.cpp
void CheckSettingsPanel(const CheckContext& context); // SettingsPanelCheck.cpp

// The probe that learns the module's class name (its descriptor's), run in a
// child like a check: answers with the name. DescriptorCheck.cpp.
void AnswerClassName(const CheckContext& context);

} // namespace validate
