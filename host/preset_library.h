#pragma once
#include <string>
#include <vector>

// The shipped presets: where they are and how a bare name finds one. The folders are
// searched in order: the one installed beside the tool (PREFIX/share/qelv/presets for
// PREFIX/bin/qelv), then the source tree's presets/ for a run from the build tree.
std::vector<std::string> PresetLibraryFolders();
// The same for a program installed elsewhere: its installed folder (left out when empty),
// then the source tree's.
std::vector<std::string> PresetLibraryFolders(const std::string& installed);
// The installed folder seen from the folder of a library in PREFIX/LIBDIR.
std::string PresetFolderFromLibraryFolder(const std::string& libraryFolder);

// The first NAME, NAME.qlp or NAME.json in the folders; empty when there is none.
std::string FindShippedPreset(const std::string& name, const std::vector<std::string>& folders);

// The file that --preset means: the given path when it names a file; otherwise, for a
// name without a folder, the first NAME, NAME.qlp or NAME.json in the folders; otherwise
// the given text as it is, so that the error names what was asked for.
std::string FindPreset(const std::string& given, const std::vector<std::string>& folders);

// The first of the folders that holds a preset file (.qlp); empty when none does.
std::string LibraryFolder(const std::vector<std::string>& folders);

// The .qlp files of a folder, sorted by name; empty for a folder that cannot be read.
std::vector<std::string> PresetFilesIn(const std::string& folder);

// Every preset file of a folder in either form, one per name (the .qlp where both forms
// are there), sorted by name.
std::vector<std::string> PresetFilesInEitherForm(const std::string& folder);

// For a name that FindPreset finds no file for: the shipped names nearest to it (letter
// case aside, the fewest letters changed), as a sentence to put after the error; empty
// when the name is a path or nothing ships close to it.
std::string NearestPresetHint(const std::string& given, const std::vector<std::string>& folders);

// A preset's name: its file name without the folder and extension.
std::string PresetName(const std::string& path);
