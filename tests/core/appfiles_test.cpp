#include "core/appfiles.h"

#include "tests/core/unprivileged.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

namespace {

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(WriteFileBytes(dir.filePath("plain.txt"), "a file, not a folder"));
        program = dir.filePath("program");
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(WriteFileBytes(program + "/translate.dat", "shipped table"));
        ASSERT_TRUE(WriteFileBytes(program + "/options.dat", QByteArray("\x02\x00\x00\x00", 4)));
    }
    QStringList Entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QString program;
};

TEST_F(DataFolder, WritableIsTestedByReallyCreatingAFile)
{
    EXPECT_TRUE(FolderIsWritable(program));
    EXPECT_EQ(Entries(program), (QStringList{"options.dat", "translate.dat"})) << "the probe is removed";
    // A place under a regular file cannot be written, not even by root.
    EXPECT_FALSE(FolderIsWritable(dir.filePath("plain.txt")));
    EXPECT_FALSE(FolderIsWritable(dir.filePath("plain.txt/sub")));
    EXPECT_FALSE(FolderIsWritable(dir.filePath("missing")));
}

TEST_F(DataFolder, WritableProgramFolderIsUsedAsItIs)
{
    const QString user = dir.filePath("user/formidex");
    EXPECT_EQ(ChooseDataFolder(program, user), program + "/");
    EXPECT_EQ(ChooseDataFolder(program + "/", user), program + "/");
    EXPECT_FALSE(QFileInfo::exists(user)) << "the user folder is left alone";
    EXPECT_EQ(ChooseDataFolder(program, QString()), program + "/");
}

TEST_F(DataFolder, UnwritableProgramFolderMovesToTheUserFolder)
{
    const QString unwritable = dir.filePath("plain.txt/program");
    const QString user = dir.filePath("user/deep/formidex");
    EXPECT_EQ(ChooseDataFolder(unwritable, user), user + "/");
    EXPECT_TRUE(QFileInfo(user).isDir());
    EXPECT_TRUE(Entries(user).isEmpty()) << "nothing shipped, nothing seeded";
    // When the user folder cannot be made either, the program folder stays
    // so that its shipped files can still be read.
    EXPECT_EQ(ChooseDataFolder(unwritable, dir.filePath("plain.txt/user")), unwritable + "/");
}

TEST_F(DataFolder, ReadOnlyProgramFolderSeedsTheUserFolderOnce)
{
    const QString users = dir.filePath("users");
    ASSERT_TRUE(QDir().mkpath(users));
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                     | QFileDevice::WriteOther | QFileDevice::ExeOther;
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readOnly));
    ASSERT_TRUE(QFile::setPermissions(program, readOnly));
    ASSERT_TRUE(QFile::setPermissions(users, all));
    // The user already has a table of their own; options.dat is missing.
    const QString user = users + "/formidex";
    ASSERT_TRUE(QDir().mkpath(user));
    ASSERT_TRUE(QFile::setPermissions(user, all));
    ASSERT_TRUE(WriteFileBytes(user + "/translate.dat", "the user's own table"));
    ASSERT_TRUE(QFile::setPermissions(user + "/translate.dat", all));
    const QString fresh = users + "/fresh";

    const auto result = RunUnprivileged([&]() {
        const bool writable = FolderIsWritable(program);
        const QString first = ChooseDataFolder(program, user);
        const QString again = ChooseDataFolder(program, user);
        const QString other = ChooseDataFolder(program, fresh);
        const bool canWriteCopy = QFile(other + "translate.dat").open(QIODevice::ReadWrite);
        return (QStringList{writable ? "writable" : "read-only", first, again, other, canWriteCopy ? "copy writable" : "copy read-only"})
            .join('|')
            .toStdString();
    });
    QFile::setPermissions(program, all);
    QFile::setPermissions(dir.path(), all);
    ASSERT_TRUE(result.has_value()) << "could not run without root's rights";
    EXPECT_EQ(*result, (QStringList{"read-only", user + "/", user + "/", fresh + "/", "copy writable"}).join('|').toStdString());
    EXPECT_EQ(ReadFileBytes(user + "/translate.dat"), "the user's own table");
    EXPECT_EQ(ReadFileBytes(user + "/options.dat"), QByteArray("\x02\x00\x00\x00", 4));
    EXPECT_EQ(ReadFileBytes(fresh + "/translate.dat"), "shipped table");
    EXPECT_EQ(ReadFileBytes(fresh + "/options.dat"), QByteArray("\x02\x00\x00\x00", 4));
    EXPECT_EQ(Entries(program), (QStringList{"options.dat", "translate.dat"}));
}

TEST(ProgramDataFolder, IsTheProgramsOwnFolderWhenItIsWritable)
{
    QStandardPaths::setTestModeEnabled(true);
    int argc = 1;
    char name[] = "appfiles_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString folder = QCoreApplication::applicationDirPath();
    ASSERT_TRUE(FolderIsWritable(folder));
    EXPECT_EQ(ProgramDataFolder(), folder + "/");
}

} // namespace
