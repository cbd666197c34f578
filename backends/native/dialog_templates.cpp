#include "backends/native/dialog_templates.h"

#include <charconv>
#include <sstream>

#include "dialog_template_text.h"  // generated at build time from ui/qelv.rc and ui/resource_ids.h

namespace {
using Defines = std::map<std::string, std::string, std::less<>>;

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

void ReadDefines(std::string_view text, Defines& defines) {
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        std::string_view rest = Trim(line);
        if (!rest.starts_with("#define")) continue;
        rest = Trim(rest.substr(7));
        const size_t space = rest.find_first_of(" \t");
        if (space == std::string_view::npos) continue;
        defines[std::string(rest.substr(0, space))] = std::string(Trim(rest.substr(space)));
    }
}

// A name followed through the defines to what it finally stands for.
std::string Resolve(std::string_view token, const Defines& defines) {
    std::string value(Trim(token));
    for (int depth = 0; depth < 8; ++depth) {
        auto found = defines.find(value);
        if (found == defines.end()) break;
        value = found->second;
    }
    return value;
}

bool ToInt(std::string_view text, int& value) {
    text = Trim(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// The quoted string at the start of text (doubled quotes stand for one); text moves past it.
bool TakeQuoted(std::string_view& text, std::string& value) {
    text = Trim(text);
    if (text.empty() || text[0] != '"') return false;
    value.clear();
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '"') {
            value += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            value += '"';
            ++i;
        } else {
            text = text.substr(i + 1);
            return true;
        }
    }
    return false;
}

std::vector<std::string_view> SplitCommas(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    bool quoted = false;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '"') quoted = !quoted;
        if (i == text.size() || (text[i] == ',' && !quoted)) {
            fields.push_back(Trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    return fields;
}

// Style flags after the defines are applied; "NOT X" is kept as one word.
std::vector<std::string> StyleWords(std::string_view style, const Defines& defines) {
    std::vector<std::string> words;
    std::istringstream parts{Resolve(style, defines)};
    std::string part;
    bool negate = false;
    while (parts >> part) {
        if (part == "|") continue;
        if (part == "NOT") {
            negate = true;
            continue;
        }
        std::string resolved = Resolve(part, defines);
        if (resolved != part && resolved.find('|') != std::string::npos) {
            for (const std::string& inner : StyleWords(resolved, defines)) words.push_back(inner);
        } else {
            words.push_back(negate ? "NOT " + part : part);
        }
        negate = false;
    }
    return words;
}

ControlKind KindOf(const std::string& windowClass, const std::vector<std::string>& style) {
    auto has = [&](const char* word) {
        for (const std::string& s : style)
            if (s == word) return true;
        return false;
    };
    if (windowClass == "Button") {
        if (has("BS_GROUPBOX")) return ControlKind::GroupBox;
        if (has("BS_AUTOCHECKBOX") || has("BS_CHECKBOX")) return ControlKind::CheckBox;
        if (has("BS_AUTORADIOBUTTON") || has("BS_RADIOBUTTON")) return ControlKind::RadioButton;
        if (has("BS_OWNERDRAW")) return ControlKind::OwnerDrawButton;
        return ControlKind::PushButton;
    }
    if (windowClass == "ListBox") return ControlKind::ListBox;
    if (windowClass == "ComboBox") return ControlKind::ComboBox;
    if (windowClass == "msctls_trackbar32") return ControlKind::Trackbar;
    if (windowClass == "Edit") return ControlKind::Edit;
    if (has("SS_BLACKRECT") || has("NOT WS_VISIBLE")) return ControlKind::Area;
    return ControlKind::Text;
}

// CONTROL "text", id, class, style, x, y, width, height
bool ReadControl(std::string_view rest, const Defines& defines, ControlTemplate& control) {
    if (!TakeQuoted(rest, control.caption)) return false;
    std::vector<std::string_view> fields = SplitCommas(Trim(rest));
    // The text is followed by a comma, so the first field is empty.
    if (fields.size() != 8 || !fields[0].empty()) return false;
    if (!ToInt(Resolve(fields[1], defines), control.id)) return false;
    std::string windowClass = Resolve(fields[2], defines);
    std::string_view classText = windowClass;
    std::string unquoted;
    if (TakeQuoted(classText, unquoted)) windowClass = unquoted;
    const std::vector<std::string> style = StyleWords(fields[3], defines);
    control.kind = KindOf(windowClass, style);
    for (const std::string& word : style) {
        control.sorted |= word == "LBS_SORT" || word == "CBS_SORT";
        control.startsGroup |= word == "WS_GROUP";
        if (word == "SS_RIGHT") control.align = TextAlign::Right;
        if (word == "SS_CENTER") control.align = TextAlign::Centre;
    }
    return ToInt(fields[4], control.x) && ToInt(fields[5], control.y) && ToInt(fields[6], control.width) &&
           ToInt(fields[7], control.height);
}
}  // namespace

std::map<int, DialogTemplate> ParseDialogTemplates(std::string_view script, std::string_view header) {
    Defines defines;
    ReadDefines(header, defines);
    ReadDefines(script, defines);

    std::map<int, DialogTemplate> templates;
    DialogTemplate* current = nullptr;
    std::istringstream lines{std::string(script)};
    std::string line;
    while (std::getline(lines, line)) {
        std::string_view text = Trim(line);
        std::istringstream words{std::string(text)};
        std::string first, second;
        words >> first >> second;
        if (second == "DIALOG" || second == "DIALOGEX") {
            int id = 0;
            current = nullptr;
            if (!ToInt(Resolve(first, defines), id)) continue;
            current = &templates[id];
            std::string place;
            std::getline(words, place);
            std::vector<std::string_view> box = SplitCommas(place);
            if (box.size() >= 4) {
                ToInt(box[2], current->width);
                ToInt(box[3], current->height);
            }
        } else if (!current) {
            continue;
        } else if (first == "CAPTION") {
            std::string_view rest = Trim(text.substr(first.size()));
            TakeQuoted(rest, current->caption);
        } else if (first == "CONTROL") {
            ControlTemplate control;
            if (ReadControl(text.substr(first.size()), defines, control)) current->controls.push_back(control);
        } else if (first == "END") {
            current = nullptr;
        }
    }
    return templates;
}

const std::map<int, DialogTemplate>& BuiltInDialogTemplates() {
    static const std::map<int, DialogTemplate> templates = ParseDialogTemplates(kResourceScript, kResourceIds);
    return templates;
}
