#include "RenameFixtures.h"

#include <QDirIterator>

#include <algorithm>

namespace kaz::test {

QString putTagged(const QString &dir, const QString &name, const TagValues &v)
{
    const QString path = dir + QLatin1Char('/') + name;
    writeAll(path, mp3WithTag(v));
    return path;
}

QString putUntagged(const QString &dir, const QString &name)
{
    DemoFile f;
    f.tagged = false;
    const QString path = dir + QLatin1Char('/') + name;
    writeAll(path, demoFileBytes(f));
    return path;
}

QStringList namesIn(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return names;
}

QList<QByteArray> hashesOnly(const QString &dir)
{
    QList<QByteArray> hashes = treeHashes(dir).values();
    std::sort(hashes.begin(), hashes.end());
    return hashes;
}

RenameSettings artistTitle()
{
    RenameSettings s;
    s.secondField = NameField::Title;
    s.thirdField = NameField::None;
    return s;
}

RenameOutcome RunFixture::run(const RenameSettings &settings, const QString &start, const QStringList &selection,
                              bool preview, bool usePreviewList)
{
    RenameRequest request;
    request.settings = settings;
    request.startFolder = start;
    request.selection = selection;
    request.preview = preview;
    request.usePreviewList = usePreviewList;
    RenameEnvironment environment;
    environment.prompter = &prompter;
    environment.language = Language::English;
    return renaming(request, environment, state);
}

} // namespace kaz::test
