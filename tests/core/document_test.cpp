#include "core/document.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Three categories of several fields each, with properties and carried data,
// so that releasing them exercises every string and nested list.
void Fill(TFormDocument &doc)
{
    for (int i = 0; i < 3; ++i) {
        KatRec *k = doc.AddKat(QStringLiteral("Kategorie %1").arg(i));
        k->props = TFormDocument::NewKatProps(QStringLiteral("Intro"), QStringLiteral("bild.png"), 3.0, 1, true);
        for (int j = 0; j < 4; ++j) {
            ProdRec *p = doc.AddProd(QStringLiteral("Feld %1.%2").arg(i).arg(j), j % 3, 6.0, 1.25);
            ReplaceWStr(p->descr, QStringLiteral("zweiter Text"));
            BildRec *b = p->bilder->Add();
            b->filename = NewWStr(QStringLiteral("a.jpg"));
            b->width = 2;
            VarRec *row = p->varianten->Add();
            row->props = doc.NewPropList();
            row->props->Add()->text = NewWStr(QStringLiteral("Zelle"));
        }
    }
}

QStringList FieldNames(const TFormDocument &doc, int32_t kat)
{
    QStringList names;
    const KatRec *k = doc.Kat(kat);
    for (uint32_t j = 0; j < k->prods->count; ++j)
        names << WStr(k->prods->At(j)->name);
    return names;
}

} // namespace

TEST(FormDocument, NewFieldStartsAsTheProgramCreatesIt)
{
    TFormDocument doc;
    doc.AddKat(QStringLiteral("Kunde"));
    const ProdRec *p = doc.AddProd(QStringLiteral("Zwei\r\nZeilen"), fkRadio, 6.0, 1.25);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p, doc.aprod);
    EXPECT_EQ(WStr(p->name), QStringLiteral("Zwei\r\nZeilen"));
    EXPECT_EQ(WStr(p->descr), QString());
    EXPECT_NE(p->descr, nullptr);
    EXPECT_EQ(p->kind, fkRadio);
    EXPECT_EQ(p->width, 6.0);
    EXPECT_EQ(p->height, 1.25);
    EXPECT_EQ(p->anzpreis, 0);
    EXPECT_EQ(p->bilder->count, 0u);
    ASSERT_EQ(p->varianten->count, 1u);
    EXPECT_EQ(p->varianten->At(0)->props->count, 0u);
    EXPECT_EQ(doc.Kat(0)->props, nullptr);
}

TEST(FormDocument, NewFieldWithoutACategoryDoesNothing)
{
    TFormDocument doc;
    EXPECT_EQ(doc.AddProd(QStringLiteral("x"), fkText, 6.0, 1.25), nullptr);
    doc.AddKat(QStringLiteral("K"));
    doc.DeleteKat(0);
    EXPECT_EQ(doc.akat, nullptr);
    EXPECT_EQ(doc.AddProd(QStringLiteral("x"), fkText, 6.0, 1.25), nullptr);
}

TEST(FormDocument, NewAllEmptiesTheDocumentAndMakesItUntitled)
{
    TFormDocument doc;
    doc.maincap = QStringLiteral("Formular");
    Fill(doc);
    doc.afilename = QStringLiteral("/daten/Kunden.fdx");
    doc.SetChanged();
    doc.NewAll();
    EXPECT_EQ(doc.KatCount(), 0);
    EXPECT_EQ(doc.akat, nullptr);
    EXPECT_EQ(doc.aprod, nullptr);
    EXPECT_TRUE(doc.afilename.isEmpty());
    EXPECT_FALSE(doc.changed);
    EXPECT_EQ(doc.WindowTitle(), QStringLiteral("Formular - [unbenannt.fdx]"));
    // The emptied document takes new categories as before.
    doc.AddKat(QStringLiteral("Neu"));
    EXPECT_EQ(doc.KatCount(), 1);
}

TEST(FormDocument, WindowTitles)
{
    struct Case {
        const char *file;
        bool changed;
        const char *untitled; // message 24, or nullptr for no catalogue
        const char *title;
    };
    const Case cases[] = {
        {"/daten/Kunden.fdx", true, nullptr, "Formular - [Kunden.fdx*]"},
        {"/daten/Kunden.fdx", false, nullptr, "Formular - [Kunden.fdx]"},
        {"", false, nullptr, "Formular - [unbenannt.fdx]"},
        {"", true, "untitled", "Formular - [untitled.fdx*]"},
        {"relativ/ohne endung", false, "sans titre", "Formular - [ohne endung]"},
    };
    for (const Case &c : cases) {
        TFormDocument doc;
        doc.maincap = QStringLiteral("Formular");
        if (c.untitled)
            doc.untitledName = [&] { return QString::fromUtf8(c.untitled); };
        doc.afilename = QString::fromUtf8(c.file);
        QString shown;
        doc.titleChanged = [&](const QString &t) { shown = t; };
        if (c.changed)
            doc.SetChanged();
        else
            doc.SetUnChanged();
        EXPECT_EQ(doc.changed, c.changed) << c.title;
        EXPECT_EQ(doc.WindowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(shown, QString::fromUtf8(c.title));
    }
}

TEST(FormDocument, ChangedStateWaitsForTheBaseTitle)
{
    TFormDocument doc;
    int shown = 0;
    doc.titleChanged = [&](const QString &) { ++shown; };
    doc.SetChanged();
    EXPECT_FALSE(doc.changed);
    EXPECT_EQ(shown, 0);
    doc.maincap = QStringLiteral("Formular");
    doc.SetChanged();
    EXPECT_TRUE(doc.changed);
    EXPECT_EQ(shown, 1);
    doc.maincap.clear();
    doc.SetUnChanged();
    EXPECT_TRUE(doc.changed);
}

TEST(FormDocument, DeletingACategoryKeepsTheOthersWithTheirOwnFields)
{
    TFormDocument doc;
    Fill(doc);
    doc.DeleteKat(1);
    ASSERT_EQ(doc.KatCount(), 2);
    EXPECT_EQ(WStr(doc.Kat(0)->name), QStringLiteral("Kategorie 0"));
    EXPECT_EQ(WStr(doc.Kat(1)->name), QStringLiteral("Kategorie 2"));
    EXPECT_EQ(FieldNames(doc, 1).value(0), QStringLiteral("Feld 2.0"));
    EXPECT_NE(doc.Kat(1)->props, nullptr);
    doc.DeleteKat(5);
    doc.DeleteKat(-1);
    EXPECT_EQ(doc.KatCount(), 2);
}

TEST(FormDocument, DeletingAFieldReleasesItAndKeepsTheOrder)
{
    TFormDocument doc;
    Fill(doc);
    doc.kats->GetObject(2);
    doc.DeleteProd(0);
    doc.DeleteProd(99);
    EXPECT_EQ(FieldNames(doc, 2),
              (QStringList{QStringLiteral("Feld 2.1"), QStringLiteral("Feld 2.2"), QStringLiteral("Feld 2.3")}));
}

TEST(FormDocument, MovingACategoryMovesItsNameFieldsAndPropertiesTogether)
{
    TFormDocument doc;
    Fill(doc);
    TFormDocument::FreeKatProps(doc.Kat(0)->props);
    doc.kats->Change(1, 0);
    EXPECT_EQ(WStr(doc.Kat(0)->name), QStringLiteral("Kategorie 1"));
    EXPECT_EQ(FieldNames(doc, 0).value(0), QStringLiteral("Feld 1.0"));
    EXPECT_NE(doc.Kat(0)->props, nullptr);
    EXPECT_EQ(doc.Kat(1)->props, nullptr);
}

TEST(FormDocument, DestroyAKatReleasesTheFieldsButKeepsTheRecord)
{
    TFormDocument doc;
    Fill(doc);
    doc.kats->GetObject(0);
    doc.DestroyAKat();
    EXPECT_EQ(doc.Kat(0)->prods, nullptr);
    EXPECT_EQ(WStr(doc.Kat(0)->name), QStringLiteral("Kategorie 0"));
    // The destructor releases the rest, a category without a field list included.
}

TEST(FormDocument, DestructionDoesNotCallTheTitleBack)
{
    int shown = 0;
    {
        TFormDocument doc;
        doc.maincap = QStringLiteral("Formular");
        doc.titleChanged = [&](const QString &) { ++shown; };
    }
    EXPECT_EQ(shown, 0);
}
