#include "backends/native/file_browser.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return uint8_t(Lower(x)) < uint8_t(Lower(y)); });
}

// Length of the UTF-8 sequence at text[at], or 0 when it is not a valid one (overlong
// forms, surrogates and code points past U+10FFFF included).
size_t SequenceLength(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return at + i < text.size() ? uint8_t(text[at + i]) : uint8_t(0); };
    const uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    uint8_t low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

// "~" and "~/..." start in the home folder, as in a shell.
fs::path Expanded(const std::string& typed) {
    const char* home = std::getenv("HOME");
    if (home && *home && !typed.empty() && typed[0] == '~' && (typed.size() == 1 || typed[1] == '/'))
        return fs::path(home) / typed.substr(typed.size() == 1 ? 1 : 2);
    return fs::path(typed);
}

// The entry as listed, or nothing when it is hidden, filtered out or unusable.
template <typename Filter>
std::optional<BrowserEntry> Listed(const fs::directory_entry& item, const Filter& matches) {
    std::string name = item.path().filename().string();
    if (name.empty() || name[0] == '.') return std::nullopt;  // hidden, as in a shell's listing
    // Links are followed; a broken one, or an entry gone since the listing began, is left out.
    std::error_code error;
    const bool isFolder = item.is_directory(error);
    if (error) return std::nullopt;
    // Only regular files: opening a pipe or a device would wait for ever.
    if (!isFolder && (!item.is_regular_file(error) || error || !matches(name))) return std::nullopt;
    return BrowserEntry{name, ShownName(name), isFolder};
}
}  // namespace

std::string ShownName(const std::string& name) {
    std::string shown;
    for (size_t at = 0; at < name.size();) {
        const size_t length = SequenceLength(name, at);
        if (length == 0 || uint8_t(name[at]) < 0x20 || name[at] == 0x7F) {
            shown += "\xEF\xBF\xBD";
            at += length ? length : 1;
        } else {
            shown.append(name, at, length);
            at += length;
        }
    }
    return shown;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    // Greedy with one step back to the last '*': enough for glob patterns without classes.
    size_t n = 0, p = 0, starAt = std::string::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    // "*.*" means every file, with or without a dot, as the system choosers take it.
    return p == pattern.size() || pattern == "*.*";
}

FileBrowser::FileBrowser(std::vector<BrowserFilter> filters) : filterList(std::move(filters)) {}

bool FileBrowser::Matches(const std::string& name) const {
    if (filterList.empty()) return true;
    const auto& patterns = filterList[size_t(chosenFilter)].patterns;
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& p) { return MatchesPattern(name, p); });
}

bool FileBrowser::Open(const std::string& folder) {
    std::error_code error;
    fs::path where = folder.empty() ? fs::current_path(error) : fs::absolute(fs::path(folder), error);
    if (error) where = fs::path(folder.empty() ? "/" : folder);
    std::string text = where.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    current = text;
    listed.clear();
    problem.clear();
    fs::directory_iterator it(current, fs::directory_options::skip_permission_denied, error);
    if (error) {
        problem = "Cannot open " + ShownName(current) + ": " + error.message();
        return false;
    }
    const auto matches = [this](const std::string& name) { return Matches(name); };
    while (it != fs::directory_iterator()) {
        if (listed.size() == kMaxEntries) {
            problem = "Only the first " + std::to_string(kMaxEntries) + " entries are shown";
            break;
        }
        if (std::optional<BrowserEntry> entry = Listed(*it, matches)) listed.push_back(std::move(*entry));
        it.increment(error);
        if (error) break;
    }
    if (error) problem = "Cannot read all of " + ShownName(current) + ": " + error.message();
    std::sort(listed.begin(), listed.end(), [](const BrowserEntry& a, const BrowserEntry& b) {
        if (a.folder != b.folder) return a.folder;
        if (LessIgnoringCase(a.name, b.name)) return true;
        if (LessIgnoringCase(b.name, a.name)) return false;
        return a.name < b.name;  // names that differ only in case keep one order
    });
    return problem.empty();
}

bool FileBrowser::Up() {
    const fs::path here(current);
    if (!here.has_relative_path()) return false;  // at the root
    return Open(here.parent_path().string());
}

bool FileBrowser::GoTo(const std::string& typed) {
    fs::path where = Expanded(typed);
    if (where.is_relative()) where = fs::path(current) / where;
    std::error_code error;
    if (typed.empty() || !fs::is_directory(where, error)) {
        problem = "No folder " + ShownName(typed) + (error ? ": " + error.message() : std::string());
        return false;
    }
    return Open(where.string());
}

void FileBrowser::SetFilter(int index) {
    if (index < 0 || index >= int(filterList.size()) || index == chosenFilter) return;
    chosenFilter = index;
    Refresh();
}

std::vector<std::pair<std::string, std::string>> FileBrowser::Segments() const {
    std::vector<std::pair<std::string, std::string>> segments;
    fs::path sofar;
    for (const fs::path& part : fs::path(current)) {
        sofar /= part;
        segments.emplace_back(ShownName(part.string()), sofar.string());
    }
    return segments;
}

FileBrowser::Target FileBrowser::Resolve(const std::string& typed, const std::string& defaultExtension) const {
    Target target;
    if (typed.empty()) return target;
    fs::path where = Expanded(typed);
    if (where.is_relative()) where = fs::path(current) / where;
    where = where.lexically_normal();
    std::error_code error;
    if (fs::is_directory(where, error)) {
        target.kind = Target::Kind::Folder;
        target.path = where.string();
        return target;
    }
    if (!where.has_filename()) return target;  // "name/" of no folder
    if (!where.has_extension() && !defaultExtension.empty()) where += "." + defaultExtension;
    target.kind = Target::Kind::File;
    target.path = where.string();
    target.exists = fs::exists(fs::symlink_status(where, error));
    return target;
}
