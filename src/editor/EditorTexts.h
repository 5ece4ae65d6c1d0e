#pragma once

#include "platform/Language.h"
#include "platform/TextCodec.h"

#include <QString>

namespace kaz {

enum class LongField { Title, Artist, Album };

// "Artist" / "Interpret" as the label shows it before anything is typed.
QString longFieldName(LongField field, Language language);
// The label while the field is typed: name, " (", length, ")" and
// " extended" beyond 30 code-page characters.
QString longFieldLabel(LongField field, const QString &text, Language language,
                       const TextCodec &codec = defaultTextCodec());
// True when the text needs the Lyrics3 block.
bool isExtended(const QString &text, const TextCodec &codec = defaultTextCodec());

enum class HeaderState { Tag, Extended, NoTag };
QString headerText(HeaderState state, Language language);
// The header for the texts as they are typed.
HeaderState headerFor(const QString &title, const QString &artist, const QString &album,
                      const TextCodec &codec = defaultTextCodec());

// Where the values shown came from when the file has no ID3v1 tag but an
// ID3v2 tag (version 2, 3 or 4) stood in; empty for version 0.
QString id3v2SourceText(int version, Language language);

// "k/n": this file's place among the selected ones.
QString sequenceText(int position, int count);

} // namespace kaz
