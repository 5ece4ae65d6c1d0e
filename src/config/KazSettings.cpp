#include "KazSettings.h"

#include <QDir>

#include <algorithm>

namespace kaz {

KazSettings KazSettings::defaults(QSize screen, Language language)
{
    KazSettings s;
    // Integer division truncates toward zero, also for a screen narrower than the window.
    s.windowLeft = (screen.width() - 601) / 2;
    s.windowTop = (screen.height() - 471) / 2;
    s.lastDir = QDir::homePath();
    s.structure.variousDir = language == Language::English ? QStringLiteral("Various") : QStringLiteral("Diverse");
    return s;
}

void KazSettings::takeDialogSettingsFrom(const KazSettings &reread)
{
    winampPath = reread.winampPath;
    replacementCharacters = reread.replacementCharacters;
    delimiter = reread.delimiter;
    userDirectories = reread.userDirectories;
    externalPrograms = reread.externalPrograms;
    structure = reread.structure;
    useId3v2 = reread.useId3v2;
    id3v2Write = reread.id3v2Write;
}

bool isForbiddenNameCharacter(QStringView character)
{
    return character.size() == 1
           && std::find(kForbiddenNameCharacters.begin(), kForbiddenNameCharacters.end(), character.at(0).unicode())
                  != kForbiddenNameCharacters.end();
}

QString createDirKey(CreateDirMode mode)
{
    switch (mode) {
    case CreateDirMode::Artist:
        return QStringLiteral("artist");
    case CreateDirMode::Album:
        return QStringLiteral("album");
    case CreateDirMode::ArtistAndAlbum:
        break;
    }
    return QStringLiteral("artist&album");
}

} // namespace kaz
