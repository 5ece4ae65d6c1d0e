#include "SmallVolume.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace kaz::test {

SmallVolume::SmallVolume(const QString &folder, int kilobytes)
    : m_folder(folder)
{
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0755";
    m_mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.constData())
                == 0;
}

SmallVolume::~SmallVolume()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

void SmallVolume::fill() const
{
    const int fd = ::open(QFile::encodeName(m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const QByteArray chunk(4096, 'f');
    while (::write(fd, chunk.constData(), chunk.size()) > 0) {
    }
    while (::write(fd, chunk.constData(), 1) > 0) {
    }
    ::close(fd);
}

} // namespace kaz::test
