// The files a batch touches stay the user's: in place means the file named
// (through its links, with its owner, mode and attributes), nothing but
// regular files is read, and outputs and failures are told apart.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QRegularExpression>

#include "CliRun.h"
#include "cli/BatchWrite.h"
#include "common/TestFiles.h"
#include "document/Exception.h"
#include "document/FileOps.h"

namespace {

struct stat StatOf(const QString& path, bool follow = true) {
  struct stat st {};
  (follow ? ::stat : ::lstat)(N(path).constData(), &st);
  return st;
}

// An access ACL as the kernel stores it: user::rw- user:4242:r-- group::r-- mask::r-- other::r--.
QByteArray AclValue() {
  QByteArray v;
  const auto u16 = [&v](unsigned x) { v.append(char(x & 0xff)).append(char(x >> 8)); };
  const auto u32 = [&](unsigned x) { u16(x & 0xffff); u16(x >> 16); };
  u32(2);
  const unsigned entries[][3] = {{0x01, 6, ~0u}, {0x02, 4, 4242}, {0x04, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 4, ~0u}};
  for (const auto& e : entries) u16(e[0]), u16(e[1]), u32(e[2]);
  return v;
}

QByteArray Attribute(const QString& path, const char* name) {
  char value[256];
  const ssize_t n = ::getxattr(N(path).constData(), name, value, sizeof value);
  return n < 0 ? QByteArray("<none>") : QByteArray(value, int(n));
}

// Whether text is pattern, where * stands for any characters.
bool Like(const QString& text, const QString& pattern) {
  const QString regex = QRegularExpression::escape(pattern).replace(QStringLiteral("\\*"), QStringLiteral(".*"));
  return QRegularExpression(QRegularExpression::anchoredPattern(regex), QRegularExpression::DotMatchesEverythingOption)
      .match(text)
      .hasMatch();
}

using CliFiles = CliTest;

TEST_F(CliFiles, InPlaceFollowsASymbolicLinkAndBreaksHardLinksOnlyWhenTold) {
  MakeDirs({"real", "links"});
  WriteAll(P("real/a.gif"), TwoWhites());
  ASSERT_EQ(::symlink("../real/a.gif", N(P("links/a.gif")).constData()), 0);
  const TCliRun run = Run({"--transparent", "white", "--in-place", "links/a.gif"});
  ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
  EXPECT_TRUE(S_ISLNK(StatOf(P("links/a.gif"), false).st_mode));
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("real/a.gif"))), 1);
  EXPECT_EQ(Files("real") + Files("links"), QStringList({"a.gif", "a.gif"}));  // no temporary file left

  // A file of several names is refused unless links may break.
  WriteAll(P("a.gif"), TwoWhites());
  ASSERT_EQ(::link(N(P("a.gif")).constData(), N(P("b.gif")).constData()), 0);
  const TCliRun refused = Run({"--transparent", "white", "--in-place", "a.gif"});
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_TRUE(refused.Err.contains("a.gif") && refused.Err.contains("--break-links")) << refused.Err.toStdString();
  EXPECT_EQ(StatOf(P("a.gif")).st_nlink, 2u);
  ASSERT_EQ(Run({"--transparent", "white", "--in-place", "--break-links", "a.gif"}).Exit, 0);
  EXPECT_EQ(TransparentIndexOf(ReadAll(P("a.gif"))), 1);
  EXPECT_EQ(ReadAll(P("b.gif")), TwoWhites());  // the other link keeps the old file
}

// A new file takes the old one's place with its mode, owner and attributes. A
// user who may write the file but cannot give it its owner back gets a file of
// their own, without set-uid and set-gid, and is told.
TEST_F(CliFiles, InPlaceKeepsModeOwnerAndAttributesOrSaysWhatItCannotKeep) {
  const bool root = ::geteuid() == 0;  // without root, only the first case, with no owner to give back
  ASSERT_EQ(::chmod(N(Dir.path()).constData(), 0777), 0);
  const struct {
    QString Name;
    uid_t Runner, Owner;
    mode_t Mode, ModeAfter;
  } cases[] = {{"kept.gif", 0, 4242, 06640, 06640}, {"taken.gif", 4242, 0, 06775, 0775}};
  for (const auto& c : cases) {
    if (!root && c.Runner != 0) continue;
    SCOPED_TRACE(c.Name.toStdString());
    const QByteArray path = N(P(c.Name)), acl = AclValue();
    WriteAll(P(c.Name), TwoWhites());
    ASSERT_EQ(::setxattr(path.constData(), "user.origin", "camera", 6, 0), 0);
    // No ACL for the second case: its entry for user 4242 would bar the writer.
    ASSERT_TRUE(c.Runner || ::setxattr(path.constData(), "system.posix_acl_access", acl.constData(), acl.size(), 0) == 0);
    ASSERT_TRUE(!root || ::chown(path.constData(), c.Owner, 4343) == 0);
    ASSERT_EQ(::chmod(path.constData(), root ? c.Mode : 0640), 0);
    const struct stat before = StatOf(P(c.Name));
    const QByteArray aclAsStored = Attribute(P(c.Name), "system.posix_acl_access");  // chmod set its entries
    const QStringList args{"--transparent", "white", "--in-place", c.Name};
    const TCliRun run = c.Runner ? RunTomaruAs(c.Runner, 4343, args, Dir.path()) : Run(args);
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err.contains(c.Name), c.Runner != 0) << run.Err.toStdString();
    const struct stat after = StatOf(P(c.Name));
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, c.Runner ? c.Runner : before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode & 07777, c.Runner ? c.ModeAfter : before.st_mode & 07777);
    EXPECT_EQ(Attribute(P(c.Name), "user.origin"), "camera");
    EXPECT_EQ(Attribute(P(c.Name), "system.posix_acl_access"), aclAsStored);
    EXPECT_EQ(TransparentIndexOf(ReadAll(P(c.Name))), 1);
  }
}

// Only regular files are read, each refusal in its own words, and the rest of
// the batch is done.
TEST_F(CliFiles, OnlyRegularFilesWithinTheLimitAreRead) {
  WriteAll(P("good.gif"), TwoWhites());
  ASSERT_EQ(::mkfifo(N(P("pipe.bmp")).constData(), 0644), 0);
  MakeDirs({"folder.gif", "out"});
  WriteAll(P("huge.gif"), "GIF89a");
  ASSERT_EQ(::truncate(N(P("huge.gif")).constData(), off_t(3) << 30), 0);  // sparse: nothing to read in full
  const QStringList inputs{"pipe.bmp", "folder.gif", "huge.gif", "good.gif"};
  for (const QStringList& action : {QStringList{"--info"}, QStringList{"--transparent", "white", "-o", "out"}}) {
    const TCliRun run = Run(action + inputs);
    EXPECT_EQ(run.Exit, 1) << action.join(' ').toStdString();
    EXPECT_TRUE(run.Err.contains("「pipe.bmp」") && run.Err.contains("名前付きパイプ")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("「folder.gif」") && run.Err.contains("フォルダです"));
    EXPECT_TRUE(run.Err.contains("「huge.gif」") && run.Err.contains(QString::number(qint64(3) << 30)));
  }
  EXPECT_EQ(Files("out"), QStringList({"good.gif"}));
}

// A name as long as the file system allows: the temporary name beside it is short.
TEST_F(CliFiles, ANameAsLongAsAllowedIsReplacedInPlace) {
  const QString longest = QString(251, QLatin1Char('n')) + ".gif";
  WriteAll(P(longest), TwoWhites());
  const TCliRun inPlace = Run({"--transparent", "white", "--in-place", longest});
  EXPECT_EQ(inPlace.Exit, 0) << inPlace.Err.toStdString();
  EXPECT_EQ(TransparentIndexOf(ReadAll(P(longest))), 1);
}

TEST_F(CliFiles, AnOutputThatCannotBeWrittenFailsTheRun) {
  WriteAll(P("a.gif"), TwoWhites());
  // More lines than a pipe holds, so the run must still be writing when the reader goes.
  for (int i = 0; i < 600; ++i) WriteAll(P(QString("many%1%2.gif").arg(i).arg(QString(150, QLatin1Char('x')))), TwoWhites());
  const TCliRun run = RunTomaruScript(
      "\"$T\" --info a.gif >/dev/full; echo full $?; "
      "TMPDIR=\"$PWD/none\" \"$T\" --info a.gif >/dev/null; echo tmpdir $?; "
      "\"$T\" --info many*.gif | head -c 1 >/dev/null; echo pipe ${PIPESTATUS[0]}",
      Dir.path());
  EXPECT_EQ(run.Out, "full 1\ntmpdir 0\npipe 1\n") << run.Err.toStdString();
}

// The check made just before each rename: a target that changed after it
// was read is left as it is.
TEST_F(CliFiles, ATargetChangedAfterReadingIsNotReplaced) {
  WriteAll(P("a.gif"), TwoWhites());
  const QByteArray target = N(P("a.gif"));
  const TFileState state = StateOf(StatOf(P("a.gif")));
  const auto writeNew = [](int fd) { return WriteAllTo(fd, "new"); };
  const TPendingFile pending = WriteBeside(target, "a.gif", writeNew, TWriteRules{}, &state);
  EXPECT_EQ(Files().size(), 2);  // the target and its temporary file
  WriteAll(P("a.gif"), "saved meanwhile by the user");
  EXPECT_THROW(CommitPending(pending), Exception);
  EXPECT_EQ(ReadAll(P("a.gif")), "saved meanwhile by the user");
  EXPECT_EQ(Files(), QStringList({"a.gif"}));

  const TPendingFile again = WriteBeside(target, "a.gif", writeNew, TWriteRules{}, nullptr);
  CommitPending(again);
  EXPECT_EQ(ReadAll(P("a.gif")), "new");
}

// Only a file that replaces another is made durable before its rename: one
// by one when few do, else by one sync of their file system. A new file
// risks nothing until it is renamed, so it is never synced.
TEST_F(CliFiles, OnlyFilesThatReplaceAnotherAreSynced) {
  const struct {
    int New, Replacing, FileSyncs, FileSystemSyncs;
  } cases[] = {{1, 0, 0, 0}, {9, 0, 0, 0}, {3, 1, 1, 0}, {0, 4, 4, 0}, {6, 4, 4, 0}, {2, 5, 0, 1}};
  const auto writeNew = [](int fd) { return WriteAllTo(fd, "new"); };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString("%1 new, %2 replacing").arg(c.New).arg(c.Replacing).toStdString());
    std::vector<TPendingFile> pending;
    for (int i = 0; i < c.New + c.Replacing; ++i) {
      const QString name = QString("f%1.gif").arg(i);
      QFile::remove(P(name));
      if (i >= c.New) WriteAll(P(name), "old");
      pending.push_back(WriteBeside(N(P(name)), name, writeNew, TWriteRules{}, nullptr));
    }
    int files = 0, systems = 0;
    SyncPending(pending, {[&](int) { return ++files, 0; }, [&](int) { return ++systems, 0; }});
    EXPECT_EQ(files, c.FileSyncs);
    EXPECT_EQ(systems, c.FileSystemSyncs);
    for (const TPendingFile& file : pending) CommitPending(file);
  }
  // A replacing file whose sync fails is not committed: the batch names it.
  WriteAll(P("a.gif"), "old");
  const std::vector<TPendingFile> failing{WriteBeside(N(P("a.gif")), "a.gif", writeNew, TWriteRules{}, nullptr)};
  const auto fail = [](int) { return errno = EIO, -1; };
  EXPECT_THROW(SyncPending(failing, {fail, fail}), Exception);
  DiscardPending(failing.front());
  EXPECT_EQ(ReadAll(P("a.gif")), "old");
}

// Inputs from a NUL-separated list, after the arguments: names of any bytes,
// from a file or standard input, and the list read while the batch works.
TEST_F(CliFiles, InputsComeFromAListOfNames) {
  WriteAll(P("a.gif"), TwoWhites());
  MakeDirs({"out", "sub", "many", "streamed"});
  WriteAll(P("sub/a.gif"), TwoWhites());
  for (int i = 0; i < 256; ++i) WriteAll(P(QString("many/f%1.gif").arg(i, 3, 10, QLatin1Char('0'))), TwoWhites());
  WriteAll(P("many/last.gif"), TwoWhites());
  const QString odd = "o=$(printf 'a\\377\\tb\\\\\\nc.gif'); n=$(printf 'new\\nline.gif'); cp a.gif \"$o\"; cp a.gif \"$n\"; ";
  const struct {
    QString Script, Out, Err;
    int Exit;
  } cases[] = {
      // Names are bytes, from standard input or an argument, and --info escapes them; the outputs read
      // back through a list file whose last name has no NUL.
      {odd + "printf '%s\\0' \"$o\" \"$n\" | \"$T\" --transparent white --suffix -t --files0-from - a.gif && "
             "printf '%s\\0%s' a-t.gif \"$(printf 'new\\nline-t.gif')\" >list && "
             "\"$T\" --info --files0-from list \"$(printf 'a\\377\\tb\\\\\\nc-t.gif')\"; s=$?; rm -f a$'\\377'*; exit $s",
       "a\\xff\\tb\\\\\\nc-t.gif\t*\t1\na-t.gif\t*\t1\nnew\\nline-t.gif\t*\t1\n", "", 0},
      // An empty name is refused where it stands; the others are done.
      {"printf 'a.gif\\0\\0sub/a.gif\\0' | \"$T\" --info --files0-from -", "a.gif\t*\nsub/a.gif\t*\n",
       "ファイル名の一覧「-」の 2 番目の名前が空です。\n", 1},
      // So is a name longer than any path, however long, without the list being held.
      {"(head -c 3000000 /dev/zero | tr '\\0' n; printf '\\0a.gif') | \"$T\" --info --files0-from -", "a.gif\t*\n",
       "ファイル名の一覧「-」の 1 番目の名前が 4095 バイトを超えています。\n", 1},
      // A list that cannot be read is named; nothing is done.
      {"\"$T\" --info --files0-from gone a.gif", "",
       "tomaru: ファイル名の一覧「gone」を読み込めませんでした。(*)\n", 1},
      {"\"$T\" --info --files0-from sub a.gif", "a.gif\t*\n", "tomaru: ファイル名の一覧「sub」を読み込めませんでした。(*)\n", 1},
      // A listed name that clashes with one planned before it is refused alone.
      {"printf 'sub/a.gif\\0' | \"$T\" --none -o out --files0-from - a.gif", "",
       "出力先「out/a.gif」に複数の入力が書かれます。\n", 1},
      {"printf 'a-n.gif\\0' | \"$T\" --none --suffix -n --files0-from - a.gif", "",
       "入力「a-n.gif」は、この実行で先に出力先になったファイルです。\n", 1},
      // Several inputs in all, so -o must be a folder: known before anything is written.
      {"printf 'sub/a.gif\\0' | \"$T\" --none -o one.gif --files0-from - a.gif", "", "*フォルダ「one.gif」が存在しません*", 2},
      // A stop signal is taken while the list is awaited: a FIFO held open that never ends.
      {"mkfifo fifo; exec 3<>fifo; \"$T\" --info --files0-from fifo & p=$!; sleep 0.3; kill -TERM $p; wait $p; echo $?",
       "143\n", "", 0},
      // The batch starts before the list ends: the last name comes only once a file is done.
      {"(cd many && printf '%s\\0' f*.gif; for i in $(seq 200); do [ -e ../streamed/f000.gif ] && echo streamed >../seen && break; "
       "sleep 0.1; done; printf 'last.gif\\0') | (cd many && \"$T\" --none -o ../streamed --files0-from -) && cat seen && ls streamed | wc -l",
       "streamed\n257\n", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Script.toStdString());
    const TCliRun run = RunTomaruScript(c.Script, Dir.path());
    EXPECT_EQ(run.Exit, c.Exit) << run.Err.toStdString();
    EXPECT_TRUE(Like(run.Out, c.Out)) << run.Out.toStdString();
    EXPECT_TRUE(Like(run.Err, c.Err)) << run.Err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(P("one.gif")));
}

}  // namespace
