#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kaz {

// Reads one of the program's own files (settings, work files, the registry
// stand-in) whole: only a regular file, and only up to maxBytes, so that a
// FIFO, a device or a file gigabytes long never makes a command hang or run
// out of memory. Returns false when the file is missing or refused; problem
// then says why a file that is there was refused (empty when missing).
bool readSmallFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *problem = nullptr);

// True when the path is a regular file (or missing); problem says what it is
// otherwise. For readers that go through a file line by line.
bool isRegularOrMissing(const QString &path, QString *problem = nullptr);

// Opens one of the program's own work files as QFile::open would with mode
// (WriteOnly, Truncate, Append, ReadOnly): never through a symbolic link,
// never blocking, and only a regular file; a new one is made for writing.
// A link, a FIFO, a folder or a device at the name is left alone: false,
// and problem says so (empty when a file to read is missing).
bool openWorkFile(QFile &file, QIODevice::OpenMode mode, QString *problem = nullptr);
// The same as a descriptor (-1 when refused), for writers that write by hand.
int openWorkFileDescriptor(const QString &path, QIODevice::OpenMode mode, QString *problem = nullptr);

// Writes one of the program's own files whole: under a temporary name in
// its folder, flushed to the disk, then renamed into place, so that the
// file holds the old content or the new, never a part. False when that
// failed; problem then names the file and the system's error, and the file
// is as it was.
bool writeSmallFile(const QString &path, const QByteArray &bytes, QString *problem = nullptr);

} // namespace kaz
