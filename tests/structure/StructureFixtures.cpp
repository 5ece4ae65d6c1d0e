#include "StructureFixtures.h"

#include <QDir>
#include <QFile>

namespace kaz::test {

QString putSong(const QString &dir, const QString &name, const QString &artist, const QString &album,
                const QString &comment, int frames)
{
    const QString path = dir + QLatin1Char('/') + name;
    writeAll(path, mp3WithTag(values(name, artist, album, QStringLiteral("2001"), comment), frames));
    return path;
}

void eightSongs(const QString &dir, const QString &artist, const QString &album, const QString &prefix,
                const QString &comment)
{
    for (int i = 0; i < 8; ++i)
        putSong(dir, prefix + QString::number(i) + QStringLiteral(".mp3"), artist, album, comment);
}

QString putLargeSong(const QString &dir, const QString &name, const QString &artist, const QString &album,
                     qint64 size)
{
    const QByteArray tail = mp3WithTag(values(name, artist, album), 1);
    const QString path = dir + QLatin1Char('/') + name;
    QDir().mkpath(dir);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.resize(size - tail.size());
    f.seek(size - tail.size());
    f.write(tail);
    return path;
}

StructureRequest StructureFixture::request(const QString &base) const
{
    StructureRequest r;
    r.base = base + QLatin1Char('/');
    r.context.settings = settings;
    r.context.tags.quietWhenShort = true;
    r.preview = preview;
    return r;
}

StructureEnvironment StructureFixture::environment()
{
    StructureEnvironment e;
    e.prompter = &prompter;
    e.language = Language::English;
    e.player = player;
    e.hooks = hooks;
    return e;
}

StructureOutcome StructureFixture::build(const QString &base)
{
    return make_dstructure(request(base), environment(), state);
}

StructureOutcome StructureFixture::breakUp(const QString &base, BreakMode mode)
{
    return breakStructure(request(base), mode, environment(), state);
}

StructureOutcome StructureFixture::reorganize(const QString &base)
{
    return reorganizeStructure(request(base), environment(), state);
}

} // namespace kaz::test
