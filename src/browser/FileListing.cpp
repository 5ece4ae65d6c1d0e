#include "FileListing.h"

#include "tags/TagIO.h"

#include <QDir>

#include <algorithm>

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

QStringList listFolderFiles(const QString &folder, MaskState mask, TagFilter filter, const RunHooks &hooks,
                            bool useId3v2)
{
    QDir dir(folder);
    QStringList names = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (mask == MaskState::Mp3)
        names.removeIf([](const QString &n) { return !hasMp3Extension(n); });
    else if (mask == MaskState::NotMp3)
        names.removeIf(endsInMp3);

    if (mask != MaskState::Mp3 || filter == TagFilter::All)
        return names;

    const bool keepTagged = filter == TagFilter::Tagged;
    const qint64 total = names.size();
    const QString prefix = dir.absolutePath() + QLatin1Char('/');
    QStringList kept;
    kept.reserve(names.size());
    for (qint64 i = total - 1; i >= 0; --i) {
        hooks.report(total - i, total);
        hooks.pump();
        if (taginfo(prefix + names.at(i), useId3v2) == keepTagged)
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
