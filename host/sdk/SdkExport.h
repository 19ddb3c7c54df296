#pragma once

// Symbols of the host SDK library (libpluginsdk.so) that plugins and hosts link against.
#define PLUGINSDK_API __attribute__((visibility("default")))

// Classes a plugin module exports to the host loader. The module is built with
// hidden visibility, so only what carries this mark reaches its dynamic symbol table.
#define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
