#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The dialog templates of the resource script, read as data so that a dialog drawn
// without the OS's dialog manager has the same controls in the same places.
enum class ControlKind { Text, GroupBox, PushButton, CheckBox, RadioButton, OwnerDrawButton, ListBox, ComboBox, Trackbar, Edit, Area };
enum class TextAlign { Left, Centre, Right };

struct ControlTemplate {
    ControlKind kind = ControlKind::Text;
    int id = -1;
    std::string caption;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
    bool sorted = false;      // list and combo boxes that keep their items in order
    bool startsGroup = false; // the first radio button of a group
    TextAlign align = TextAlign::Left;
};

struct DialogTemplate {
    std::string caption;
    int width = 0, height = 0;  // dialog units
    std::vector<ControlTemplate> controls;
};

// The DIALOG/DIALOGEX templates of script by identifier; names are resolved through the
// #define lines of header and of the script itself. Statements it does not know are
// skipped; a template whose name does not resolve to a number is left out.
std::map<int, DialogTemplate> ParseDialogTemplates(std::string_view script, std::string_view header);

// The templates of the plug-in's own resource script, read once.
const std::map<int, DialogTemplate>& BuiltInDialogTemplates();
