// Loading and saving presets. A preset is read into a chain of its own and goes in only
// once it has been read whole, so that a failure leaves the engine's chain as it was.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <memory>
#include <vector>

#include "capi/engine_handle.h"
#include "engine/effect_chain.h"
#include "engine/preset_bytes.h"
#include "player/input_file.h"
#include "host/preset_document.h"
#include "host/preset_library.h"
#include "host/preset_loading.h"

static_assert(QELV_PRESET_MAX_BYTES == kPresetCapacity);

namespace {
constexpr double kLongestTransition = 60.0;

int LoadBytes(qelv_engine* engine, const uint8_t* data, size_t size, PresetForm form, const std::string& name) {
    auto incoming = std::make_unique<EffectChain>();
    std::string error;
    if (!LoadPresetBytes(*incoming, data, size, form, name, error)) return engine->Fail(QELV_ERROR_PRESET, error);
    std::lock_guard<std::mutex> lock(engine->drawLock);
    engine->renderer.ChangeChain(*incoming);
    return QELV_OK;
}

int LoadFile(qelv_engine* engine, const std::string& path) {
    const PresetForm form = FormOfPresetFile(path);
    std::vector<uint8_t> bytes;
    bool cut = false;
    std::string error;
    // One byte past what either form may hold tells a JSON file too large from one that fits.
    const size_t limit = form == PresetForm::Json ? kMaxPresetJsonBytes + 1 : size_t(kPresetCapacity);
    if (!ReadWholeFile(path, limit, bytes, cut, error)) return engine->Fail(QELV_ERROR_IO, error);
    return LoadBytes(engine, bytes.data(), bytes.size(), form, "'" + path + "'");
}

// The shipped presets of an installed library lie beside its own folder.
std::string InstalledPresetFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&qelv_load_shipped_preset), &info) || !info.dli_fname) return {};
    std::error_code error;
    const std::filesystem::path library = std::filesystem::canonical(info.dli_fname, error);
    return error ? std::string() : PresetFolderFromLibraryFolder(library.parent_path().string());
}
}  // namespace

int qelv_load_preset_file(qelv_engine* engine, const char* path) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!path) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_load_preset_file needs a path");
        return LoadFile(engine, path);
    });
}

int qelv_load_preset_memory(qelv_engine* engine, const void* data, size_t size) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!data && size > 0) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_load_preset_memory needs the data");
        const auto* bytes = static_cast<const uint8_t*>(data);
        const bool binary = IsPresetHeader(bytes, int32_t(std::min(size, size_t(kPresetHeaderBytes))));
        return LoadBytes(engine, bytes, size, binary ? PresetForm::Binary : PresetForm::Json, "the preset in memory");
    });
}

int qelv_load_shipped_preset(qelv_engine* engine, const char* name) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!name) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_load_shipped_preset needs a name");
        const std::vector<std::string> folders = PresetLibraryFolders(InstalledPresetFolder());
        const std::string path = FindShippedPreset(name, folders);
        if (path.empty()) {
            std::string searched;
            for (const std::string& folder : folders) searched += (searched.empty() ? "" : ", ") + folder;
            return engine->Fail(QELV_ERROR_NOT_FOUND,
                                "no shipped preset is named '" + std::string(name) + "' (looked in " + searched + ")");
        }
        return LoadFile(engine, path);
    });
}

int qelv_save_preset(qelv_engine* engine, void* buffer, size_t capacity, size_t* size) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!size) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_save_preset needs a place for the size");
        std::vector<uint8_t> bytes(static_cast<size_t>(kPresetCapacity));
        int32_t length;
        {
            std::lock_guard<std::mutex> lock(engine->drawLock);
            length = WritePresetBytes(engine->engine.chain, bytes.data(), kPresetCapacity);
        }
        if (length < 0) return engine->Fail(QELV_ERROR_PRESET, "the chain is larger than a preset can hold (1 MiB)");
        *size = size_t(length);
        if (!buffer && capacity == 0) return QELV_OK;
        if (!buffer || capacity < size_t(length))
            return engine->Fail(QELV_ERROR_ARGUMENT, "the preset takes " + std::to_string(length) +
                                                         " bytes, more than the buffer's " + std::to_string(capacity));
        std::memcpy(buffer, bytes.data(), size_t(length));
        return QELV_OK;
    });
}

int64_t TransitionBlocks(double seconds, int32_t fps) { return int64_t(std::ceil(seconds * fps)); }

int qelv_set_transition(qelv_engine* engine, double seconds) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!(seconds >= 0 && seconds <= kLongestTransition))
            return engine->Fail(QELV_ERROR_ARGUMENT, "a transition of " + std::to_string(seconds) +
                                                         " seconds: from 0 to 60 are taken");
        std::lock_guard<std::mutex> lock(engine->drawLock);
        engine->transitionSeconds = seconds;
        engine->renderer.SetTransition(TransitionBlocks(seconds, engine->renderer.fps()));
        return QELV_OK;
    });
}
