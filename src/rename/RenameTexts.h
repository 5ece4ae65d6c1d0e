#pragma once

#include "platform/Language.h"

#include <QString>

namespace kaz {

// The texts of renaming by tag that are not message boxes: status line,
// preview headers and cells, the pattern example. Message-box texts live in
// the shared table (platform/Messages.h).
enum class RenameText {
    CalculatingPreview,
    RenamingFiles,
    NoId3Tag,
    NoArtist,
    NoAlbum,
    NoTitle,
    HeaderStatus,
    HeaderInfo,
    HeaderCurrentName,
    HeaderPreviewedName,
    HeaderCurrentPath,
    StatusExcluded,
    StatusMarked,
    StatusMarkedExcluded,
    Modified,
    WordArtist,
    WordAlbum,
    WordTitle,
    CommentSuffix,
    JolietSuffix,
    DelimiterNotAllowed,
    Deactivated,
    UserTextDefault,
    AnotherRunActive,
};

QString renameText(RenameText id, Language language);

// Why a run did not start for want of the run lock: the problem that kept
// it from being taken (lockProblem), or else that another run holds it.
QString runLockRefusal(const QString &lockProblem, Language language);

// The preview dialog's caption for the number of files that will be marked.
QString previewCaption(int notRenamed, Language language);

} // namespace kaz
