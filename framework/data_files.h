#pragma once
// Where the module keeps its files (the settings and the history), decided once per load:
// - beside the module, when the user can create files in the module's folder (a copy in a
//   folder of the user's own): exactly the files that were always used;
// - otherwise (an installation under Program Files) in the user's own local application data,
//   folder "Vantorel", made at the first save. A file that lies beside the module all the same
//   is read as the starting content until the user's own copy exists.
#include <windows.h>

namespace vantorel {

enum class DataFileUse {
  Read,   // the file to read: the user's own, or while it is missing the one beside the module
  Write,  // the file to write: its folder is made, and the one beside the module copied in
          // first when the user has none yet, so an addition builds on the starting content
};

// The full path of the file name for the given use. False when no path can be made (too long,
// no local application data, the folder cannot be made).
bool DataFilePath(const wchar_t* name, DataFileUse use, wchar_t (&path)[MAX_PATH]) noexcept;

// The folder that the files are written to, made by nothing here (the user's own one is made at
// the first save). False when no path can be made.
bool DataFolder(wchar_t (&folder)[MAX_PATH]) noexcept;

}  // namespace vantorel
