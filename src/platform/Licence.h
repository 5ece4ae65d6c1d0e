#pragma once

namespace kaz {

// What "--version" of both programs says after the version.
inline constexpr char kLicenceNote[] =
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

} // namespace kaz
