#include "language/messages.h"
#include "language/transtable.h"

#include "tests/language/transbytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Expected {
    int32_t n;
    const char *german; // UTF-8
};

const Expected kCatalogue[] = {
    {2, "Bitte schließen Sie das Program und starten Sie es neu."},
    {3, "Übersetzen"},
    {10, "Wollen Sie die folgende Kategorie und alle enthaltenden Formularfelder wirklich endgültig löschen: "},
    {11, "Kategorie löschen"},
    {12, "Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?"},
    {13, "Speichern"},
    {20, "Neues Produkt"},
    {21, "Formular drucken"},
    {24, "unbenannt"},
    {27, "Wollen Sie die Test Projektdatei öffnen lassen?"},
    {28, "Testdatei öffnen?"},
    {29, "Suchen"},
    {30, "Nochmal suchen?"},
    {31, "Wollen Sie diese Zeile löschen?"},
    {32, "test.fdx"},
};

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
    TTranslation t{dir.filePath("translate.dat")};
};

TEST_F(Catalogue, HoldsExactlyTheNumberedTexts)
{
    ASSERT_EQ(MessageCount(), static_cast<int>(std::size(kCatalogue)));
    for (int i = 0; i < MessageCount(); ++i) {
        EXPECT_EQ(Messages()[i].number, kCatalogue[i].n);
        EXPECT_EQ(QString::fromUtf16(Messages()[i].text), QString::fromUtf8(kCatalogue[i].german)) << kCatalogue[i].n;
    }
}

TEST_F(Catalogue, GermanMessagesComeBackExactly)
{
    t.BuildTranslation();
    t.language = 0;
    for (const Expected &m : kCatalogue) {
        // Twice: once as a new text, once found in the table.
        EXPECT_EQ(t.GetMessageText(m.n), QString::fromUtf8(m.german)) << m.n;
        EXPECT_EQ(t.GetMessageText(m.n), QString::fromUtf8(m.german)) << m.n;
    }
    EXPECT_EQ(t.RowCount(), MessageCount());
    EXPECT_TRUE(t.GetMessageText(10).endsWith(QString::fromUtf8("löschen: ")));
}

TEST_F(Catalogue, UnknownNumbersLeaveTheResultAsItWas)
{
    t.BuildTranslation();
    for (int32_t n : {0, 1, 4, 33, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(t.GetMessageText(n, "unchanged"), "unchanged") << n;
        EXPECT_TRUE(t.GetMessageText(n).isNull()) << n;
    }
    EXPECT_EQ(t.RowCount(), 0);
}

TEST_F(Catalogue, RegisterMessagesAddsEveryMessageInNumberOrder)
{
    t.BuildTranslation();
    t.RegisterMessages();
    ASSERT_EQ(t.RowCount(), MessageCount());
    for (int i = 0; i < MessageCount(); ++i)
        EXPECT_EQ(t.Cell(i, 0), QString::fromUtf8(kCatalogue[i].german).trimmed()) << kCatalogue[i].n;
    // Registering again finds every row.
    t.RegisterMessages();
    EXPECT_EQ(t.RowCount(), MessageCount());
    TTranslation back(t.DataFile());
    back.BuildTranslation();
    EXPECT_EQ(back.RowCount(), MessageCount());
}

TEST_F(Catalogue, TrailingSpaceOfMessage10SurvivesTranslation)
{
    const QString german = QString::fromUtf8(kCatalogue[2].german);
    ASSERT_TRUE(WriteAll(t.DataFile(), TableBytes(20, 2, {Row20({german.trimmed(), "Really delete the category: "}),
                                                          Row20({"Suchen", "Search"})})));
    t.BuildTranslation();
    t.language = 1;
    EXPECT_EQ(t.GetMessageText(10), "Really delete the category: ");
    EXPECT_EQ(t.GetMessageText(29), "Search");
    t.language = 2;
    EXPECT_EQ(t.GetMessageText(10), german);
    EXPECT_EQ(t.RowCount(), 2);
}

} // namespace
