// Registry settings and the per-file memory of the on/off choice.
#pragma once

namespace tarvik {

// Reads the five settings below RootKey\Tarvik, creating missing values with
// their defaults and writing the Info banner. Failures keep the defaults.
void ReadSettings();

// Load: Mode := the remembered mode of the current editor's file (0 if none).
// Store: remembers Mode for that file. Both do nothing while SaveFileType is 0.
void LoadSaveFileTypeMode(bool Load, unsigned char& Mode);

}  // namespace tarvik
