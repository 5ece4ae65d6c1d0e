#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <string>

namespace kaz {

// One entry of a folder as the file system lists it.
struct FolderEntry {
    // A name that is not valid UTF-8 cannot be told apart from others once
    // decoded: such a folder or file has a kind of its own, so that nothing
    // ever works on it (or, by mistake, on another file).
    enum Kind { Folder, File, Other, UndecodableFolder, UndecodableFile };
    QString name; // for the undecodable kinds: shown with \xNN for the bad bytes
    Kind kind = Other;
};

// The entries of a folder without "." and "..", sorted by name. Symbolic
// links count as Other, so that walking a tree never follows one into a
// loop. A folder that cannot be read gives no entries (ok false, error the
// reason).
QList<FolderEntry> listFolder(const QString &folder, bool *ok = nullptr, int *error = nullptr);

// Raw name bytes made readable: valid UTF-8 as it is, other bytes as \xNN.
QString escapedName(QByteArrayView raw);
// True when the bytes are the encoding of a name that decodes back to them.
bool isDecodableName(QByteArrayView raw);

// Appends a name or path as the bytes a system call takes, the bytes
// NativeName gives; a name of plain ASCII (nearly every one) is copied
// straight, without a converter.
void appendNativeBytes(std::string &out, QStringView name);

// The size of a regular file; -1 when the path is no regular file.
qint64 regularFileSize(const QString &path);

// Whether anything (a file, folder or link) is at the path.
bool pathExists(const QString &path);

} // namespace kaz
