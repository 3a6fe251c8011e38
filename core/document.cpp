#include "core/document.h"

#include <QFileInfo>

TFormDocument::TFormDocument() : kats(new TDynaList<KatRec>(&akat)) {}

TFormDocument::~TFormDocument()
{
    // The window that showed the title may be gone already.
    titleChanged = nullptr;
    NewAll();
    delete kats;
}

void TFormDocument::DestroyAProd()
{
    ProdRec *p = aprod;
    if (!p)
        return;
    FreeWStr(p->name);
    FreeWStr(p->descr);
    if (p->bilder) {
        p->bilder->First();
        while (p->bilder->WhileNext())
            FreeWStr(abild->filename);
        delete p->bilder;
        p->bilder = nullptr;
    }
    if (p->varianten) {
        p->varianten->First();
        while (p->varianten->WhileNext()) {
            TDynaList<PropRec> *props = avariante->props;
            if (!props)
                continue;
            props->First();
            while (props->WhileNext())
                FreeWStr(aprop->text);
            delete props;
            avariante->props = nullptr;
        }
        delete p->varianten;
        p->varianten = nullptr;
    }
}

void TFormDocument::DestroyAKat()
{
    KatRec *k = akat;
    if (!k || !k->prods)
        return;
    k->prods->First();
    while (k->prods->WhileNext())
        DestroyAProd();
    delete k->prods;
    k->prods = nullptr;
}

void TFormDocument::NewAll()
{
    kats->First();
    while (kats->WhileNext()) {
        DestroyAKat();
        FreeWStr(akat->name);
        FreeKatProps(akat->props);
    }
    kats->Clear();
    aprod = nullptr;
    abild = nullptr;
    avariante = nullptr;
    aprop = nullptr;
    afilename.clear();
    SetUnChanged();
}

QString TFormDocument::WindowTitle() const
{
    const QString name = afilename.isEmpty()
                             ? (untitledName ? untitledName() : QStringLiteral("unbenannt")) + QStringLiteral(".fdx")
                             : QFileInfo(afilename).fileName();
    return maincap + QStringLiteral(" - [") + name + (changed ? QStringLiteral("*]") : QStringLiteral("]"));
}

void TFormDocument::SetChanged()
{
    if (maincap.isEmpty())
        return;
    changed = true;
    if (titleChanged)
        titleChanged(WindowTitle());
}

void TFormDocument::SetUnChanged()
{
    if (maincap.isEmpty())
        return;
    changed = false;
    if (titleChanged)
        titleChanged(WindowTitle());
}

KatRec *TFormDocument::AddKat(const QString &name)
{
    // Everything the record holds is made before it is appended, so a failed
    // allocation leaves the list as it was.
    char16_t *text = NewWStr(name);
    auto *prods = NewProdList();
    try {
        KatRec *k = kats->Add();
        k->prods = prods;
        k->name = text;
        k->props = nullptr;
        return k;
    } catch (...) {
        delete prods;
        FreeWStr(text);
        throw;
    }
}

ProdRec *TFormDocument::AddProd(const QString &name, int32_t kind, double width, double height)
{
    if (!akat || !akat->prods)
        return nullptr;
    ProdRec *p = akat->prods->Add();
    p->name = NewWStr(name);
    p->descr = NewWStr(QString());
    p->kind = kind;
    p->width = width;
    p->height = height;
    p->anzpreis = 0;
    p->bilder = NewBildList();
    p->varianten = NewVarList();
    VarRec *row = p->varianten->Add();
    row->props = NewPropList();
    return p;
}

void TFormDocument::DeleteKat(int32_t i)
{
    if (i < 0 || i >= KatCount())
        return;
    kats->GetObject(static_cast<uint32_t>(i));
    DestroyAKat();
    FreeWStr(akat->name);
    FreeKatProps(akat->props);
    kats->Delete(i);
}

void TFormDocument::DeleteProd(int32_t j)
{
    if (!akat || !akat->prods || j < 0 || j >= static_cast<int32_t>(akat->prods->count))
        return;
    akat->prods->GetObject(static_cast<uint32_t>(j));
    DestroyAProd();
    akat->prods->Delete(j);
}

KatProps *TFormDocument::NewKatProps(const QString &introtext, const QString &bildname, double bildbreite,
                                     int32_t bildpos, bool textunter)
{
    auto *props = new KatProps{};
    props->introtext = NewWStr(introtext);
    props->bildname = NewWStr(bildname);
    props->bildbreite = bildbreite;
    props->bildpos = bildpos;
    props->textunter = textunter;
    return props;
}

void TFormDocument::FreeKatProps(KatProps *&props)
{
    if (!props)
        return;
    FreeWStr(props->introtext);
    FreeWStr(props->bildname);
    delete props;
    props = nullptr;
}
