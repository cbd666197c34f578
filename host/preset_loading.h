#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/preset_document.h"

struct EffectChain;

// A preset's JSON form (qelv preset to-json) read from a file; errors name the file.
bool ReadPresetJsonFile(const std::string& path, PresetDocument& document, std::string& error,
                        std::string* note = nullptr);

// Replaces the chain with a preset file's, as the control panel's Load does: the file's
// first 1 MiB, the chain emptied, then the preset's bytes. A file named ".json" is taken
// as the JSON form of `qelv preset to-json`. A file that cannot be read or is not a preset
// leaves the chain alone and says why. Lines about a preset that loads but will not draw
// what its author may expect (cut at 1 MiB, no effect this build knows) go to note.
bool LoadPresetFile(EffectChain& chain, const std::string& path, std::string& error,
                    std::string* note = nullptr);

// The two forms of a preset, and the one a file's name says.
enum class PresetForm { Binary, Json };
PresetForm FormOfPresetFile(const std::string& path);
// What LoadPresetFile does with the bytes it has read: a preset's bytes in either form
// (of the binary form, the first 1 MiB) into the chain. `name` starts every message.
bool LoadPresetBytes(EffectChain& chain, const uint8_t* data, size_t size, PresetForm form, const std::string& name,
                     std::string& error, std::string* note = nullptr);
// The control panel's reader in the tool (InstallPresetFileReader): a ".json" file is
// handed on as the bytes of the preset it describes, any other regular file as it is;
// why a file could not be read goes to standard error.
int32_t ReadPresetFileInAnyForm(const char* path, uint8_t* buffer);
// Each line of a note on standard error after the command's name.
void PrintNotes(const char* command, const std::string& note);
