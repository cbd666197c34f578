#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "apps/qelv/commands.h"
#include "host/preset_document.h"
#include "host/preset_library.h"
#include "host/preset_loading.h"
#include "engine/preset_bytes.h"
#include "player/input_file.h"
#include "player/output_file.h"
#include "backends/native/tool_messages.h"

namespace {
const char kUsage[] =
    "usage: qelv preset list [FOLDER]\n"
    "       qelv preset show PRESET\n"
    "       qelv preset to-json PRESET [-o FILE.json]\n"
    "       qelv preset from-json PRESET -o FILE.qlp\n"
    "PRESET is a preset file in either form (.qlp, or .json as to-json writes it) or the\n"
    "name of a shipped one, as 'qelv preset list' shows them.\n";

int Fail(const std::string& message) {
    std::fprintf(ToolMessages(), "qelv preset: %s\n", message.c_str());
    return 1;
}

// A preset file in either form, or a shipped preset by name; errors name what was asked
// for, and a name that finds nothing is told the nearest shipped ones.
bool LoadPreset(const std::string& given, PresetDocument& document, std::string& error) {
    const std::vector<std::string> folders = PresetLibraryFolders();
    const std::string path = FindPreset(given, folders);
    if (FormOfPresetFile(path) == PresetForm::Json) {
        std::string note;
        if (!ReadPresetJsonFile(path, document, error, &note)) return false;
        PrintNotes("qelv preset", note);
        return true;
    }
    std::vector<uint8_t> bytes;
    bool cut = false;
    if (!ReadWholeFile(path, size_t(kPresetCapacity), bytes, cut, error)) {
        error += NearestPresetHint(given, folders);
        return false;
    }
    if (cut)
        std::fprintf(ToolMessages(), "qelv preset: %s is larger than 1 MiB; only its first 1048576 bytes are read\n",
                     path.c_str());
    if (!ParsePreset(bytes, document, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

// One line per preset of the library (or of the folder given): its name, then its
// effects in chain order.
int List(const std::string& folder) {
    const std::string library = folder.empty() ? LibraryFolder(PresetLibraryFolders()) : folder;
    const std::vector<std::string> paths = PresetFilesInEitherForm(library);
    if (paths.empty()) return Fail(folder.empty() ? "no preset library found" : "no presets (.qlp or .json) in " + folder);
    int failures = 0;
    for (const std::string& path : paths) {
        PresetDocument document;
        std::string error;
        if (!LoadPreset(path, document, error)) {
            std::fprintf(ToolMessages(), "qelv preset: %s\n", error.c_str());
            ++failures;
            continue;
        }
        std::string line = PresetName(path) + ":";
        const char* separator = " ";
        for (const PresetEntry& entry : document.entries) {
            line += separator;
            line += EffectTypeName(entry.typeId);
            separator = ", ";
        }
        std::printf("%s\n", line.c_str());
    }
    return failures ? 1 : 0;
}
}  // namespace

int RunPreset(int argc, char** argv) {
    if (argc >= 1 && (!std::strcmp(argv[0], "--help") || !std::strcmp(argv[0], "-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::string action = argc >= 1 ? argv[0] : "", input, output;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "-o") && i + 1 < argc) output = argv[++i];
        else if (input.empty() && argv[i][0] != '-') input = argv[i];
        else {
            std::fprintf(ToolMessages(), "qelv preset: unexpected argument '%s'\n%s", argv[i], kUsage);
            return 2;
        }
    }
    if (action == "list") {
        if (!output.empty()) {
            std::fputs(kUsage, ToolMessages());
            return 2;
        }
        return List(input);
    }
    const bool known = action == "show" || action == "to-json" || action == "from-json";
    if (!known || input.empty() || (action == "show" && !output.empty())) {
        std::fputs(kUsage, ToolMessages());
        return 2;
    }
    if (action == "from-json" && output.empty()) {
        std::fprintf(ToolMessages(), "qelv preset: from-json writes the binary form, which needs a file: add -o FILE.qlp\n");
        return 2;
    }

    std::string error;
    PresetDocument document;
    if (!LoadPreset(input, document, error)) return Fail(error);
    if (action == "from-json") {
        const std::vector<uint8_t> bytes = SerializePreset(document);
        if (!WriteWholeFile(output, bytes.data(), bytes.size(), error)) return Fail(error);
        return 0;
    }
    if (action == "show") {
        std::fputs(DescribePreset(document).c_str(), stdout);
        return 0;
    }
    const std::string json = PresetToJson(document).dump(2) + "\n";
    if (output.empty()) {
        std::fputs(json.c_str(), stdout);
        return 0;
    }
    return WriteWholeFile(output, json.data(), json.size(), error) ? 0 : Fail(error);
}
