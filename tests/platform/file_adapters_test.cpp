#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "base/errors.h"
#include "core/shell/file_lists.h"
#include "platform/qt/qt_file_lister.h"
#include "platform/qt/qt_picture_loader.h"
#include "sim/sim_file_lister.h"
#include "sim/sim_picture_loader.h"
#include "sim/sim_runtime.h"
#include "support/schedule_fixture.h"

namespace vantora {
namespace {

// One tree, built on the disk for the real lister and in memory for the simulated one: both
// must list it alike.
struct TreeBuilder {
  std::function<void(const QString& folder)> add_folder;
  std::function<void(const QString& path)> add_file;
};

struct ListerCase {
  const char* name;
  std::function<std::unique_ptr<ports::FileLister>(const QString& root, TreeBuilder&)> make;
};

class FileListTest : public ::testing::TestWithParam<ListerCase> {
 protected:
  void SetUp() override {
    root_ = temp_.path();
    lister_ = GetParam().make(root_, builder_);
    builder_.add_folder(root_ + "/news");
    for (const char* name : {"b.mpg", "A.mpg", "c.MPG", "a.mpg", ".hidden.mpg"}) {
      builder_.add_file(root_ + "/news/" + name);
    }
    builder_.add_folder(root_ + "/news/sub");
    builder_.add_file(root_ + "/news/sub/inner.mpg");
    builder_.add_folder(root_ + "/empty");
  }

  QTemporaryDir temp_;
  QString root_;
  TreeBuilder builder_;
  std::unique_ptr<ports::FileLister> lister_;
  sim::SimRuntime runtime_{date_time::from_parts(2026, 12, 6, 10)};
  forms::PlayerForm form_{runtime_};
};

// Equal but for case, the capital comes first so the order never depends on the disk. A folder
// that cannot be listed is error 76 and keeps the old listing; an empty one lists nothing until
// the path is set again.
TEST_P(FileListTest, ListsNormalFilesByNameAndKeepsTheListingOnError76) {
  file_lists::set_path(form_.File1, *lister_, root_ + "/news");
  EXPECT_EQ(form_.File1.items(), (QStringList{"A.mpg", "a.mpg", "b.mpg", "c.MPG"}));
  EXPECT_EQ(file_lists::entry_path(form_.File1, 2), root_ + "/news/b.mpg");
  for (const QString& bad : {root_ + "/missing", root_ + "/news/a.mpg", QString()}) {
    SCOPED_TRACE(bad.toStdString());
    EXPECT_RUNTIME_ERROR(file_lists::set_path(form_.File1, *lister_, bad), err::kPathNotFound);
    EXPECT_EQ(form_.File1.Path(), root_ + "/news");
    EXPECT_EQ(form_.File1.ListCount(), 4);
  }
  file_lists::set_path(form_.File1, *lister_, root_ + "/empty");
  EXPECT_EQ(form_.File1.ListCount(), 0);
  builder_.add_file(root_ + "/empty/late.mpg");
  file_lists::set_path(form_.File1, *lister_, root_ + "/empty");
  EXPECT_EQ(form_.File1.items(), QStringList{"late.mpg"});
}

std::unique_ptr<ports::FileLister> make_disk(const QString&, TreeBuilder& tree) {
  tree.add_folder = [](const QString& folder) { QDir().mkpath(folder); };
  tree.add_file = [](const QString& file) { ASSERT_TRUE(QFile(file).open(QFile::WriteOnly)); };
  return std::make_unique<platform::QtFileLister>();
}

std::unique_ptr<ports::FileLister> make_memory(const QString&, TreeBuilder& tree) {
  auto lister = std::make_unique<sim::SimFileLister>();
  tree.add_folder = [raw = lister.get()](const QString& folder) { raw->add_folder(folder); };
  tree.add_file = [raw = lister.get()](const QString& path) { raw->add_file(path); };
  return lister;
}

std::unique_ptr<ports::FileLister> make_memory_over_disk(const QString& root, TreeBuilder& tree) {
  // The tree is on the disk; the simulated lister holds only an unrelated folder in memory.
  make_disk(root, tree);
  auto lister = std::make_unique<sim::SimFileLister>(sim::SimFileLister::OtherFolders::kFromDisk);
  lister->add_files(QStringLiteral("/elsewhere"), {QStringLiteral("x.mpg")});
  return lister;
}

INSTANTIATE_TEST_SUITE_P(Listers, FileListTest,
                         ::testing::Values(ListerCase{"Disk", make_disk},
                                           ListerCase{"Memory", make_memory},
                                           ListerCase{"MemoryOverDisk", make_memory_over_disk}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Both picture loaders agree on what is a picture: the simulated one stands in for the real view.
TEST(PictureLoader, RealAndSimulatedAgree) {
  QTemporaryDir folder;
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  const QString png = folder.filePath(QStringLiteral("logo.png"));
  const QString bmp = folder.filePath(QStringLiteral("logo.bmp"));
  ASSERT_TRUE(image.save(png) && image.save(bmp));
  QFile text(folder.filePath(QStringLiteral("notes.txt")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a picture at all") > 0);
  text.close();
  const struct {
    const char* name;
    QString path;
    std::int32_t error;  // 0: loads
  } cases[] = {
      {"png", png, 0},
      {"bitmap", bmp, 0},
      {"text file", text.fileName(), err::kInvalidPicture},
      {"missing file", folder.filePath(QStringLiteral("gone.png")), err::kFileNotFound},
      {"a folder", folder.path(), err::kFileNotFound},
      {"empty path", QString(), err::kFileNotFound},
  };
  platform::QtPictureLoader real;
  sim::SimPictureLoader simulated;
  for (ports::PictureLoader* loader :
       std::initializer_list<ports::PictureLoader*>{&real, &simulated}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      if (c.error == 0) {
        EXPECT_NO_THROW(loader->LoadPicture(c.path));
      } else {
        EXPECT_RUNTIME_ERROR(loader->LoadPicture(c.path), c.error);
      }
    }
  }
}

}  // namespace
}  // namespace vantora
