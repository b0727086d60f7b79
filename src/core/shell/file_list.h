#pragma once

#include <QString>

#include "core/shell/form_model.h"

namespace vantora {

// Points a file list box at a folder, as setting its Path does: it then lists the folder's
// normal files (not hidden ones, not sub-folders) by name, ignoring case. A folder that does not
// exist is error 76 and leaves the box as it was.
void set_file_list_path(forms::FileListBox& box, const QString& folder);

}  // namespace vantora
