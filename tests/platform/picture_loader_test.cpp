#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "base/errors.h"
#include "platform/qt/qt_picture_loader.h"
#include "sim/sim_picture_loader.h"

namespace vantora::testing {
namespace {

// Both loaders must agree on what is a picture: the simulator stands in for the real view.
TEST(PictureLoader, RealAndSimulatedAgree) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString png = folder.filePath(QStringLiteral("logo.png"));
  const QString bmp = folder.filePath(QStringLiteral("logo.bmp"));
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(png));
  ASSERT_TRUE(image.save(bmp));
  const QString text = folder.filePath(QStringLiteral("notes.txt"));
  {
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture at all");
  }

  struct Case {
    const char* name;
    QString path;
    std::int32_t error;  // 0: loads
  };
  const Case cases[] = {
      {"png", png, 0},
      {"bitmap", bmp, 0},
      {"text file", text, err::kInvalidPicture},
      {"missing file", folder.filePath(QStringLiteral("gone.png")), err::kFileNotFound},
      {"a folder", folder.path(), err::kFileNotFound},
      {"empty path", QString(), err::kFileNotFound},
  };
  platform::QtPictureLoader real;
  sim::SimPictureLoader simulated;
  for (ports::PictureLoader* loader : {static_cast<ports::PictureLoader*>(&real),
                                       static_cast<ports::PictureLoader*>(&simulated)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      std::int32_t got = 0;
      try {
        loader->LoadPicture(c.path);
      } catch (const RuntimeError& error) {
        got = error.number();
      }
      EXPECT_EQ(got, c.error);
    }
  }
}

}  // namespace
}  // namespace vantora::testing
