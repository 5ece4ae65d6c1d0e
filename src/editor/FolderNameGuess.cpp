#include "FolderNameGuess.h"

#include <QDir>
#include <QStringList>

namespace kaz {
namespace {

bool isAlbumOrSampler(const QString &name)
{
    const QString upper = name.toUpper();
    return upper == QLatin1String("ALBUM") || upper == QLatin1String("SAMPLER");
}

bool isCdFolder(const QString &name)
{
    return name.size() >= 3 && name.at(0).toUpper() == QLatin1Char('C') && name.at(1).toUpper() == QLatin1Char('D')
        && (name.at(2) == QLatin1Char(' ') || name.at(2).isDigit());
}

} // namespace

void guessFromFolderNames(const QString &folder, bool swapped, const FolderNameProperties &properties,
                          FolderNameFields &fields)
{
    QStringList names = QDir::cleanPath(QDir::fromNativeSeparators(folder)).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return; // the root has no name
    if (properties.noticeAlbum && isAlbumOrSampler(names.last()))
        return;
    if (isCdFolder(names.last())) {
        if (properties.noticeCd)
            fields.comment = names.last().toUpper();
        names.removeLast();
        if (names.isEmpty())
            return;
        if (properties.noticeAlbum && isAlbumOrSampler(names.last()))
            return;
    }
    QString &first = swapped ? fields.artist : fields.album;
    QString &second = swapped ? fields.album : fields.artist;
    first = names.takeLast();
    if (names.isEmpty())
        return;
    // A parent named ALBUM or SAMPLER says nothing about the other field.
    if (properties.noticeAlbum && isAlbumOrSampler(names.last()))
        return;
    second = names.last();
}

} // namespace kaz
