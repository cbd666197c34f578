#pragma once
#include <string>
#include <utility>
#include <vector>

// What the native file chooser shows and where it goes, without any drawing: the current
// folder's sub-folders and files through a filter, and the moves between folders. Nothing
// here throws: a folder that cannot be read, vanished, or holds odd names leaves an error
// line and an empty or partial listing.
struct BrowserFilter {
    std::string label;
    std::vector<std::string> patterns;  // "*.qlp", "*"; '*' and '?' match, letters in either case
};

struct BrowserEntry {
    std::string name;   // the bytes on disk
    std::string label;  // the same as valid UTF-8, for showing
    bool folder = false;
};

// name's bytes with every byte that is not part of valid UTF-8, and every control
// character, shown as U+FFFD.
std::string ShownName(const std::string& name);
bool MatchesPattern(const std::string& name, const std::string& pattern);

class FileBrowser {
public:
    explicit FileBrowser(std::vector<BrowserFilter> filters);

    // Moves to folder (made absolute) and lists it; false, with the error line, when the
    // listing failed. The folder stays current either way, so that Up still leads out.
    bool Open(const std::string& folder);
    void Refresh() { Open(current); }
    bool Up();
    // A path typed into the path box, absolute or relative to the current folder ("~"
    // is the home folder); a path that is no folder leaves everything but the error line.
    bool GoTo(const std::string& typed);
    void SetFilter(int index);

    const std::string& folder() const { return current; }
    const std::vector<BrowserEntry>& entries() const { return listed; }
    const std::string& error() const { return problem; }
    const std::vector<BrowserFilter>& filters() const { return filterList; }
    int filter() const { return chosenFilter; }
    // The current folder's ancestors and itself, outermost first: what to show, where to go.
    std::vector<std::pair<std::string, std::string>> Segments() const;

    // What a name typed into the file-name box stands for.
    struct Target {
        enum class Kind { Nothing, Folder, File } kind = Kind::Nothing;
        std::string path;
        bool exists = false;  // File: something is already there
    };
    // A relative name is taken in the current folder; a file name without an extension
    // gains defaultExtension (without its dot; empty adds nothing).
    Target Resolve(const std::string& typed, const std::string& defaultExtension) const;

    // Listings stop here, so that a huge folder cannot stall the picture.
    static constexpr size_t kMaxEntries = 20000;

private:
    bool Matches(const std::string& name) const;
    std::vector<BrowserFilter> filterList;
    int chosenFilter = 0;
    std::string current, problem;
    std::vector<BrowserEntry> listed;
};
