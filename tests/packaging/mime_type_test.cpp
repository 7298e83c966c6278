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

#include "../storage/book_helpers.h"

namespace {

const std::string kType = "application/x-markwell-gradebook";

// The private data folder the test database lives in; set up by main before Qt's MIME
// database is first used, since Qt reads the databases only once.
QTemporaryDir* g_data = nullptr;
QString g_buildError;

// The reason the test database could not be built, or empty when it was.
QString BuildDatabase(const QString& typeFile) {
  const QString tool = QStandardPaths::findExecutable("update-mime-database");
  if (tool.isEmpty()) return "update-mime-database is not installed";
  QDir().mkpath(g_data->filePath("mime/packages"));
  if (!QFile::copy(typeFile, g_data->filePath("mime/packages/io.github.markwell.Markwell.xml")))
    return "cannot copy " + typeFile;
  QProcess p;
  p.start(tool, {g_data->filePath("mime")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0)
    return "update-mime-database failed: " + QString::fromLocal8Bit(p.readAllStandardError());
  return {};
}

class MimeTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!g_buildError.isEmpty()) GTEST_SKIP() << g_buildError.toStdString();
    ASSERT_TRUE(files_.isValid());
  }
  // The type Qt gives a file of these bytes under this name.
  std::string TypeOf(const QString& name, const QByteArray& bytes) {
    QFile f(files_.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    f.close();
    return db_.mimeTypeForFile(f.fileName()).name().toStdString();
  }
  QTemporaryDir files_;
  QMimeDatabase db_;
};

TEST_F(MimeTypeTest, GradeBooksWrittenByTheProgramAreRecognised) {
  const mw::GradeBook gb = mw::test::OneClassBook();
  const QByteArray plain = QByteArray::fromStdString(mw::EncodePlain(gb).bytes),
                   prot = QByteArray::fromStdString(mw::EncodeProtected(gb, "secret", [] { return 100; }).bytes);
  ASSERT_TRUE(!plain.isEmpty() && !prot.isEmpty());
  // By name, whatever the contents, and by contents alone for both forms: a plain file with
  // bare LF line ends (which the program also reads), and the older protected format word 2.
  QByteArray lf = plain, older = prot;
  lf.replace("\r\n", "\n");
  older[0] = 2;
  const std::pair<const char*, QByteArray> files[] = {
      {"grades.mw", plain}, {"secret grades.mw", prot}, {"empty.mw", {}}, {"plain-copy", plain},
      {"protected-copy", prot}, {"lf-copy", lf}, {"older-copy", older}};
  for (const auto& [name, bytes] : files) EXPECT_EQ(TypeOf(name, bytes), kType) << name;
}

TEST_F(MimeTypeTest, WeakContentEvidenceDoesNotClaimOtherFiles) {
  // A first line other than exactly "1" is not a plain grade book; other format words are not
  // protected ones; another type's name wins over the two- or three-byte content rules.
  const std::pair<const char*, QByteArray> files[] = {
      {"twelve", "12\r\n3\r\n"}, {"one-blank", "1 \r\n3\r\n"}, {"zero-one", "01\r\n3\r\n"},
      {"word4", QByteArray("\x04\x00\x10\x20", 4)}, {"big-endian3", QByteArray("\x00\x03\x10\x20", 4)},
      {"picture.png", QByteArray("\x03\x00\x10\x20", 4)}};
  for (const auto& [name, bytes] : files) EXPECT_NE(TypeOf(name, bytes), kType) << name;
  EXPECT_EQ(TypeOf("list.txt", "1\r\n3\r\n"), "text/plain");
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
  g_buildError = BuildDatabase(QStringLiteral(MARKWELL_MIME_FILE));
  return RUN_ALL_TESTS();
}
