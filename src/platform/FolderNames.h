#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace kaz {

// The names a folder held when it was read, as the system holds them, and
// the names added since. A run that gives many files of one folder new
// names looks at the folder once: a name not among these was free when it
// was read, and only another program can have taken it since (the rename
// itself still refuses a taken name).
class FolderNames
{
public:
    // Reads the names of the folder that dirFd (an O_PATH descriptor will
    // do) stands for; false, with nothing kept, when it cannot be read.
    bool read(int dirFd);
    bool isRead() const { return m_read; }
    void clear();

    bool contains(std::string_view name) const { return m_names.find(name) != m_names.end(); }
    void add(std::string_view name) { m_names.emplace(name); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
    };
    bool m_read = false;
    std::unordered_set<std::string, Hash, std::equal_to<>> m_names;
};

} // namespace kaz
