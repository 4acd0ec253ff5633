// The settings store of the 1.70 host: registry values below the host's plug-in key
// (RootKey\Tarvik), read once at start-up, and the per-file memory of the menu's
// on/off choice (RootKey\Tarvik\File Types, one value per file name).
#pragma once

namespace tarvik {

// Keeps a copy of the host's registry path for plug-ins (null: the registry is then
// out of reach); any earlier copy goes.
void TakeSettingsRoot(const char* RootKey);

// Reads the five settings into their globals, creating missing values with their
// defaults, and writes the Info banner. Failures keep the defaults.
void ReadSettings();

// Load: Mode := the remembered mode of the current editor's file (0 if none). Store:
// remembers Mode for that file. Both do nothing while SaveFileType is 0.
void LoadSaveFileTypeMode(bool Load, unsigned char& Mode);

// Lets the registry path go; at unload.
void ReleaseSettingsRoot();

}  // namespace tarvik
