#pragma once

#include "ports/file_lister.h"

namespace vantora::platform {

// Lists folders of the real file system.
class QtFileLister final : public ports::FileLister {
 public:
  std::optional<QStringList> list_files(const QString& folder) const override;
};

}  // namespace vantora::platform
