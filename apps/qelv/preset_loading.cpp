#include "apps/qelv/preset_loading.h"

#include <cerrno>
#include <cstring>

#include "pipeline/autosave.h"
#include "pipeline/effect_chain.h"
#include "pipeline/preset_bytes.h"

bool LoadPresetFile(const std::string& path, std::string& error) {
    const PresetBuffer buffer;
    if (!buffer.bytes) {
        error = "out of memory reading '" + path + "'";
        return false;
    }
    const int32_t length = ReadPresetFile(path.c_str(), buffer.bytes.get());
    if (length < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    if (!IsPresetHeader(buffer.bytes.get(), length)) {
        error = "'" + path + "' is not a preset (Invalid Preset)";
        return false;
    }
    ClearChain();
    ReadPresetBytes(buffer.bytes.get(), length);
    return true;
}
