#include "FileListing.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <utility>
#include <vector>

namespace kaz {
namespace {

bool hasMp3Extension(const QString &name)
{
    return name.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
}

// The old list mask "inv (*.mp3)" removed every name ending in "MP3" in any
// case, also one without a dot before it.
bool endsInMp3(const QString &name)
{
    return name.right(3).toUpper() == QLatin1String("MP3");
}

} // namespace

MaskState nextMaskState(MaskState state)
{
    return static_cast<MaskState>((static_cast<int>(state) + 1) % 3);
}

TagFilter nextTagFilter(TagFilter filter)
{
    return static_cast<TagFilter>((static_cast<int>(filter) + 1) % 3);
}

QStringList listMaskedNames(const QString &folder, MaskState mask)
{
    // Names only: no file information is kept per entry, which a folder of
    // 100,000 files would feel.
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        if (mask == MaskState::Mp3 ? hasMp3Extension(name) : mask == MaskState::All || !endsInMp3(name))
            names.append(std::move(name));
    }
    sortIgnoringCase(names);
    return names;
}

void sortIgnoringCase(QStringList &names)
{
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        keys.emplace_back(names.at(i).toLower(), i);
    std::sort(keys.begin(), keys.end(), [&names](const auto &a, const auto &b) {
        const int c = a.first.compare(b.first);
        return c != 0 ? c < 0 : names.at(a.second).compare(names.at(b.second)) < 0;
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &key : keys)
        sorted.append(names.at(key.second));
    names.swap(sorted);
}

bool passesTagFilter(const QString &path, TagFilter filter, bool useId3v2)
{
    if (filter == TagFilter::All)
        return true;
    TagContext context;
    context.quietWhenShort = true;
    context.nameFieldsOnly = true;
    context.useId3v2 = useId3v2;
    return readTag(path, context).hasTag() == (filter == TagFilter::Tagged);
}

QStringList listFolderFiles(const QString &folder, MaskState mask, TagFilter filter, const RunHooks &hooks,
                            bool useId3v2)
{
    QStringList names = listMaskedNames(folder, mask);
    if (mask != MaskState::Mp3 || filter == TagFilter::All)
        return names;

    const qint64 total = names.size();
    const QString prefix = QDir(folder).absolutePath() + QLatin1Char('/');
    QStringList kept;
    kept.reserve(names.size());
    for (qint64 i = total - 1; i >= 0; --i) {
        hooks.report(total - i, total);
        hooks.pump();
        if (passesTagFilter(prefix + names.at(i), filter, useId3v2))
            kept.append(names.at(i));
    }
    std::reverse(kept.begin(), kept.end());
    hooks.report(0, total);
    return kept;
}

QString letterSortKey(const QString &name)
{
    qsizetype i = 0;
    while (i < name.size()) {
        const QChar up = name.at(i).toUpper();
        if (up >= QLatin1Char('A') && up <= QLatin1Char('Z'))
            break;
        ++i;
    }
    return name.mid(i);
}

void letterSort(QStringList &names)
{
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString &n : names)
        keyed.append({letterSortKey(n), n});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first, Qt::CaseSensitive) < 0; });
    for (qsizetype i = 0; i < names.size(); ++i)
        names[i] = keyed.at(i).second;
}

} // namespace kaz
