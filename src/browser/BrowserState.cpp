#include "BrowserState.h"

namespace kaz {

QStringList BrowserState::selectedNames() const
{
    QStringList names;
    names.reserve(selectedRows.size());
    for (int row : selectedRows)
        if (row >= 0 && row < files.size())
            names << files.at(row);
    return names;
}

} // namespace kaz
