#include "core/optionsfile.h"

#include "core/appfiles.h"
#include "tests/core/unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "testfiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <climits>
#include <csignal>
#include <cstdint>

namespace {

struct LoadCase {
    const char *name;
    bool present;
    QByteArray bytes;
    int32_t languagesetto;
    int checkedItem;
};

class LoadOptionsFile : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadOptionsFile, ReadsTheLanguageAndLeavesTheCurrentOneEnglish)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const LoadCase &c = GetParam();
    if (c.present) {
        ASSERT_TRUE(WriteFileBytes(dir.filePath("options.dat"), c.bytes));
    }
    TLanguageOptions options{5, 6};
    LoadOptions(options, dir.path() + "/");
    EXPECT_EQ(options.languagesetto, c.languagesetto);
    EXPECT_EQ(options.language, 1) << "the current language is set at the first show, not here";
    EXPECT_EQ(CheckedLanguageItem(options.languagesetto), c.checkedItem);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadOptionsFile,
    ::testing::Values(LoadCase{"missing", false, {}, 1, 1},
                      LoadCase{"german", true, QByteArray("\x00\x00\x00\x00", 4), 0, 0},
                      LoadCase{"french", true, QByteArray("\x02\x00\x00\x00", 4), 2, 2},
                      LoadCase{"dutch", true, QByteArray("\x03\x00\x00\x00", 4), 3, 3},
                      LoadCase{"seven", true, QByteArray("\x07\x00\x00\x00", 4), 7, 1},
                      LoadCase{"negative", true, QByteArray("\xFF\xFF\xFF\xFF", 4), -1, 1},
                      LoadCase{"big", true, QByteArray("\x00\x01\x00\x00", 4), 256, 1},
                      LoadCase{"extraBytesIgnored", true, QByteArray("\x03\x00\x00\x00\x01\x02", 6), 3, 3},
                      LoadCase{"short", true, QByteArray("\x02\x00\x00", 3), 1, 1},
                      LoadCase{"empty", true, QByteArray(), 1, 1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CheckedLanguageItem, OnlyTheFourLanguagesHaveAnItem)
{
    const std::pair<int32_t, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 1}, {-1, 1}, {INT_MIN, 1}, {INT_MAX, 1}};
    for (const auto &[number, item] : cases)
        EXPECT_EQ(CheckedLanguageItem(number), item) << number;
}

TEST(SaveOptions, WritesExactlyFourBytesOverAnyOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("options.dat");
    ASSERT_TRUE(WriteFileBytes(path, QByteArray("\x01\x00\x00\x00 and more", 13)));
    TLanguageOptions options;
    options.language = 2;
    options.languagesetto = 3; // not what is written
    ASSERT_TRUE(SaveOptions(options, dir.path()));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("\x02\x00\x00\x00", 4));
    TLanguageOptions back{0, 0};
    LoadOptions(back, dir.path());
    EXPECT_EQ(back.languagesetto, 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"options.dat"});
}

TEST(SaveOptions, UnwritablePlaceFailsQuietly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(WriteFileBytes(dir.filePath("plain.txt"), "a file"));
    TLanguageOptions options;
    options.language = 2;
    EXPECT_FALSE(SaveOptions(options, dir.filePath("plain.txt")));
    TLanguageOptions back;
    LoadOptions(back, dir.filePath("plain.txt"));
    EXPECT_EQ(back.languagesetto, 1);
}

TEST(SaveOptions, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("options.dat");
    ASSERT_TRUE(WriteFileBytes(path, QByteArray("\x03\x00\x00\x00", 4)));
    TLanguageOptions options;
    options.language = 0x01020304;
    // Every write past 2 bytes fails, for root too.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old;
    lim.rlim_cur = 2;
    setrlimit(RLIMIT_FSIZE, &lim);
    const bool saved = SaveOptions(options, dir.path());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFileBytes(path), QByteArray("\x03\x00\x00\x00", 4));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"options.dat"});
}

TEST(SaveOptions, ReadOnlyFolderLosesTheChoiceButStillReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(WriteFileBytes(dir.filePath("options.dat"), QByteArray("\x03\x00\x00\x00", 4)));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                                      | QFileDevice::ExeOther));
    const auto result = RunUnprivileged([&]() {
        TLanguageOptions options;
        options.language = 2;
        const bool saved = SaveOptions(options, dir.path());
        TLanguageOptions back;
        LoadOptions(back, dir.path());
        return std::string(saved ? "saved " : "lost ") + std::to_string(back.languagesetto);
    });
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(result.has_value()) << "could not run without root's rights";
    EXPECT_EQ(*result, "lost 3");
    EXPECT_EQ(ReadFileBytes(dir.filePath("options.dat")), QByteArray("\x03\x00\x00\x00", 4));
}

} // namespace
