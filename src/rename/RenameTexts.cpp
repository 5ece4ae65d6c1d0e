#include "RenameTexts.h"

namespace kaz {

QString renameText(RenameText id, Language l)
{
    const char *text = "";
    switch (id) {
    case RenameText::CalculatingPreview: text = tr2(l, "calculating preview", "Berechnung der Vorschau"); break;
    case RenameText::RenamingFiles: text = tr2(l, "renaming files", "Umbenennung der Dateien"); break;
    case RenameText::NoId3Tag: text = tr2(l, "NoID3Tag", "KeinID3Tag"); break;
    case RenameText::NoArtist: text = tr2(l, "NoArtist", "KeinInterpret"); break;
    case RenameText::NoAlbum: text = tr2(l, "NoAlbum", "KeinAlbum"); break;
    case RenameText::NoTitle: text = tr2(l, "NoTitle", "KeinTitel"); break;
    case RenameText::HeaderStatus: text = "Status"; break;
    case RenameText::HeaderInfo: text = "Info"; break;
    case RenameText::HeaderCurrentName: text = tr2(l, "Current filename", "Aktueller Dateiname"); break;
    case RenameText::HeaderPreviewedName: text = tr2(l, "Previewed filename", "Neuer Dateiname"); break;
    case RenameText::HeaderCurrentPath:
        text = tr2(l, "Current filename including path", "Aktueller Dateiname inkl. Pfad");
        break;
    case RenameText::StatusExcluded: text = tr2(l, "excluded", "ausgeschlossen"); break;
    case RenameText::StatusMarked: text = "   !"; break;
    case RenameText::StatusMarkedExcluded: text = tr2(l, "! excluded", "! ausgeschlossen"); break;
    case RenameText::Modified: text = tr2(l, "modified", "geändert"); break;
    case RenameText::WordArtist: text = tr2(l, "Artist", "Interpret"); break;
    case RenameText::WordAlbum: text = "Album"; break;
    case RenameText::WordTitle: text = tr2(l, "Title", "Titel"); break;
    case RenameText::CommentSuffix: text = tr2(l, " - Comment", " - Kommentar"); break;
    case RenameText::JolietSuffix: text = "  (Joliet)"; break;
    case RenameText::DelimiterNotAllowed: text = "following delimiter are no allowed\n\r \\ / : * ? \" < > | "; break;
    case RenameText::Deactivated: text = tr2(l, "deactivated", "deaktiviert"); break;
    case RenameText::UserTextDefault: text = "Track"; break;
    case RenameText::AnotherRunActive:
        text = tr2(l, "Another KAZ run is renaming files right now. Nothing was done; try again when it has ended.",
                   "Ein anderer KAZ-Lauf benennt gerade Dateien um. Es wurde nichts getan; bitte nach seinem Ende erneut versuchen.");
        break;
    }
    return QString::fromUtf8(text);
}

QString runLockRefusal(const QString &lockProblem, Language language)
{
    return lockProblem.isEmpty() ? renameText(RenameText::AnotherRunActive, language) : lockProblem;
}

QString previewCaption(int notRenamed, Language l)
{
    if (notRenamed <= 0)
        return QString::fromUtf8(tr2(l, "Preview", "Vorschau"));
    if (l == Language::English)
        return QStringLiteral("Preview                          <<<   %1 files will not be renamed   >>>").arg(notRenamed);
    return QStringLiteral("Vorschau                       <<<   %1 Dateien werden nicht umbenannt   >>>").arg(notRenamed);
}

} // namespace kaz
