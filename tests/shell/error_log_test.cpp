#include "core/shell/error_log.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "core/shell/procedure.h"
#include "sim/sim_runtime.h"

namespace vantora {
namespace {

class ErrorLogTest : public ::testing::Test {
 protected:
  QTemporaryDir folder;
  sim::SimRuntime clock{date_time::from_parts(2026, 12, 6, 9, 30, 15, 250)};
  ErrorLog log{clock, folder.path()};

  QStringList lines() const {
    QFile file(log.file_path());
    if (!file.open(QIODevice::ReadOnly)) {
      return {};
    }
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.isEmpty() || text.endsWith(QStringLiteral("\r\n")));
    return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  }
};

// One line per run of the same number, appended to what earlier runs wrote; a new form load
// starts the memory afresh. The label is what follows the last " in ".
TEST_F(ErrorLogTest, AppendsOneLineInTheClassicShapePerRunOfANumber) {
  QFile earlier(log.file_path());
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("an earlier run\r\n") > 0);
  earlier.close();
  log.Log_Error(3021, QStringLiteral("Either BOF or EOF is True"), QStringLiteral("Load_Start()"));
  log.Log_Error(3021, QStringLiteral("b"), QStringLiteral("Two()"));  // same number, other proc
  log.Log_Error(5, QStringLiteral("stuck in traffic in town"), QStringLiteral("RunNews()"));
  log.Log_Error(3021, QStringLiteral("c"), QStringLiteral("Three()"));
  // The next run remembers nothing of this one.
  ErrorLog(clock, folder.path()).Log_Error(3021, QStringLiteral("c"), QStringLiteral("Three()"));
  EXPECT_EQ(lines(), (QStringList{
                         QStringLiteral("an earlier run"),
                         "2026-12-06 09:30:15 3021 Either BOF or EOF is True in Load_Start()",
                         "2026-12-06 09:30:15 5 stuck in traffic in town in RunNews()",
                         "2026-12-06 09:30:15 3021 c in Three()",
                         "2026-12-06 09:30:15 3021 c in Three()",
                     }));
  // A log that cannot be written neither throws nor stops the next line reaching its listeners.
  ErrorLog nowhere(clock, folder.filePath(QStringLiteral("missing/folder")));
  std::vector<LoggedError> seen;
  nowhere.add_listener([&](const LoggedError& entry) { seen.push_back(entry); });
  nowhere.Log_Error(76, QStringLiteral("Path not found"), QStringLiteral("A()"));
  nowhere.Log_Error(53, QStringLiteral("File not found"), QStringLiteral("B()"));
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_FALSE(QFile::exists(nowhere.file_path()));
}

TEST_F(ErrorLogTest, AProcedureGoesOnAfterAFailedStatementAndLogsItsOwnLabel) {
  int reached = 0;
  Procedure outer(log, QStringLiteral("Outer()"));
  outer([&] {
    Procedure inner(log, QStringLiteral("Inner()"));
    inner([&] { ++reached; });
  });
  EXPECT_FALSE(outer([&] { throw RuntimeError(err::kTypeMismatch); }));
  outer([&] { ++reached; });
  outer([] { throw std::runtime_error("boom"); });
  EXPECT_EQ(reached, 2);
  EXPECT_EQ(log.ErrNumber, err::kInternalError);
  EXPECT_EQ(lines(), (QStringList{"2026-12-06 09:30:15 13 Type mismatch in Outer()",
                                  "2026-12-06 09:30:15 51 boom in Outer()"}));
}

// The policy decides whether a failure is logged and whether the procedure goes on; an
// unreadable test counts as the value its call site chose.
TEST_F(ErrorLogTest, PolicyDecidesWhatIsLoggedAndWhetherTheProcedureGoesOn) {
  const struct {
    const char* name;
    OnError policy;
    std::int32_t number;
    bool logged;
    bool goes_on;
  } cases[] = {
      {"convention", OnError::kLogAndGoOn, err::kTypeMismatch, true, true},
      {"dropped", OnError::kDropAndGoOn, err::kTypeMismatch, false, true},
      {"media error ends", OnError::kMediaErrorEnds, err::kMediaCannotRender, false, false},
      {"430 is a media error", OnError::kMediaErrorEnds, err::kObjectDoesNotSupport, false, false},
      {"other errors go on", OnError::kMediaErrorEnds, err::kObjectVariableNotSet, true, true},
      {"a wait's time-out", OnError::kWaitTimeoutDropped, err::kWaitTimedOut, false, true},
      {"error 0", OnError::kWaitTimeoutDropped, 0, false, true},
      {"other than a time-out", OnError::kWaitTimeoutDropped, err::kBofOrEof, true, true},
      {"any error ends the tick", OnError::kAnyErrorEnds, err::kBofOrEof, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.reset();
    QFile::remove(log.file_path());
    Procedure proc(log, QStringLiteral("P()"), c.policy);
    EXPECT_FALSE(proc([&] { throw RuntimeError(c.number); }));
    bool reached = false;
    proc([&] { reached = true; });
    EXPECT_EQ(reached, c.goes_on);
    EXPECT_EQ(proc.ended(), !c.goes_on);
    EXPECT_EQ(lines().size(), c.logged ? 1 : 0);
  }
  Procedure proc(log, QStringLiteral("P()"));
  const auto unreadable = []() -> bool { throw RuntimeError(err::kBofOrEof); };
  EXPECT_TRUE(proc.test(unreadable, Unreadable::kAsTrue));
  EXPECT_FALSE(proc.test(unreadable, Unreadable::kAsFalse));

  // A procedure still running when its window was unloaded (Exit pressed in one of its waits)
  // logs nothing more, not even an error it found itself.
  log.reset();
  QFile::remove(log.file_path());
  log.window_unloaded = true;
  proc.raise(RuntimeError(err::kFileNotFound, QStringLiteral("No filler clip")));
  EXPECT_FALSE(QFile::exists(log.file_path()));
}

}  // namespace
}  // namespace vantora
