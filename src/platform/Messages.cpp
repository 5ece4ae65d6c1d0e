#include "Messages.h"

#include <array>

namespace kaz {
namespace {

struct MessagePair {
    Msg id;
    const char *english;
    const char *german;
};

// Texts kept letter for letter as users have always seen them, odd spellings included.
constexpr std::array kMessages{
    MessagePair{Msg::SettingsNotWritten, "The settings could not be saved:\n\r\n\r",
                "Die Einstellungen konnten nicht gespeichert werden:\n\r\n\r"},
    MessagePair{Msg::OldIniFile,
                "Old INI-file detected!\n\r\n\rUserdefined settings will be kept, all other entries are set to default.\n\rPlease reconfigure KAZ.",
                "Alte INI-Datei gefunden!\n\r\n\rBenutzereinstellungen werden übernommen, alle anderen Einträge werden auf Standardwerte zurückgesetzt.\n\rKAZ bitte neu konfigurieren."},
    MessagePair{Msg::StartupFolder,
                "KAZ will use C:\\ as startup directory!\n\rFollowing diretory doesn´t exist anymore!\n\r\n\r",
                "KAZ benutzt C:\\ als aktuellen Pfad.\n\rFolgendes Verzeichnis existiert nicht mehr!\n\r\n\r"},
    MessagePair{Msg::NotOnHardDisk,
                "KAZ will only run from HD!\n\r\n\rPlease install KAZ on HD.",
                "KAZ läuft nur von HD!\n\r\n\rKAZ bitte auf HD installieren."},
    MessagePair{Msg::WinampFolder,
                "WinAmp-directory doesn´t exist anymore!\n\r\n\rPlease chose new WinAnmp-directory.",
                "Das WinAmp-Verzeichnis existiert nicht mehr!\n\r\n\rWählen Sie bitte das neue WinAmp-Verzeichnis."},
    MessagePair{Msg::FileTooShort,
                "Following file is to short.\n\r\n\rThere can´t be an ID3-Tag!\n\r\n\r",
                "Folgende Datei ist zu kurz.\n\r\n\rEs kann kein ID3-Tag vorhanden sein!\n\r\n\r"},
    MessagePair{Msg::Lyrics3Corrupt, "Lyrics3 V2.00 is corrupt!", "Lyrics3 V2.00 ist defekt!"},
    MessagePair{Msg::Id3v2FrameUnreadable, "A compressed ID3v2 frame is too large and was left unread",
                "Ein komprimierter ID3v2-Frame ist zu groß und wurde nicht gelesen"},
    MessagePair{Msg::FilesNotRenamed,
                " files are not renamed !\n\r\n\rID3-Tag contents are missing.\n\rFiles are stored with old name and prefix \" ! \"",
                " Dateie(n) wurde(n) nicht umbenannt!\n\r\n\rID3Tag-Einträge fehlen.\n\rDie Dateien wurden mit dem alten Namen und vorangestelltem \" ! \" gespeichert."},
    MessagePair{Msg::OneLevelBack,
                "It isn´t possible to assign old directory structure!\n\rYou´re now one level back.\n\r\n\rFollowing directory doesn´t exist anymore!\n\r",
                "Es ist nicht möglich die alte Verzeichnisstruktur zuzuweisen!\n\rKAZ hat nun eine Verzeichnisstufe tiefer aktiviert.\n\r\n\rFolgendes Verzeichnis existiert nicht mehr!\n\r"},
    MessagePair{Msg::UndoFromLastSession,
                "This UNDO-information are from last session!\n\r\n\rAre you sure to proceed?",
                "Diese Rückgängig-Information ist von der letzten Sitzung!\n\r\n\rSoll die Funktion wirklich ausgeführt werden?"},
    MessagePair{Msg::DeleteFolders, "Really delete all directories?", "Wirklich alle Verzeichnisse löschen?"},
    MessagePair{Msg::ErrorInNewName, "Error in new name.\n\r\n\rPlease re-enter.", "Fehler in neuem Namen.\n\r\n\rName neu eingeben."},
    MessagePair{Msg::UserFolderMissing,
                "Diretory doesn´t exist anymore!\n\rDirectory will be removed from userdefined directories!\n\r\n\rWould you select a new directory?",
                "Verzeichnis existiert nicht mehr!\n\rVerzeichnis wird aus der benutzerdefinierten Auswahl entfernt.\n\r\n\rMöchten Sie ein neues Verzeichnis wählen?"},
    MessagePair{Msg::ExternalProgramMissing,
                "File doesn´t exist anymore!\n\rProgram will be removed from external programs!\n\r\n\rWould you select a new program?",
                "Datei existiert nicht mehr!\n\rDas Programm wird aus der Liste der externen Programme entfernt.\n\r\n\rMöchten Sie ein neues Programm wählen?"},
    MessagePair{Msg::BreakWithSecurityLevel,
                "Only directories containing MP3-files will be deleted with the\n\rsecurity-level and their contents will be moved!\n\r\n\rBreak directory-structure with security-option?",
                "Nur Verzeichnisse mit ausschließlich MP3-Dateien werden in der Sicherheitsstufe\n\rgelöscht und deren Inhalte verschoben!\n\r\n\rSoll die Verzeichnisstruktur mit der Sicherheitsstufe aufgelöst werden?"},
    MessagePair{Msg::WinampStopped,
                "WinAmp was stopped because of breaking directory-structure!\n\r\n\rPlease reselect songs.",
                "WinAmp wurde gestoppt, weil eine Verzeichnisstruktur aufgelöst wird."},
    MessagePair{Msg::NotAllMoved,
                "KAZ wasn´t able to move all MP3-files!\n\rDirectories contain not only MP3-files or invalid ID3Tag were found.\n\r\n\rNo files from these directories were moved.",
                "Es war nicht möglich die komplette Verzeichnisstruktur aufzulösen!\n\rEntweder enthielten die Verzeichnisse nicht nur MP3-Dateien oder es fehlten ID3Tags.\n\r\n\rEs wurden keine Dateien aus diesen Verzeichnissen verschoben."},
    MessagePair{Msg::ReorganizeWarning,
                "With reorganization of directory-structure old directories may get lost!\n\r\n\rContinue reorganization?",
                "Durch die Reorganisation der Verzeichnisstruktur können alte Verzeichnisnamen verloren gehen.\n\r\n\rSoll die Reorganisation fortgesetzt werden?"},
    MessagePair{Msg::MoveAllFiles,
                "ALL files from subdirectories containing MP3-files\n\rwill be moved to selected directory!!!\n\r\n\rReally proceed?",
                "ALLE Dateien aus den Unterverzeichnissen mit MP3-Dateien werden in das ausgewählte\n\rVerzeichnis verschoben und die Unterverzeichnisse gelöscht!!!\n\r\n\rSind Sie sicher, daß Sie die Funtion ausführen möchten?"},
    MessagePair{Msg::StructureSizeTooSmall,
                "Selected structure size is to small for some albums/sampler!\n\rAlbums/sampler not fitting, won´t be stored under the \"CD\" directory.\n\r\n\rContinue anyway?",
                "Gewählte Größe der Verzeichnisstruktur ist zu klein für einige Alben/Sampler!\n\rDie Alben/Sampler, die zu groß sind,werden nicht mit unter dem \"CD\"-Verzeichnis gespeichert.\n\r\n\rSoll die Funktion trotzdem ausgeführt werden?"},
    MessagePair{Msg::OneNonMp3File,
                " file is not a mp3-file!\n\r\n\rShould KAZ only cleanup your mp3-files?",
                " Datei ist keine MP3-Datei!\n\r\n\rSoll KAZ nur MP3-Dateien bereinigen?"},
    MessagePair{Msg::SeveralNonMp3Files,
                " files are not mp3-files!\n\r\n\rShould KAZ only cleanup your mp3-files?",
                " Dateien sind keine MP3-Dateien!\n\r\n\rSoll KAZ nur MP3-Dateien bereinigen?"},
    MessagePair{Msg::OneNonMp3FileTag,
                " file is not a mp3-file!\n\r\n\rShould KAZ only write tags into your mp3-files?",
                " Datei ist keine MP3-Datei!\n\r\n\rSoll KAZ nur in MP3-Dateien Tags schreiben?"},
    MessagePair{Msg::SeveralNonMp3FilesTag,
                " files are not mp3-files!\n\r\n\rShould KAZ only write tags into your mp3-files?",
                " Dateien sind keine MP3-Dateien!\n\r\n\rSoll KAZ nur in MP3-Dateien Tags schreiben?"},
    MessagePair{Msg::WholeNameRemoved,
                "Sorry, you´re not allowed to eliminate the whole filename!",
                "Sie sind nicht berechtigt den gesamten Dateinamen zu löschen!"},
    MessagePair{Msg::AlreadyRunning, "  KAZ is already running!  ", "  KAZ is already running!  "},
};

} // namespace

QString message(Msg id, Language language)
{
    for (const MessagePair &m : kMessages) {
        if (m.id == id)
            return QString::fromUtf8(language == Language::English ? m.english : m.german);
    }
    return {};
}

QString forTerminal(const QString &text)
{
    QString out = text;
    out.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    return out;
}

} // namespace kaz
