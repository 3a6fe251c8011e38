#include "language/messages.h"

namespace {

const TMessage kMessages[] = {
    {2, u"Bitte schließen Sie das Program und starten Sie es neu."},
    {3, u"Übersetzen"},
    {10, u"Wollen Sie die folgende Kategorie und alle enthaltenden Formularfelder wirklich endgültig löschen: "},
    {11, u"Kategorie löschen"},
    {12, u"Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?"},
    {13, u"Speichern"},
    {20, u"Neues Produkt"},
    {21, u"Formular drucken"},
    {24, u"unbenannt"},
    {27, u"Wollen Sie die Test Projektdatei öffnen lassen?"},
    {28, u"Testdatei öffnen?"},
    {29, u"Suchen"},
    {30, u"Nochmal suchen?"},
    {31, u"Wollen Sie diese Zeile löschen?"},
    {32, u"test.fdx"},
};

} // namespace

const TMessage *Messages() { return kMessages; }

int MessageCount() { return static_cast<int>(sizeof kMessages / sizeof kMessages[0]); }

const char16_t *MessageText(int32_t n)
{
    for (const TMessage &m : kMessages) {
        if (m.number == n)
            return m.text;
    }
    return nullptr;
}
