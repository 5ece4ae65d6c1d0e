#include "BreakPlan.h"

#include "MultiCdText.h"

#include "platform/FolderListing.h"
#include "platform/FreeName.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "rename/FileGathering.h"
#include "rename/FolderTree.h"
#include "tags/PictureBlock.h"

#include <QSet>

#include <algorithm>

namespace kaz {
namespace {

QString freeIn(const QString &folder, const QString &name, QSet<QString> &taken)
{
    const QString path = folder + freeName(name, 2, [&](const QString &n) { return taken.contains(folder + n); });
    taken.insert(path);
    return path;
}

struct Folder {
    QString path; // with "/"
    QList<FolderEntry> entries;
};

// Breadth first, as the folder list is written: level by level, under one
// parent in name order.
std::vector<Folder> walkTree(const QString &base, const RunHooks &hooks)
{
    std::vector<Folder> folders;
    folders.push_back({base, listFolder(base)});
    for (size_t i = 0; i < folders.size(); ++i) {
        hooks.pump();
        for (const FolderEntry &e : folders[i].entries) {
            if (e.kind == FolderEntry::Folder) {
                const QString sub = folders[i].path + e.name + QLatin1Char('/');
                folders.push_back({sub, listFolder(sub)});
            }
        }
    }
    return folders;
}

class BreakPlanner
{
public:
    BreakPlanner(const QString &base, BreakMode mode, bool reorganize, const BuildContext &context)
        : m_mode(reorganize ? BreakMode::Safe : mode)
        , m_reorganize(reorganize)
        , m_context(context)
    {
        m_plan.base = withSlash(base);
    }

    BreakPlan run(const RunHooks &hooks)
    {
        const std::vector<Folder> tree = walkTree(m_plan.base, hooks);
        for (const Folder &f : tree)
            for (const FolderEntry &e : f.entries)
                if (f.path == m_plan.base)
                    m_taken.insert(m_plan.base + e.name);
        for (const Folder &folder : tree) {
            hooks.pump();
            examine(folder);
        }
        // A folder that holds nothing (or only folders that hold nothing) is
        // the user's own: it stays. The others go once the run emptied them.
        QSet<QString> withContent;
        for (size_t i = tree.size(); i-- > 1;) {
            const Folder &f = tree[i];
            const bool content = std::any_of(f.entries.cbegin(), f.entries.cend(), [&](const FolderEntry &e) {
                return e.kind != FolderEntry::Folder || withContent.contains(f.path + e.name + QLatin1Char('/'));
            });
            if (content) {
                withContent.insert(f.path);
                m_plan.folders.append(f.path);
            }
        }
        if (m_reorganize)
            collectItems();
        return std::move(m_plan);
    }

private:
    struct Mp3 {
        QString path;
        TagRecord tag;
    };

    void examine(const Folder &folder)
    {
        const bool isBase = folder.path == m_plan.base;
        const bool safe = m_mode == BreakMode::Safe;
        QStringList others;
        QStringList mp3Paths;
        bool ok = true;
        bool special = false; // a link, pipe, device or undecodable name: it stays where it is
        for (const FolderEntry &e : folder.entries) {
            if (e.kind == FolderEntry::Folder)
                continue;
            const QString path = folder.path + e.name;
            if (e.kind != FolderEntry::File) {
                special = true;
                continue;
            }
            if (hasLineBreak(path)) {
                m_plan.lineBreakPaths.append(path);
                ok = false; // it stays, and with it its folder
                continue;
            }
            if (isMp3Name(e.name))
                mp3Paths.append(path);
            else
                others.append(path);
        }
        if (safe && !m_reorganize && (!others.isEmpty() || special))
            ok = false;
        std::vector<Mp3> mp3s;
        for (const QString &path : std::as_const(mp3Paths)) {
            if (!ok)
                break;
            Mp3 m{path, {}};
            if (safe || m_reorganize) {
                m.tag = readTag(path, m_context.tags);
                if (safe && !m.tag.hasArtistOrAlbum)
                    ok = false;
            }
            mp3s.push_back(std::move(m));
        }
        if (!ok)
            mp3s.clear();
        if (isBase) {
            if (m_reorganize && !mp3s.empty())
                disguiseAll(others, mp3s.front(), true);
            return;
        }
        for (Mp3 &m : mp3s) {
            const QString to = freeIn(m_plan.base, fileNameOf(m.path), m_taken);
            m_plan.moves.push_back({m.path, {}, {}, to});
            Gathered g{to, std::move(m.tag), 0, QString(), QString()};
            if (fileNameOf(to) != fileNameOf(m.path))
                g.numberedFrom = fileNameOf(m.path);
            m_gathered.push_back(std::move(g));
        }
        if (mp3s.empty() || others.isEmpty())
            return;
        if (m_reorganize) {
            disguiseAll(others, m_gathered[m_gathered.size() - mp3s.size()].tag, false);
        } else {
            for (const QString &path : std::as_const(others))
                m_plan.moves.push_back({path, {}, {}, freeIn(m_plan.base, fileNameOf(path), m_taken)});
        }
    }

    void disguiseAll(const QStringList &others, const Mp3 &first, bool inBase)
    {
        disguiseAll(others, first.tag, inBase);
    }

    void disguiseAll(const QStringList &others, const TagRecord &first, bool inBase)
    {
        const QString comment = pictureComment(first.comment);
        for (const QString &path : others) {
            const QString folder = folderOf(path);
            const QString name = fileNameOf(path);
            // The disguised name must be free in its own folder too.
            QSet<QString> &takenHere = inBase ? m_taken : m_takenInFolder[folder];
            if (!inBase && takenHere.isEmpty()) {
                for (const FolderEntry &e : listFolder(folder))
                    takenHere.insert(folder + e.name);
            }
            const QString disguised = freeIn(folder, disguisedName(name), takenHere);
            BreakMove move{path, disguised, picture::renderBlock(name, first.longArtist, first.longAlbum, comment,
                                                                 *m_context.tags.codec),
                           disguised};
            if (!inBase)
                move.to = freeIn(m_plan.base, fileNameOf(disguised), m_taken);
            const qint64 size = regularFileSize(path);
            TagRecord tag = picture::tagAfterAppending(move.block, qMax<qint64>(size, 0), *m_context.tags.codec);
            Gathered g{move.to, std::move(tag), move.block.size(), name, QString()};
            if (inBase)
                m_baseDisguised.push_back(std::move(g));
            else
                m_gathered.push_back(std::move(g));
            m_plan.moves.push_back(std::move(move));
        }
    }

    // The file list of the base folder after the disguise (its MP3 files in
    // name order), then the gathered files in the order they were moved.
    void collectItems()
    {
        std::vector<Gathered> base;
        for (const FolderEntry &e : listFolder(m_plan.base)) {
            const QString path = m_plan.base + e.name;
            if (e.kind != FolderEntry::File || !isMp3Name(e.name) || hasLineBreak(path))
                continue;
            TagRecord tag = readTag(path, m_context.tags);
            const qint64 block = picture::blockSize(path, tag);
            base.push_back({path, std::move(tag), block, QString(), QString()});
        }
        for (Gathered &g : m_baseDisguised)
            base.push_back(std::move(g));
        std::stable_sort(base.begin(), base.end(), [](const Gathered &a, const Gathered &b) { return a.path < b.path; });
        for (const std::vector<Gathered> *list : {&base, &m_gathered}) {
            for (const Gathered &g : *list) {
                std::optional<StructureItem> item = structureItem(g.path, g.tag, g.block, m_context);
                if (!item)
                    continue;
                if (!g.formerName.isEmpty())
                    item->restoredName = g.formerName; // exact, also where the code page could not hold it
                item->formerName = g.numberedFrom;
                m_plan.items.push_back(std::move(*item));
            }
        }
    }

    struct Gathered {
        QString path; // in the base folder
        TagRecord tag;
        qint64 block = 0;
        QString formerName;
        QString numberedFrom; // an MP3 file that got a numbered name in the base folder: its name before
    };

    BreakMode m_mode;
    bool m_reorganize;
    const BuildContext &m_context;
    BreakPlan m_plan;
    QSet<QString> m_taken; // names in the base folder
    QHash<QString, QSet<QString>> m_takenInFolder;
    std::vector<Gathered> m_gathered;
    std::vector<Gathered> m_baseDisguised;
};

} // namespace

QString disguisedName(const QString &name)
{
    return (name.size() > 4 ? name.left(name.size() - 4) : name) + QStringLiteral(".MP3");
}

BreakPlan planBreak(const QString &base, BreakMode mode, bool reorganize, const BuildContext &context,
                    const RunHooks &hooks)
{
    return BreakPlanner(base, mode, reorganize, context).run(hooks);
}

} // namespace kaz
