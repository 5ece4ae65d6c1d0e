#include "RenameFixtures.h"

#include <algorithm>

namespace kaz::test {

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
    environment.player = player;
    return renaming(request, environment, state);
}

} // namespace kaz::test
