#pragma once

#include "NameExtraction.h"

#include "platform/TextCodec.h"

#include <QStringList>

#include <functional>

namespace kaz {

// Reads what the extraction needs of each file: its tag and, for the year
// from the file's date, its modification year. Short and unreadable files
// count as untagged without a message. progress(done, total) is called per file.
QList<NameSource> readNameSources(const QStringList &paths, const TextCodec &codec, bool withDates,
                                  const std::function<void(int, int)> &progress = {});

} // namespace kaz
