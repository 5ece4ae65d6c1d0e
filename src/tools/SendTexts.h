#pragma once

#include "platform/Language.h"

#include <QString>

namespace kaz {

// The messages of copying, moving and deleting, in both languages.
enum class SendText {
    ReallyDelete,
    DestinationError,
    NotEnoughSpace,
    FileExists,
    SomeNotMoved,
    DeletedForGood, // follows a count
    NotHandled,     // follows a count
    CannotTrash,    // follows a count, precedes the names
    NotTrashedKept, // the reason a file stayed
};

QString sendText(SendText id, Language language);

} // namespace kaz
