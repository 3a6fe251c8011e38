#pragma once
// The form document: categories with their optional properties and their
// fields, held in TDynaArray lists reached through current-record variables.

#include "core/dynaarray.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <type_traits>

enum TFieldKind : int32_t { fkText = 0, fkCheck = 1, fkRadio = 2 };

struct PropRec {
    char16_t *text;
};

struct VarRec {
    TDynaList<PropRec> *props;
};

struct BildRec {
    char16_t *filename;
    double width;
};

struct ProdRec {
    char16_t *name;  // label; may hold CR LF line breaks
    char16_t *descr; // carried through load and save, never shown
    int32_t kind;
    double width;  // cm
    double height; // cm; the side of a check box
    TDynaList<BildRec> *bilder;
    TDynaList<VarRec> *varianten;
    int32_t anzpreis;
};

struct KatProps {
    char16_t *bildname;
    double bildbreite; // cm
    char16_t *introtext;
    int32_t bildpos; // 0 before the name, 1 below it
    bool textunter;  // introduction text below the picture instead of beside it
};

// A category: its fields, and the name and properties that the category list
// shows. Keeping them in the record keeps the list and `kats` index-aligned.
struct KatRec {
    TDynaList<ProdRec> *prods;
    char16_t *name;
    KatProps *props; // nullptr until the dialog was confirmed or a file supplied them
};

// The records are byte images moved by TDynaArray with raw copies.
static_assert(std::is_trivially_copyable_v<PropRec> && std::is_standard_layout_v<PropRec>);
static_assert(std::is_trivially_copyable_v<VarRec> && std::is_standard_layout_v<VarRec>);
static_assert(std::is_trivially_copyable_v<BildRec> && std::is_standard_layout_v<BildRec>);
static_assert(std::is_trivially_copyable_v<ProdRec> && std::is_standard_layout_v<ProdRec>);
static_assert(std::is_trivially_copyable_v<KatProps> && std::is_standard_layout_v<KatProps>);
static_assert(std::is_trivially_copyable_v<KatRec> && std::is_standard_layout_v<KatRec>);

class TFormDocument {
public:
    TFormDocument();
    ~TFormDocument(); // FormDestroy: NewAll without calling titleChanged, then the list itself
    TFormDocument(const TFormDocument &) = delete;
    TFormDocument &operator=(const TFormDocument &) = delete;

    TDynaList<KatRec> *kats;
    KatRec *akat = nullptr;
    ProdRec *aprod = nullptr;
    BildRec *abild = nullptr;
    VarRec *avariante = nullptr;
    PropRec *aprop = nullptr;

    bool changed = false;
    QString afilename;
    QString maincap;
    bool donotupdate = false;

    // Releases what the current field (aprod) holds; the record stays.
    void DestroyAProd();
    // Releases every field of the current category (akat) and its list; the
    // record stays, and so do its name and properties.
    void DestroyAKat();
    // Empties the document: every category, name and property; untitled and
    // unchanged. Layout settings live elsewhere and are not touched.
    void NewAll();

    // Both do nothing before the window's base title is known (maincap empty);
    // otherwise they set `changed` and pass the new WindowTitle() to titleChanged.
    void SetChanged();
    void SetUnChanged();
    // maincap + " - [" + document name + "*]" or "]"; untitled: message 24 + ".fdx".
    QString WindowTitle() const;

    // Appends a category named `name` without properties; akat points to it.
    KatRec *AddKat(const QString &name);
    // Appends a field as the program creates it to the current category
    // (akat): empty descr, no pictures, one variant row without cells,
    // anzpreis 0. aprod points to it. Without a current category nothing
    // happens and the result is nullptr.
    ProdRec *AddProd(const QString &name, int32_t kind, double width, double height);
    // Deletes category i with all it holds.
    void DeleteKat(int32_t i);
    // Deletes field j of the current category.
    void DeleteProd(int32_t j);

    int32_t KatCount() const { return static_cast<int32_t>(kats->count); }
    KatRec *Kat(int32_t i) const { return kats->At(static_cast<uint32_t>(i)); }

    static KatProps *NewKatProps(const QString &introtext, const QString &bildname, double bildbreite,
                                 int32_t bildpos, bool textunter);
    static void FreeKatProps(KatProps *&props);

    // The new-record lists with their record sizes and current-record variables.
    TDynaList<ProdRec> *NewProdList() { return new TDynaList<ProdRec>(&aprod); }
    TDynaList<BildRec> *NewBildList() { return new TDynaList<BildRec>(&abild); }
    TDynaList<VarRec> *NewVarList() { return new TDynaList<VarRec>(&avariante); }
    TDynaList<PropRec> *NewPropList() { return new TDynaList<PropRec>(&aprop); }

    // Message 24 in the current language; set by the owner of the catalogue.
    std::function<QString()> untitledName;
    // Shows a new window title; set by the window.
    std::function<void(const QString &title)> titleChanged;
};
