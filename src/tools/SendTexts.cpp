#include "SendTexts.h"

namespace kaz {

QString sendText(SendText id, Language l)
{
    const char *text = "";
    switch (id) {
    case SendText::ReallyDelete:
        text = tr2(l, "Really delete files?", "Wollyen Sie wirklich alle Dateien löschen?");
        break;
    case SendText::DestinationError:
        text = tr2(l, "Error in destination directory.\n\r\n\rPlease re-enter directory.",
                   "Fehler im Zielverzeichnis.\n\r\n\rBitte Verzeichnis neu eingeben.");
        break;
    case SendText::NotEnoughSpace:
        text = tr2(l, "Not enough diskspace on destination drive!", "Nicht genügend Speicherplatz auf dem Ziellaufwerk!");
        break;
    case SendText::FileExists:
        text = tr2(l, "File exists!\n\r\n\rOverwrite?", "Datei existiert!\n\r\n\rÜberschreiben?");
        break;
    case SendText::SomeNotMoved:
        text = tr2(l, "One or more files exist in destination directory!\n\r\n\rSome files won´t be moved!",
                   "Eine oder mehrere Dateien existieren im Zielverzeichnis!\n\r\n\rEinige Dateien werden nicht verschoben!");
        break;
    case SendText::DeletedForGood:
        text = tr2(l, " files were deleted for good: their drive has no trash.",
                   " Dateien wurden endgültig gelöscht: ihr Laufwerk hat keinen Papierkorb.");
        break;
    case SendText::CannotTrash:
        text = tr2(l, " files cannot be moved to the trash: delete for good?\n\r\n\r",
                   " Dateien können nicht in den Papierkorb verschoben werden: endgültig löschen?\n\r\n\r");
        break;
    case SendText::NotTrashedKept:
        text = tr2(l, "cannot be moved to the trash, not deleted", "kann nicht in den Papierkorb, nicht gelöscht");
        break;
    case SendText::NotHandled:
        text = tr2(l, " files could not be handled:\n\r\n\r", " Dateien konnten nicht bearbeitet werden:\n\r\n\r");
        break;
    }
    return QString::fromUtf8(text);
}

} // namespace kaz
