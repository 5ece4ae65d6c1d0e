#include "FolderNameGuess.h"

#include <QStringList>

namespace kaz {
namespace {

// "CD1", "cd 2": C and D in any case, then a blank or a digit 0-9.
bool isCdFolderName(const QString &name)
{
    return name.size() >= 3 && name[0].toUpper() == QLatin1Char('C') && name[1].toUpper() == QLatin1Char('D')
           && (name[2] == QLatin1Char(' ') || (name[2] >= QLatin1Char('0') && name[2] <= QLatin1Char('9')));
}

bool isAlbumOrSampler(const QString &name)
{
    const QString n = name.toUpper();
    return n == QLatin1String("ALBUM") || n == QLatin1String("SAMPLER");
}

// The folder names below the root, outermost first.
QStringList namesBelowRoot(const QString &folder, const QString &root)
{
    QString rest = folder;
    const QString r = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if (rest.startsWith(r))
        rest = rest.mid(r.size());
    else if (rest == root)
        rest.clear();
    return rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

void fill(const QStringList &names, qsizetype i, const FolderNameOptions &options, bool swapped,
          FolderNameFields &fields)
{
    if (options.noticeAlbum && isAlbumOrSampler(names[i]))
        return;
    if (isCdFolderName(names[i])) {
        if (options.noticeCd)
            fields.comment = names[i].toUpper().left(30);
        if (--i < 0)
            return;
        if (options.noticeAlbum && isAlbumOrSampler(names[i]))
            return;
    }
    (swapped ? fields.artist : fields.album) = names[i];
    if (i < 1)
        return;
    // A parent named ALBUM or SAMPLER leaves the other field as it was.
    if (options.noticeAlbum && isAlbumOrSampler(names[i - 1]))
        return;
    (swapped ? fields.album : fields.artist) = names[i - 1];
}

} // namespace

void guessFromFolderNames(const QString &folder, const QString &root, const FolderNameOptions &options,
                          bool &swapped, FolderNameFields &fields)
{
    const QStringList names = namesBelowRoot(folder, root);
    if (!names.isEmpty())
        fill(names, names.size() - 1, options, swapped, fields);
    swapped = !swapped;
}

} // namespace kaz
