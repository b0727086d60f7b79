#pragma once

#include <QString>

#include "core/shell/forms.h"
#include "ports/file_lister.h"

namespace vantora::file_lists {

// Sets a file list box's Path: the box then lists the folder's normal files by name, ignoring
// case (names equal but for case keep a fixed order). A folder that cannot be listed raises
// error 76 (Path not found) and the box keeps its old path and listing, as a file list box does.
void set_path(forms::FileListBox& box, const ports::FileLister& lister, const QString& folder);

// A file of the folder a box lists, as a full path: the box's Path, a separator, the name.
QString entry_path(const forms::FileListBox& box, int index);

// Joins a folder and a file name with one separator between them.
QString join(const QString& folder, const QString& name);

}  // namespace vantora::file_lists
