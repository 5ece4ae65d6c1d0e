#pragma once

#include "NameExtraction.h"

#include "platform/TextCodec.h"

#include <QStringList>

#include <functional>

namespace kaz {

// Reads what the extraction needs of each file: its tag and, for the year
// from the file's date, its modification year. Short and unreadable files
// count as untagged without a message. progress(done, total) is called per file.
// useId3v2: the tag source, the ID3v2 tag's values where a file has no ID3v1 tag.
QList<NameSource> readNameSources(const QStringList &paths, const TextCodec &codec, bool withDates,
                                  const std::function<void(int, int)> &progress = {}, bool useId3v2 = false);

} // namespace kaz
