#include "CleanupTexts.h"

namespace kaz {

QString cleanupText(CleanupText id, Language l)
{
    const auto t = [l](const char *english, const char *german) { return QString::fromUtf8(tr2(l, english, german)); };
    switch (id) {
    case CleanupText::EmptyBaseName:
        return t("the name has nothing before its extension", "der Name hat nichts vor seiner Endung");
    case CleanupText::NameWouldVanish:
        return t("nothing of the name would be left", "vom Namen bliebe nichts übrig");
    case CleanupText::OnlyExtension:
        return t("nothing but the extension would be left", "nur die Endung bliebe übrig");
    case CleanupText::LineBreak:
        return t("the path holds a line break", "der Pfad enthält einen Zeilenumbruch");
    case CleanupText::NotLogged:
        return t("the undo log could not be written", "das Rückgängig-Protokoll ließ sich nicht schreiben");
    case CleanupText::KeptNames:
        return t("%1 files kept their names:", "%1 Dateien behielten ihre Namen:");
    case CleanupText::NothingToUndo:
        return t("There is no cleanup run to undo.", "Es gibt keine Bereinigung rückgängig zu machen.");
    case CleanupText::UndoStopped:
        return t("Not every file got its old name back (%1 left for the next Undo):",
                 "Nicht jede Datei bekam ihren alten Namen zurück (%1 bleiben für das nächste Rückgängig):");
    case CleanupText::ReallyDelete:
        return t("\n\rReally delete selected item?", "\n\rGewählten Eintrag wirklich löschen?");
    }
    return {};
}

} // namespace kaz
