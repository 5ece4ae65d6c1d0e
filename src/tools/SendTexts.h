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
};

QString sendText(SendText id, Language language);

} // namespace kaz
