#pragma once

#include <QString>

namespace kaz::test {

// A small tmpfs mounted on a folder of the test's own, for free-space and
// cross-file-system cases; unmounted again at the end. Mounting needs root
// (CI runs as root): isMounted() tells whether it worked.
class SmallVolume
{
public:
    SmallVolume(const QString &folder, int kilobytes);
    ~SmallVolume();
    SmallVolume(const SmallVolume &) = delete;
    SmallVolume &operator=(const SmallVolume &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder; }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace kaz::test
