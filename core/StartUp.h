#pragma once
// Start-up of both programs: the settings store (the install folder and the
// last used folders), the folder tree below the program folder, the default
// fit and simulation settings, the option and print-layout files and the
// default circuit. The folder values are written back once, at exit.
#include <string>

namespace pellucor {

// Keys of the settings store: RegistryKey + VersionText (machine-wide, value
// "InstallDir") and that key + "\Settings" (per user: "AppPath", "DataPath",
// "ParPath", "PicsPath", "DocPath", "ImageViewer").
std::string MachineSettingsKey();
std::string UserSettingsKey();

// The whole start-up sequence (the window-only steps go through the window
// hooks). Runs to its end even when a settings value could not be stored;
// that is reported in a message box and the result is false.
bool StartUp();

// AppFolder from "InstallDir" (the working directory on the first run, then
// stored), the folder tree, and the four last used folders from the user's
// settings (written there on first use). No folder is created. False (after
// one message box) when a value could not be stored.
bool ReadRegistrySettings();
// Writes "DataPath", "ParPath", "PicsPath" and "DocPath" (at exit). False,
// after a message box, when they could not be stored.
bool WriteRegistrySettings();

// Every folder := AppFolder + "/data/" and so on.
void SetDefaultFolders();
// A trailing '/' on the fourteen folders below AppFolder.
void NormaliseFolders();
// The file dialogs' initial folders (window hook), the simulation folders,
// DataFileName := DataFolder + "temp.txt", PrintTitle := "EIS Data Analysis".
void SetDialogFolders();
// The default fit and simulation settings; locks all parameters and shows
// the sample area.
void SetDefaultSettings();

}  // namespace pellucor
