// The captions and hints of the main window, its menus and pop-ups in
// English and German.
#include "MainWindowTexts.h"

#include "widgets/Captions.h"

namespace kaz {
namespace {

constexpr Caption kCaptions[] = {
    {"EditID3Tagfilename1", "Edit ID3Tag/filename", "ID3Tag/Dateinamen ändern"},
    {"prperties1", "Pr&operties", "&Einstellungen"},
    {"Language1", "Language", "Sprache"},
    {"help1", "&Help", "&Hilfe"},
    {"Priority1", "Priority", "Priorität"},
    {"CheckBox1", "include subdirectories", "mit Unterverzeichnissen"},
    {"Button1", "E&xit", "E&nde"},
    {"HelpButton", "Help", "Hilfe"},
    {"selectfont1", "KAZ size", "KAZ Größe"},
    {"increase1", "increase", "vergrößern"},
    {"decrease1", "standard", "Vorgabe"},
    {"Definecharactersdelimiter1", "Characters && delimiter", "Zeichen && Trennzeichen"},
    {"Startwithlastsavedposition1", "Start with last saved position", "Starte mit zuletzt gespeicherten Position"},
    {"Showhints1", "Show hints", "Zeige Hilfe-Schildchen"},
    {"Exit1", "E&xit\tAlt+X", "E&nde\tAlt+N"},
    {"Addtoshell1", "Shell registration", "Shell Registrierung"},
    {"English1", "english", "Englisch"},
    {"German1", "german", "Deutsch"},
    {"normal1", "normal", "normal"},
    {"idle1", "idle", "Leerlauf"},
    {"low1", "low", "niedrig"},
    {"high1", "high", "hoch"},
    {"Contents1", "&Help", "&Hilfe"},
    {"Shortcutstips2", "&Shortcuts && tips", "&Kurzbefehle && Tips"},
    {"Homepage1", "Homepage", "Homepage"},
    {"about2", "&About", "&Über"},
    {"selectall2", "select all", "alle auswählen"},
    {"invertselection2", "invert selection", "Auswahl invertieren"},
    {"refresh1", "refresh", "aktualisieren"},
    {"rename1", "Rename directory", "Verzeichnis umbenennen"},
    {"makedirectory1", "make directory", "Verzeichnis erstellen"},
    {"delete1", "delete", "löschen"},
    {"startexploreroncurrentdirectory1", "Start explorer on current directory",
     "Starte Explorer mit ausgewähltem Verzeichnis"},
    {"invertselection1", "Invert selection", "Auswahl invertieren"},
    {"selectall1", "Select all", "Alle auswählen"},
    {"deselectall1", "Deselect all", "Auswahl aufheben"},
    {"EditMask1", "Change mask", "Dateifilter ändern"},
    {"Mp3Mask1", "*.mp3", "*.mp3"},
    {"InvMask1", "inv (*.mp3)", "inv (*.mp3)"},
    {"AllMask1", "*.*", "*.*"},
    {"FilterAll1", "all", "alle"},
    {"FilterTagged1", "tagged", "mit Tag"},
    {"FilterUntagged1", "untagged", "ohne Tag"},
    {"UseID3v2tag1", "Use ID3v2 tag where no ID3v1 tag", "ID3v2-Tag nutzen, wo kein ID3v1-Tag ist"},
    {"WriteID3v2tag1", "Write ID3v2 tags", "ID3v2-Tags schreiben"},
    {"WriteID3v2update1", "update where there is one", "aktualisieren, wo einer ist"},
    {"WriteID3v2add1", "update, and add where there is none", "aktualisieren und hinzufügen, wo keiner ist"},
    {"WriteID3v2off1", "off (only ID3v1 and Lyrics3)", "aus (nur ID3v1 und Lyrics3)"},
    {"ID3v1fromID3v21", "Write ID3v1 tag from ID3v2 tag", "ID3v1-Tag aus ID3v2-Tag schreiben"},
};

constexpr Caption kHints[] = {
    {"TagButton", "edit ID3Tag/filename of the selected files (Alt+I)", "ID3Tag/Dateinamen der ausgewählten Dateien ändern (Alt+I)"},
    {"CheckBox1", "renaming mp3-files stored in subdirectories on/off",
     "Umbenennen von MP3-Dateien in Unterverzeichnissen ein/aus"},
    {"SortButton", "sorting of files ignoring all non-characters at the beginning ",
     "Sortierung der Dateien ohne Beachtung aller Nicht-Buchstaben am Anfang "},
    {"StatusBar2", "text scrolls while moving and pressing down left mousebutton, doubleclick resets text",
     "Text rollt bei Mausbewegung mit gedrückter linker Maustaste, Doppelklick setzt den Text zurück"},
    {"StatusBar1", "order of selections are shown here", "Reihenfolge der Auswahl wird hier angezeigt"},
    {"MaskButton", "file mask: *.mp3, all files without *.mp3, all files (right click: menu)",
     "Dateifilter: *.mp3, alle Dateien ohne *.mp3, alle Dateien (Rechtsklick: Menü)"},
    {"FilterButton", "show all, only tagged or only untagged mp3-files (right click: menu)",
     "alle, nur MP3-Dateien mit Tag oder nur ohne Tag anzeigen (Rechtsklick: Menü)"},
    {"FontUpButton", "larger font in the file list", "größere Schrift in der Dateiliste"},
    {"FontDownButton", "smaller font in the file list", "kleinere Schrift in der Dateiliste"},
    {"DriveComboBox1", "mounted volumes", "eingehängte Laufwerke"},
    {"DirectoryListBox1", "rightclick for pop-up-menu", "Rechtsklick für Menü"},
    {"FileListBox1", "rightclick for pop-up-menu", "Rechtsklick für Menü"},
    {"HelpButton", "help for the page shown", "Hilfe zur angezeigten Seite"},
    {"RenameEdit", "Enter renames the directory, Escape cancels",
     "Enter benennt das Verzeichnis um, Escape bricht ab"},
};

} // namespace

void applyMainWindowTexts(QObject &window, Language language)
{
    applyCaptions(window, language, kCaptions);
    applyHints(window, language, kHints);
}

} // namespace kaz
