// The ".mw" MIME type as a desktop sees it: the type file is compiled into a private MIME
// database with update-mime-database, and Qt's MIME database (the one file dialogs and file
// managers built on Qt use) is asked about real grade book files and about look-alikes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "model/gradebook.h"
#include "storage/gradebook_file.h"

namespace {

const std::string kType = "application/x-markwell-gradebook";

// The private data folder the test database lives in; set up by main before Qt's MIME
// database is first used, since Qt reads the databases only once.
QTemporaryDir* g_data = nullptr;
bool g_databaseBuilt = false;
QString g_buildError;

bool BuildDatabase(const QString& typeFile) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
  if (tool.isEmpty()) {
    g_buildError = QStringLiteral("update-mime-database is not installed");
    return false;
  }
  const QString packages = g_data->filePath(QStringLiteral("mime/packages"));
  QDir().mkpath(packages);
  if (!QFile::copy(typeFile, packages + QStringLiteral("/io.github.markwell.Markwell.xml"))) {
    g_buildError = QStringLiteral("cannot copy ") + typeFile;
    return false;
  }
  QProcess p;
  p.start(tool, {g_data->filePath(QStringLiteral("mime"))});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) {
    g_buildError = QStringLiteral("update-mime-database failed: ") +
                   QString::fromLocal8Bit(p.readAllStandardError());
    return false;
  }
  return true;
}

class MimeTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!g_databaseBuilt) GTEST_SKIP() << g_buildError.toStdString();
    ASSERT_TRUE(files_.isValid());
  }

  // The type Qt gives a file of these bytes under this name.
  std::string TypeOf(const QString& name, const QByteArray& bytes) {
    const QString path = files_.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    return db_.mimeTypeForFile(path).name().toStdString();
  }

  static mw::GradeBook SampleBook() {
    mw::GradeBook gb;
    mw::ResetToFresh(gb);
    mw::Semester s;
    s.SetName("Fall 2026");
    mw::Class c;
    c.SetName("Linear Algebra");
    c.Grade = 3;
    c.Credits = 4;
    gb.SetGroups(c, {"Everything"});
    s.AddClass(c);
    gb.Semesters.push_back(s);
    gb.SemesterOrder.push_back({"Fall 2026", true});
    return gb;
  }

  QTemporaryDir files_;
  QMimeDatabase db_;
};

TEST_F(MimeTypeTest, GradeBooksWrittenByTheProgramAreRecognised) {
  const mw::GradeBook gb = SampleBook();
  const mw::EncodeResult plain = mw::EncodePlain(gb);
  const mw::EncodeResult prot = mw::EncodeProtected(gb, "secret", [] { return 100; });
  ASSERT_TRUE(plain.ok && prot.ok);
  const QByteArray plainBytes = QByteArray::fromStdString(plain.bytes);
  const QByteArray protBytes = QByteArray::fromStdString(prot.bytes);

  // By name, whatever the contents, and by contents alone for both forms.
  EXPECT_EQ(TypeOf("grades.mw", plainBytes), kType);
  EXPECT_EQ(TypeOf("secret grades.mw", protBytes), kType);
  EXPECT_EQ(TypeOf("empty.mw", QByteArray()), kType);
  EXPECT_EQ(TypeOf("plain-copy", plainBytes), kType);
  EXPECT_EQ(TypeOf("protected-copy", protBytes), kType);

  // A plain file with bare LF line ends (which the program also reads), and the older
  // protected format word 2.
  QByteArray lf = plainBytes;
  lf.replace("\r\n", "\n");
  EXPECT_EQ(TypeOf("lf-copy", lf), kType);
  QByteArray older = protBytes;
  older[0] = 2;
  EXPECT_EQ(TypeOf("older-copy", older), kType);
}

TEST_F(MimeTypeTest, WeakContentEvidenceDoesNotClaimOtherFiles) {
  // A first line other than exactly "1" is not a plain grade book.
  EXPECT_NE(TypeOf("twelve", "12\r\n3\r\n"), kType);
  EXPECT_NE(TypeOf("one-blank", "1 \r\n3\r\n"), kType);
  EXPECT_NE(TypeOf("zero-one", "01\r\n3\r\n"), kType);
  // Other format words are not protected grade books.
  EXPECT_NE(TypeOf("word4", QByteArray("\x04\x00\x10\x20", 4)), kType);
  EXPECT_NE(TypeOf("big-endian3", QByteArray("\x00\x03\x10\x20", 4)), kType);
  // Another type's name wins over the two- or three-byte content rules.
  EXPECT_EQ(TypeOf("list.txt", "1\r\n3\r\n"), "text/plain");
  EXPECT_NE(TypeOf("picture.png", QByteArray("\x03\x00\x10\x20", 4)), kType);
}

}  // namespace

int main(int argc, char** argv) {
  // Only the test's database and the system's shared types; nothing from the user's own.
  QTemporaryDir data;
  g_data = &data;
  qputenv("XDG_DATA_HOME", data.filePath(QStringLiteral("home")).toLocal8Bit());
  qputenv("XDG_DATA_DIRS", (data.path() + QStringLiteral(":/usr/share")).toLocal8Bit());
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  g_databaseBuilt = BuildDatabase(QStringLiteral(MARKWELL_MIME_FILE));
  return RUN_ALL_TESTS();
}
