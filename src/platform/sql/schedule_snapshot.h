#pragma once

#include <QString>

namespace vantora::platform {

// Copies a schedule database page by page with SQLite's online backup, so the copy is one
// consistent state of the file even while a running player writes to it. The source is opened
// read-only and left as it was. Returns an empty text on success, else what went wrong.
QString snapshot_schedule(const QString& source_path, const QString& target_path);

}  // namespace vantora::platform
