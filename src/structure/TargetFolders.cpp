#include "TargetFolders.h"

#include "CdSize.h"
#include "UpperCase.h"

#include "rename/NameComposer.h"

namespace kaz {

QString safeFolderName(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (c.unicode() < 32 || c == u'/' || c.unicode() == 127)
            c = u'_';
    }
    for (qsizetype i = 0; i < safe.size() && safe[i] == u'.'; ++i)
        safe[i] = u'_';
    return fitFileName(safe, QString());
}

QString cdFolderName(int cd, qint64 usedBytes)
{
    return QStringLiteral("CD%1_%2min (%3MB)")
        .arg(cd)
        .arg(usedBytes / kCdMinuteBytes + 1)
        .arg(usedBytes / kMegabyte + 1);
}

QStringList targetFolders(const StructureRow &row, const StructurePlacement &placement, const StructurePlan &plan,
                          const StructureSettings &settings)
{
    if (placement.cls == StructureClass::Stay || placement.cls == StructureClass::Counted)
        return {};
    QStringList folders;
    const auto add = [&folders](const QString &name) {
        const QString safe = safeFolderName(name);
        if (!safe.isEmpty())
            folders.append(safe);
    };
    if (settings.fitOnCdr && placement.cd > 0 && size_t(placement.cd) <= plan.cdUsed.size())
        folders.append(cdFolderName(placement.cd, plan.cdUsed[size_t(placement.cd - 1)]));
    const QString artist = settings.createDir == CreateDirMode::Album ? QString() : row.artist;
    const QString album = settings.createDir == CreateDirMode::Artist ? QString() : row.album;
    const bool prefixes = settings.createAlbumAndSamplerDirs;
    switch (placement.cls) {
    case StructureClass::AlbumGroup:
        if (prefixes)
            folders.append(QStringLiteral("Album"));
        add(artist);
        add(album);
        add(row.multiCd);
        break;
    case StructureClass::Sampler:
        if (prefixes)
            folders.append(QStringLiteral("Sampler"));
        add(album);
        add(row.multiCd);
        break;
    case StructureClass::ArtistVarious:
        if (prefixes)
            folders.append(QStringLiteral("Album"));
        add(artist);
        add(settings.variousDir);
        break;
    case StructureClass::Various:
        add(settings.variousDir);
        break;
    case StructureClass::Stay:
    case StructureClass::Counted:
        break;
    }
    return folders;
}

QString FolderSpelling::spell(const QStringList &folders)
{
    qsizetype length = 0;
    for (const QString &folder : folders)
        length += folder.size() + 1;
    QString key;
    key.reserve(length);
    QString spelled;
    for (const QString &folder : folders) {
        key += upperCase(folder) + QLatin1Char('/');
        auto found = m_first.constFind(key);
        if (found == m_first.cend())
            found = m_first.insert(key, spelled + folder + QLatin1Char('/'));
        spelled = *found;
    }
    return spelled;
}

} // namespace kaz
