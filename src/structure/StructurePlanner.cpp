#include "StructurePlanner.h"

#include "BuildPlan.h"
#include "CdPacking.h"
#include "UpperCase.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace kaz {
namespace {

using Cls = StructureClass;

bool isOneOf(Cls cls, std::initializer_list<Cls> set)
{
    return std::find(set.begin(), set.end(), cls) != set.end();
}

// Upper-casing of the letters a to z only (the excluded-album test).
QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

struct Tally {
    qint64 count = 0;
    qint64 bytes = 0;
};

// The rows of one album follow each other and share their keys (one
// QString): a look-up is made again only where the key changes.
template <typename Value>
class LastLookup
{
public:
    // The value of key, from look() when key differs from the last one.
    template <typename Look>
    Value get(const QString &key, Look look)
    {
        if (!m_key || !key.isSharedWith(*m_key)) {
            m_key = &key;
            m_value = look();
        }
        return m_value;
    }

private:
    const QString *m_key = nullptr;
    Value m_value{};
};

// The rows of the builder's items where they are, without a copy.
struct ItemRows {
    const std::vector<StructureItem> &items;
    const StructureRow &operator[](size_t i) const { return items[i].row; }
    size_t size() const { return items.size(); }
};

// Rows: a table of StructureRow by index (a vector of rows, or ItemRows).
template <typename Rows>
class Planner
{
public:
    Planner(const Rows &rows, const StructureSettings &settings)
        : m_rows(rows)
        , m_s(settings)
    {
        m_plan.rows.resize(rows.size());
        m_artist.reserve(qsizetype(rows.size()));
        m_album.reserve(qsizetype(rows.size()));
        m_groupKey.reserve(qsizetype(rows.size()));
        // The rows of one album mostly follow each other: their names are
        // upper-cased once and shared, and each group key is made once.
        QSet<QString> keys;
        const StructureRow *last = nullptr;
        for (size_t i = 0; i < rows.size(); ++i) {
            const StructureRow &row = rows[i];
            const bool sameArtist = last && row.artist == last->artist;
            const bool sameAlbum = last && row.album == last->album;
            m_artist.append(sameArtist ? m_artist.constLast() : upperCase(row.artist));
            m_album.append(sameAlbum ? m_album.constLast() : upperCase(row.album));
            if (sameArtist && (sameAlbum || m_s.createDir == CreateDirMode::Artist))
                m_groupKey.append(m_groupKey.constLast());
            else
                m_groupKey.append(*keys.insert(m_s.createDir == CreateDirMode::Artist
                                                   ? m_artist.constLast()
                                                   : m_artist.constLast() + m_album.constLast()));
            last = &row;
        }
    }

    StructurePlan run()
    {
        if (m_s.createDir != CreateDirMode::Album)
            albumGroups();
        if (m_s.searchSampler && m_s.excludeAlbumNamesForSampler)
            excludedAlbums();
        samplers();
        variousSongs();
        packing();
        return std::move(m_plan);
    }

private:
    StructurePlacement &at(size_t i) { return m_plan.rows[i]; }

    // Counted rows that reach the threshold take the class; a search that is
    // off turns them into "z".
    void promote(size_t i, qint64 threshold, Cls cls, bool searchOn)
    {
        StructurePlacement &p = at(i);
        if (p.cls == Cls::Counted && p.count >= threshold)
            p.cls = searchOn ? cls : Cls::Stay;
    }

    const QString &groupKey(size_t i) const { return m_groupKey[qsizetype(i)]; }

    void albumGroups()
    {
        const bool both = m_s.createDir == CreateDirMode::ArtistAndAlbum;
        QSet<QString> keys;
        LastLookup<bool> inserted;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const StructureRow &r = m_rows[i];
            if (!r.artist.isEmpty() && (!both || !r.album.isEmpty()))
                inserted.get(groupKey(i), [&] {
                    keys.insert(groupKey(i));
                    return true;
                });
        }
        QHash<QString, Tally> tallies;
        LastLookup<Tally *> counted; // valid until the next insertion, which only a new key makes
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const QString &key = groupKey(i);
            Tally *t = counted.get(key, [&] { return keys.contains(key) ? &tallies[key] : nullptr; });
            if (!t)
                continue;
            t->count += m_rows[i].audio ? 1 : 0;
            t->bytes += m_rows[i].size;
        }
        LastLookup<const Tally *> found;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const QString &key = groupKey(i);
            const Tally *t = found.get(key, [&] {
                const auto it = tallies.constFind(key);
                return it == tallies.cend() ? nullptr : &*it;
            });
            if (!t)
                continue;
            at(i).count = t->count;
            at(i).groupSize = t->bytes;
            promote(i, m_s.artistRepeatings, Cls::AlbumGroup, m_s.searchAlbum);
        }
    }

    void excludedAlbums()
    {
        QStringList excluded;
        for (const QString &e : m_s.excludedAlbums) {
            if (!e.isEmpty()) // an empty text is in no name
                excluded.append(asciiUpper(e));
        }
        if (excluded.isEmpty())
            return;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (at(i).cls == Cls::AlbumGroup)
                continue;
            const QString album = asciiUpper(m_rows[i].album);
            for (const QString &e : excluded) {
                if (album.contains(e)) {
                    at(i).cls = Cls::Various;
                    break;
                }
            }
        }
    }

    void samplers()
    {
        QSet<QString> keys;
        LastLookup<bool> inserted;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const QString &album = m_album[qsizetype(i)];
            if (!isOneOf(at(i).cls, {Cls::AlbumGroup, Cls::Various, Cls::Stay}) && !album.isEmpty())
                inserted.get(album, [&] {
                    keys.insert(album);
                    return true;
                });
        }
        QHash<QString, Tally> tallies;
        std::vector<size_t> members;
        LastLookup<Tally *> counted; // valid until the next insertion, which only a new key makes
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (isOneOf(at(i).cls, {Cls::AlbumGroup, Cls::Various}))
                continue;
            const QString &album = m_album[qsizetype(i)];
            Tally *t = counted.get(album, [&] { return keys.contains(album) ? &tallies[album] : nullptr; });
            if (!t)
                continue;
            t->count += m_rows[i].audio ? 1 : 0;
            t->bytes += m_rows[i].size;
            members.push_back(i);
        }
        LastLookup<const Tally *> found;
        for (size_t i : members) {
            const QString &album = m_album[qsizetype(i)];
            const Tally &t = *found.get(album, [&] { return &*tallies.constFind(album); });
            at(i) = StructurePlacement{Cls::Counted, t.count, t.bytes, -1};
            promote(i, m_s.artistRepeatings, Cls::Sampler, m_s.searchSampler);
        }
    }

    void variousSongs()
    {
        QSet<QString> keys;
        LastLookup<bool> inserted;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const QString &artist = m_artist[qsizetype(i)];
            if (!isOneOf(at(i).cls, {Cls::AlbumGroup, Cls::Sampler, Cls::Various, Cls::Stay}))
                inserted.get(artist, [&] {
                    keys.insert(artist);
                    return true;
                });
        }
        QHash<QString, qint64> counts;
        std::vector<size_t> members;
        LastLookup<qint64 *> counted; // valid until the next insertion, which only a new key makes
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (isOneOf(at(i).cls, {Cls::AlbumGroup, Cls::Sampler}))
                continue;
            const QString &artist = m_artist[qsizetype(i)];
            qint64 *count = counted.get(artist, [&] { return keys.contains(artist) ? &counts[artist] : nullptr; });
            if (!count)
                continue;
            *count += m_rows[i].audio ? 1 : 0;
            members.push_back(i);
        }
        LastLookup<qint64> total;
        for (size_t i : members) {
            const QString &artist = m_artist[qsizetype(i)];
            const qint64 count = total.get(artist, [&] { return counts.value(artist); });
            const Cls cls = count >= m_s.variousRepeatings ? Cls::ArtistVarious : Cls::Various;
            at(i) = StructurePlacement{m_s.searchVarious ? cls : Cls::Stay, count, m_rows[i].size, -1};
        }
    }

    struct Entry {
        qint64 size = 0;
        std::vector<size_t> rows; // the rows that get the entry's CD
        qint64 rowBytes = 0;      // their sizes together
    };

    // One entry per distinct key of the rows of a class (the first row's
    // group size), or with perRow one per row, duplicates kept.
    std::vector<Entry> entries(Cls cls, const std::function<QString(size_t)> &key, bool perRow)
    {
        std::vector<Entry> list;
        QHash<QString, size_t> index;
        std::vector<size_t> rowEntry;
        std::optional<QString> lastKey; // shared with the key of the row before when it is the same
        size_t lastEntry = 0;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (at(i).cls != cls)
                continue;
            const QString k = key(i);
            if (!lastKey || !k.isSharedWith(*lastKey)) {
                auto found = index.constFind(k);
                if (found == index.cend()) {
                    found = index.insert(k, list.size());
                    list.push_back({at(i).groupSize, {}, 0});
                }
                lastKey = k;
                lastEntry = *found;
            }
            Entry &e = list[lastEntry];
            e.rows.push_back(i);
            e.rowBytes += m_rows[i].size;
            if (perRow)
                rowEntry.push_back(lastEntry);
        }
        if (!perRow)
            return list;
        // Every row of a key is an entry of its own with all the key's rows.
        std::vector<Entry> expanded;
        size_t n = 0;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (at(i).cls != cls)
                continue;
            Entry e = list[rowEntry[n++]];
            e.size = at(i).groupSize;
            expanded.push_back(std::move(e));
        }
        return expanded;
    }

    void stage(std::vector<Entry> list, bool growByRows)
    {
        std::vector<qint64> sizes;
        sizes.reserve(list.size());
        for (const Entry &e : list)
            sizes.push_back(e.size);
        const std::vector<int> order = packingOrder(sizes);
        const qint64 capacity = cdCapacity(m_s);
        std::vector<bool> placed(list.size(), false);
        qint64 fitting = 0;
        for (const Entry &e : list)
            fitting += e.size <= capacity ? 1 : 0;
        qint64 done = 0;
        std::vector<qint64> &cds = m_plan.cdUsed;
        for (size_t k = 1;; ++k) {
            if (cds.size() < k)
                cds.resize(k, 0);
            qint64 used = cds[k - 1];
            for (int index : order) {
                const Entry &e = list[size_t(index)];
                if (e.size > capacity) {
                    m_plan.tooBig = true;
                } else if (!placed[size_t(index)] && e.size + used <= capacity) {
                    for (size_t row : e.rows)
                        at(row).cd = int(k);
                    used += growByRows ? e.rowBytes : e.size;
                    placed[size_t(index)] = true;
                    ++done;
                }
            }
            cds[k - 1] = used;
            if (done == fitting || m_plan.tooBig)
                break;
        }
    }

    void packing()
    {
        const auto artistAlbum = [this](size_t i) { return m_artist[qsizetype(i)] + m_album[qsizetype(i)]; };
        const auto album = [this](size_t i) { return m_album[qsizetype(i)]; };
        if (m_s.searchAlbum) {
            stage(entries(Cls::AlbumGroup, [this](size_t i) { return groupKey(i); }, false), false);
            stage(entries(Cls::ArtistVarious, artistAlbum, false), true);
        }
        if (m_s.searchSampler)
            stage(entries(Cls::Sampler, album, false), false);
        if (m_s.searchVarious)
            stage(entries(Cls::Various, artistAlbum, true), false);
    }

    const Rows &m_rows;
    const StructureSettings &m_s;
    QStringList m_artist; // upper-cased
    QStringList m_album;
    QStringList m_groupKey; // artist and album upper-cased, or the artist alone
    StructurePlan m_plan;
};

} // namespace

const char *classMark(StructureClass cls)
{
    switch (cls) {
    case StructureClass::AlbumGroup:
        return "aa";
    case StructureClass::Sampler:
        return "al";
    case StructureClass::ArtistVarious:
        return "vaar";
    case StructureClass::Various:
        return "va";
    case StructureClass::Stay:
        return "z";
    case StructureClass::Counted:
        break;
    }
    return "0";
}

StructurePlan planStructure(const std::vector<StructureRow> &rows, const StructureSettings &settings)
{
    return Planner<std::vector<StructureRow>>(rows, settings).run();
}

StructurePlan planStructure(const std::vector<StructureItem> &items, const StructureSettings &settings)
{
    const ItemRows rows{items};
    return Planner<ItemRows>(rows, settings).run();
}

} // namespace kaz
