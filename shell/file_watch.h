#pragma once
// Notices when any of a set of files is saved: their modification times and
// sizes are compared with those seen last.
#include <cstdint>
#include <string>
#include <vector>

class FileWatch {
public:
    // Watches these files (relative to the current directory) from now on;
    // a file missing now counts as changed once it appears.
    void watch(const std::vector<std::string>& paths);
    // True when a watched file was written, replaced, removed or created
    // since watch or the previous call that said true.
    bool changed();

private:
    struct Seen {
        std::string path;
        int64_t modified = 0;  // ns since the clock's epoch; 0 while missing
        int64_t size = -1;     // -1 while missing
    };
    static Seen look(const std::string& path);

    std::vector<Seen> seen_;
};
