// The settings store: where the host keeps the plug-in's five settings and the per-file
// memory of the menu's on/off choice. Each host has its own (the 1.70 host's registry,
// the current host's settings service); the names and defaults are the same.
#pragma once

namespace tarvik {

// Reads the five settings into their globals, creating missing values with their
// defaults, and writes the Info banner. Failures keep the defaults.
void ReadSettings();

// Load: Mode := the remembered mode of the current editor's file (0 if none). Store:
// remembers Mode for that file. Both do nothing while SaveFileType is 0.
void LoadSaveFileTypeMode(bool Load, unsigned char& Mode);

// Lets go of what the store holds; at unload.
void ReleaseSettings();

}  // namespace tarvik
