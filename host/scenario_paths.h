#pragma once
// Paths on the stand-in's command line. Besides Windows paths it takes Linux ones, as a user of
// the stand-in under Wine types them: from "/" they are put under Z:, the drive under which Wine
// shows the Linux root; relative ones are taken from the current folder. A path reaches the
// shell only once it is full and names what it should.
#include <string>

namespace vantorel::host {

enum class PathKind {
  None,
  Folder,  // an existing folder
  File,    // an existing file
  Output,  // a file to write: only made full
};

// Makes value a full Windows path. False with a reason that names the path as given when it
// cannot be made full, or names nothing of its kind.
bool ResolvePath(PathKind kind, std::wstring& value, std::wstring& error);

}  // namespace vantorel::host
