#include "BuildPlan.h"

#include "TargetFolders.h"
#include "MultiCdText.h"
#include "StructurePlanner.h"

#include "platform/FolderListing.h"
#include "platform/FreeName.h"
#include "platform/NativeName.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "rename/FileGathering.h"
#include "rename/FolderTree.h"
#include "rename/NameComposer.h"
#include "tags/Id3v1.h"
#include "tags/PictureBlock.h"

#include <QSet>

#include <algorithm>
#include <array>

namespace kaz {
namespace {

// The former name of a picture file as a name in one folder; empty when it
// cannot be one.
QString safeFileName(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (c.unicode() < 32 || c == u'/')
            c = u'_';
    }
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        return {};
    return fitFileName(safe, QString());
}


} // namespace

namespace {

// The folder names of a row: its multi-CD text, artist and album, the nine
// forbidden characters replaced. The tag's texts are used up.
void fillNames(StructureRow &row, TagRecord &tag, const BuildContext &context)
{
    row.multiCd = multiCdText(tag.comment, context.settings.createMultiCdDirs);
    // Only artist and album go into folder names: the other fields are left
    // out of the replacement.
    TagRecord names;
    names.artist = std::move(tag.artist);
    names.album = std::move(tag.album);
    names.longArtist = std::move(tag.longArtist);
    names.longAlbum = std::move(tag.longAlbum);
    replaceForbiddenCharacters(names, context.replacements);
    row.artist = std::move(names.longArtist);
    row.album = std::move(names.longAlbum);
}

// The names of the file read before. The songs of an album follow each
// other, and the tags of a series share their equal texts
// (id3v1::FieldMemory): a row whose texts are those of the row before gets
// its names without working them again.
class NameMemory
{
public:
    void fill(StructureRow &row, TagRecord &tag, const BuildContext &context)
    {
        const std::array<const QString *, 5> texts{&tag.comment, &tag.artist, &tag.album, &tag.longArtist,
                                                   &tag.longAlbum};
        bool same = m_filled;
        for (size_t i = 0; i < texts.size() && same; ++i)
            same = sameText(*texts[i], m_texts[i]);
        if (!same) {
            for (size_t i = 0; i < texts.size(); ++i)
                m_texts[i] = *texts[i];
            fillNames(m_row, tag, context);
            m_filled = true;
        }
        row.multiCd = m_row.multiCd;
        row.artist = m_row.artist;
        row.album = m_row.album;
    }

private:
    // One text, or two empty ones alike (an empty text shares no block).
    static bool sameText(const QString &a, const QString &b)
    {
        return a.isEmpty() ? b.isEmpty() && a.isNull() == b.isNull() : a.isSharedWith(b);
    }

    bool m_filled = false;
    std::array<QString, 5> m_texts; // the tag's texts the names came from
    StructureRow m_row;
};

std::optional<StructureItem> makeItem(const QString &path, TagRecord &tag, qint64 pictureBlock,
                                      const BuildContext &context, NameMemory *memory)
{
    if (!tag.hasTag() || !tag.hasArtistOrAlbum)
        return std::nullopt;
    StructureItem item;
    item.path = path;
    item.row.size = tag.fileSize;
    item.row.audio = pictureBlock == 0;
    if (pictureBlock > 0) {
        item.restoredName = tag.longTitle;
        item.pictureBlock = pictureBlock;
    }
    if (memory)
        memory->fill(item.row, tag, context);
    else
        fillNames(item.row, tag, context);
    return item;
}

} // namespace

std::optional<StructureItem> structureItem(const QString &path, TagRecord tag, qint64 pictureBlock,
                                           const BuildContext &context)
{
    return makeItem(path, tag, pictureBlock, context, nullptr);
}

BuildInput scanBaseFolder(const QString &base, const BuildContext &context, const RunHooks &hooks)
{
    BuildInput input;
    const QString folder = withSlash(base);
    const QList<FolderEntry> entries = listFolder(folder);
    std::vector<qsizetype> mp3Files; // the entries' indexes
    mp3Files.reserve(size_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries[i].kind == FolderEntry::File && isMp3Name(entries[i].name))
            mp3Files.push_back(i);
    }
    input.items.reserve(mp3Files.size());
    // Each file by its name in the folder: no walk of the whole path, and a
    // link put in a file's place meanwhile is not followed.
    FolderDescriptor dir;
    const int dirFd = dir.open(folder);
    id3v1::FieldMemory fields;
    NameMemory rowNames;
    const bool folderHasLineBreak = hasLineBreak(folder); // a path has one when its folder or its name has
    for (const qsizetype i : mp3Files) {
        const QString &name = entries[i].name;
        hooks.pump();
        hooks.report(++input.files, qint64(mp3Files.size()));
        QString path = joined({folder, name});
        if (folderHasLineBreak || hasLineBreak(name)) {
            input.lineBreakPaths.append(path);
            continue;
        }
        const ReadOnlyFile file = dirFd >= 0 ? ReadOnlyFile(dirFd, NativeName(name).bytes()) : ReadOnlyFile(path);
        TagRecord tag = readTag(file, path, context.tags, fields);
        const qint64 block = picture::blockSize(path, tag);
        if (std::optional<StructureItem> item = makeItem(path, tag, block, context, &rowNames)) {
            item->mode = file.mode();
            input.items.push_back(std::move(*item));
        }
    }
    return input;
}

// The folder of the row before: the songs of an album follow each other,
// so that most rows go where the one before went.
struct LastFolder {
    const StructureRow *row = nullptr;
    StructurePlacement placement;
    QString folder;

    bool sameAs(const StructureRow &r, const StructurePlacement &p) const
    {
        return row && p.cls == placement.cls && p.cd == placement.cd && r.artist == row->artist
               && r.album == row->album && r.multiCd == row->multiCd;
    }
};

BuildPlan planBuild(const QString &base, const std::vector<StructureItem> &items, const StructureSettings &settings)
{
    BuildPlan plan;
    plan.structure = planStructure(items, settings);
    const QString root = withSlash(base);
    FolderSpelling spelling;
    LastFolder last;
    // The names taken are only needed for former and restored names.
    const bool renames = std::any_of(items.begin(), items.end(), [](const StructureItem &item) {
        return !item.formerName.isEmpty() || item.pictureBlock > 0;
    });
    QSet<QString> taken;
    plan.moves.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const StructureItem &item = items[i];
        const StructurePlacement &placement = plan.structure.rows[i];
        if (placement.cls == StructureClass::Stay && item.pictureBlock == 0)
            continue;
        StructureMove move;
        move.from = item.path;
        move.cls = placement.cls;
        move.cd = settings.fitOnCdr ? placement.cd : -1; // without CD folders the number means nothing
        move.pictureBlock = item.pictureBlock;
        move.mode = item.mode;
        const qsizetype slash = item.path.lastIndexOf(QLatin1Char('/'));
        if (placement.cls == StructureClass::Stay) {
            move.to = item.path;
        } else {
            if (!last.sameAs(item.row, placement)) {
                last = {&item.row, placement,
                        root + spelling.spell(targetFolders(item.row, placement, plan.structure, settings))};
            }
            move.to = last.folder + QStringView(item.path).mid(slash + 1);
        }
        if (renames)
            taken.insert(move.to);
        plan.moves.push_back(std::move(move));
    }
    if (!renames)
        return plan;
    // Former names after the names kept, so that these never give way.
    for (size_t i = 0, m = 0; i < items.size() && m < plan.moves.size(); ++i) {
        if (plan.moves[m].from != items[i].path)
            continue;
        StructureMove &move = plan.moves[m++];
        if (items[i].formerName.isEmpty() || move.cls == StructureClass::Stay)
            continue;
        const QString former = folderOf(move.to) + items[i].formerName;
        if (!taken.contains(former)) {
            taken.remove(move.to);
            move.to = former;
            taken.insert(former);
        }
    }
    // Restored names last, so that they give way to the files moved.
    for (size_t i = 0, m = 0; i < items.size() && m < plan.moves.size(); ++i) {
        if (plan.moves[m].from != items[i].path)
            continue;
        StructureMove &move = plan.moves[m++];
        if (move.pictureBlock == 0)
            continue;
        const QString name = safeFileName(items[i].restoredName);
        if (name.isEmpty()) {
            plan.unsafePictureNames.append(move.from);
            continue;
        }
        const QString folder = folderOf(move.to);
        move.restoreTo = folder + freeName(name, 2, [&](const QString &n) { return taken.contains(folder + n); });
        taken.insert(move.restoreTo);
    }
    return plan;
}

} // namespace kaz
