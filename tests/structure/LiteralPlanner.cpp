#include "LiteralPlanner.h"

#include <QStringList>

#include <algorithm>

namespace kaz::test {
namespace {

struct Row {
    QString artist, album, cls = QStringLiteral("0"), cd = QStringLiteral("-1");
    qint64 size = 0;
    QString groupSize = QStringLiteral("0");
    bool audio = true;
};

bool in(const QString &cls, std::initializer_list<const char *> marks)
{
    for (const char *m : marks)
        if (cls == QLatin1String(m))
            return true;
    return false;
}

// The sorted group table: a key equal to one present apart from case is
// not added.
void addKey(QStringList &table, const QString &key)
{
    for (const QString &k : table)
        if (k.toUpper() == key.toUpper())
            return;
    table.append(key);
    std::sort(table.begin(), table.end(), [](const QString &a, const QString &b) { return a.toUpper() < b.toUpper(); });
}

QString ascii(QString s)
{
    for (QChar &c : s)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return s;
}

struct Entry {
    QString key;
    qint64 size;
    bool placed = false;
};

} // namespace

std::vector<int> literalPackingOrder(const std::vector<qint64> &sizes)
{
    std::vector<int> order(sizes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    const size_t n = order.size();
    for (size_t pass = 0; pass < n; ++pass)
        for (size_t i = 0; i + 1 < n; ++i)
            if (sizes[size_t(order[i])] >= sizes[size_t(order[i + 1])])
                std::swap(order[i], order[i + 1]);
    return order;
}

StructurePlan literalPlan(const std::vector<StructureRow> &input, const StructureSettings &s)
{
    std::vector<Row> rows;
    for (const StructureRow &r : input) {
        Row row;
        row.artist = r.artist;
        row.album = r.album;
        row.size = r.size;
        row.audio = r.audio;
        rows.push_back(row);
    }
    const int AR = s.artistRepeatings, VR = s.variousRepeatings;
    const auto key8 = [&](const Row &r) {
        return s.createDir == CreateDirMode::Artist ? r.artist : r.artist + r.album;
    };
    // 8: album groups
    if (s.createDir != CreateDirMode::Album) {
        QStringList table;
        for (const Row &r : rows) {
            if (!r.artist.isEmpty() && (s.createDir == CreateDirMode::Artist || !r.album.isEmpty()))
                addKey(table, key8(r));
        }
        for (const QString &key : table) {
            qint64 count = 0, sum = 0;
            for (const Row &r : rows)
                if (key8(r).toUpper() == key.toUpper()) {
                    count += r.audio;
                    sum += r.size;
                }
            for (Row &r : rows)
                if (key8(r).toUpper() == key.toUpper()) {
                    r.cls = QString::number(count);
                    r.groupSize = QString::number(sum);
                }
            for (Row &r : rows)
                if (!in(r.cls, {"aa", "z"}) && r.cls.toLongLong() >= AR) {
                    r.cls = QStringLiteral("aa");
                    if (!s.searchAlbum)
                        r.cls = QStringLiteral("z");
                }
        }
    }
    // 9: excluded albums
    if (s.searchSampler && s.excludeAlbumNamesForSampler)
        for (Row &r : rows)
            for (const QString &e : s.excludedAlbums)
                if (!e.isEmpty() && ascii(r.album).contains(ascii(e)) && r.cls != QLatin1String("aa"))
                    r.cls = QStringLiteral("va");
    // 10: samplers
    {
        QStringList table;
        for (const Row &r : rows)
            if (!in(r.cls, {"aa", "va", "z"}))
                addKey(table, r.album);
        for (const QString &key : table) {
            if (key.isEmpty())
                continue;
            qint64 count = 0, sum = 0;
            for (const Row &r : rows)
                if (r.album.toUpper() == key.toUpper() && !in(r.cls, {"aa", "va"})) {
                    count += r.audio;
                    sum += r.size;
                }
            for (Row &r : rows)
                if (r.album.toUpper() == key.toUpper() && !in(r.cls, {"aa", "va"})) {
                    r.cls = QString::number(count);
                    r.groupSize = QString::number(sum);
                }
            for (Row &r : rows)
                if (!in(r.cls, {"aa", "al", "va", "z"}) && r.cls.toLongLong() >= AR) {
                    r.cls = QStringLiteral("al");
                    if (!s.searchSampler)
                        r.cls = QStringLiteral("z");
                }
        }
    }
    // 11: various songs
    {
        QStringList table;
        for (const Row &r : rows)
            if (!in(r.cls, {"aa", "al", "va", "z"}))
                addKey(table, r.artist);
        for (const QString &key : table) {
            qint64 count = 0;
            for (Row &r : rows)
                if (r.artist.toUpper() == key.toUpper() && !in(r.cls, {"aa", "al"})) {
                    r.groupSize = QString::number(r.size);
                    count += r.audio;
                }
            for (Row &r : rows)
                if (r.artist.toUpper() == key.toUpper() && !in(r.cls, {"aa", "al"}))
                    r.cls = QString::number(count);
            for (Row &r : rows)
                if (!in(r.cls, {"aa", "al", "va", "vaar", "z"})) {
                    r.cls = r.cls.toLongLong() >= VR ? QStringLiteral("vaar") : QStringLiteral("va");
                    if (!s.searchVarious)
                        r.cls = QStringLiteral("z");
                }
        }
    }
    // 12: CD packing
    StructurePlan plan;
    const qint64 C = qint64(s.cdrMegabytes) * 1048576;
    const auto stage = [&](const char *cls, const std::function<QString(const Row &)> &key, bool perRow,
                           bool growByRows) {
        std::vector<Entry> entries;
        for (const Row &r : rows) {
            if (r.cls != QLatin1String(cls))
                continue;
            bool present = false;
            for (const Entry &e : entries)
                present = present || e.key.toUpper() == key(r).toUpper();
            if (perRow || !present)
                entries.push_back({key(r), r.groupSize.toLongLong()});
        }
        std::vector<qint64> sizes;
        for (const Entry &e : entries)
            sizes.push_back(e.size);
        std::vector<Entry> sorted;
        for (int i : literalPackingOrder(sizes))
            sorted.push_back(entries[size_t(i)]);
        for (size_t k = 1;; ++k) {
            if (plan.cdUsed.size() < k)
                plan.cdUsed.resize(k, 0);
            qint64 U = plan.cdUsed[k - 1];
            for (Entry &e : sorted) {
                if (e.size > C) {
                    plan.tooBig = true;
                } else if (!e.placed && e.size + U <= C) {
                    qint64 rowBytes = 0;
                    for (Row &r : rows)
                        if (r.cls == QLatin1String(cls) && key(r).toUpper() == e.key.toUpper()) {
                            r.cd = QString::number(k);
                            rowBytes += r.size;
                        }
                    U += growByRows ? rowBytes : e.size;
                    e.placed = true;
                }
                plan.cdUsed[k - 1] = U;
            }
            bool all = true;
            for (const Entry &e : sorted)
                all = all && (e.placed || e.size > C);
            if (all || plan.tooBig)
                break;
        }
    };
    const auto artistAlbum = [](const Row &r) { return r.artist + r.album; };
    if (s.searchAlbum) {
        stage("aa", [&](const Row &r) { return s.createDir == CreateDirMode::Album ? QString() : key8(r); }, false,
              false);
        stage("vaar", artistAlbum, false, true);
    }
    if (s.searchSampler)
        stage("al", [](const Row &r) { return r.album; }, false, false);
    if (s.searchVarious)
        stage("va", artistAlbum, true, false);

    for (const Row &r : rows) {
        StructurePlacement p;
        const QString c = r.cls;
        p.cls = c == "aa" ? StructureClass::AlbumGroup
              : c == "al" ? StructureClass::Sampler
              : c == "vaar" ? StructureClass::ArtistVarious
              : c == "va" ? StructureClass::Various
              : c == "z" ? StructureClass::Stay
                         : StructureClass::Counted;
        p.count = p.cls == StructureClass::Counted ? c.toLongLong() : 0;
        p.groupSize = r.groupSize.toLongLong();
        p.cd = r.cd.toInt();
        plan.rows.push_back(p);
    }
    return plan;
}

} // namespace kaz::test
