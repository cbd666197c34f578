// The chain effect by effect, the settings pages and the beat detector's settings: what a
// control panel of the host's own edits. Every change goes through the operations and the
// page procedure's store that the native panels use.
#include <string>

#include "capi/engine_handle.h"
#include "core/frame_types.h"
#include "core/page_definition.h"
#include "engine/effect_chain.h"
#include "engine/effect_factory.h"
#include "ui/effect_page.h"

static_assert(QELV_MAX_CHAIN == kChainSlots);
static_assert(QELV_CONTROL_TRACKBAR == int(ControlKind::Trackbar) && QELV_CONTROL_CHECKBOX == int(ControlKind::CheckBox) &&
              QELV_CONTROL_RADIO == int(ControlKind::RadioButton) && QELV_CONTROL_COLOUR == int(ControlKind::ColourButton));

namespace {
EffectChain& Chain(qelv_engine* engine) { return engine->engine.chain; }

// The effect at index, or null after recording why there is none.
Effect* EffectAt(qelv_engine* engine, int index) {
    const int length = ChainLength(Chain(engine));
    if (index >= 0 && index < length) return Chain(engine).effects[index];
    engine->Fail(QELV_ERROR_ARGUMENT, "no effect at index " + std::to_string(index) + " of a chain of " +
                                          std::to_string(length));
    return nullptr;
}

// Runs body(chain) under the drawing lock, the engine checked first.
template <class Body>
int WithChain(qelv_engine* engine, Body&& body) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        std::lock_guard<std::mutex> lock(engine->drawLock);
        return body(Chain(engine));
    });
}

const char* TypeNames(int type) {
    static char names[kChainSlots][kEffectNameBytes];
    static const bool filled = [] {
        for (int t = 0; t < EffectTypeCount(); ++t) effectFactories[t](names[t]);
        return true;
    }();
    (void)filled;
    return names[type];
}

std::string RangeError(const char* what, int value, int low, int high) {
    return std::string(what) + " " + std::to_string(value) + ": from " + std::to_string(low) + " to " +
           std::to_string(high) + " are taken";
}
}  // namespace

int qelv_effect_type_count(void) { return EffectTypeCount(); }

const char* qelv_effect_type_name(int type) {
    return type >= 0 && type < EffectTypeCount() ? TypeNames(type) : nullptr;
}

int qelv_chain_length(qelv_engine* engine, int* length) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (!length) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_chain_length needs a place for the length");
        *length = ChainLength(chain);
        return QELV_OK;
    });
}

int qelv_chain_effect_type(qelv_engine* engine, int index, int* type) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (!type) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_chain_effect_type needs a place for the type");
        if (!EffectAt(engine, index)) return QELV_ERROR_ARGUMENT;
        *type = chain.typeIds[index];
        return QELV_OK;
    });
}

int qelv_chain_add(qelv_engine* engine, int type, int* index) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (type < 0 || type >= EffectTypeCount())
            return engine->Fail(QELV_ERROR_ARGUMENT, RangeError("effect type", type, 0, EffectTypeCount() - 1));
        if (ChainLength(chain) == kChainSlots)
            return engine->Fail(QELV_ERROR_ARGUMENT, "the chain is full: it holds " + std::to_string(kChainSlots) + " effects");
        const int slot = chain.AppendEffect(type);
        if (slot < 0) return engine->Fail(QELV_ERROR_MEMORY, "out of memory for a new effect");
        if (index) *index = slot;
        return QELV_OK;
    });
}

int qelv_chain_remove(qelv_engine* engine, int index) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (!EffectAt(engine, index)) return QELV_ERROR_ARGUMENT;
        chain.RemoveEffect(index);
        return QELV_OK;
    });
}

int qelv_chain_swap(qelv_engine* engine, int index) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (!EffectAt(engine, index) || !EffectAt(engine, index + 1)) return QELV_ERROR_ARGUMENT;
        chain.SwapEffects(index);
        return QELV_OK;
    });
}

int qelv_chain_clear(qelv_engine* engine) {
    return WithChain(engine, [&](EffectChain& chain) {
        chain.ClearChain();
        return QELV_OK;
    });
}

int qelv_framebuffer_clear(qelv_engine* engine, int* on) {
    return WithChain(engine, [&](EffectChain& chain) {
        if (!on) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_framebuffer_clear needs a place for the flag");
        *on = chain.framebufferClear != 0 ? 1 : 0;
        return QELV_OK;
    });
}

int qelv_set_framebuffer_clear(qelv_engine* engine, int on) {
    return WithChain(engine, [&](EffectChain& chain) {
        chain.framebufferClear = on ? 1 : 0;
        return QELV_OK;
    });
}

int qelv_effect_page(qelv_engine* engine, int index, int* template_id, int* controls) {
    return WithChain(engine, [&](EffectChain&) {
        if (!template_id || !controls) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_effect_page needs places for its answers");
        const Effect* effect = EffectAt(engine, index);
        if (!effect) return QELV_ERROR_ARGUMENT;
        const PageDefinition* page = effect->page();
        *template_id = page ? page->templateId : 0;
        *controls = page ? page->count : 0;
        return QELV_OK;
    });
}

int qelv_effect_control(qelv_engine* engine, int index, int control, qelv_control* out) {
    return WithChain(engine, [&](EffectChain&) {
        if (!out) return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_effect_control needs a place for the control");
        const Effect* effect = EffectAt(engine, index);
        if (!effect) return QELV_ERROR_ARGUMENT;
        const PageDefinition* page = effect->page();
        const int count = page ? page->count : 0;
        if (control < 0 || control >= count)
            return engine->Fail(QELV_ERROR_ARGUMENT, "no control " + std::to_string(control) + " on a page of " +
                                                         std::to_string(count));
        const PageBinding& b = page->bindings[control];
        *out = qelv_control{b.controlId, int(b.kind), b.minimum, b.maximum, ControlState(*effect, b)};
        return QELV_OK;
    });
}

int qelv_effect_set_control(qelv_engine* engine, int index, int id, int32_t state) {
    return WithChain(engine, [&](EffectChain& chain) {
        Effect* effect = EffectAt(engine, index);
        if (!effect) return QELV_ERROR_ARGUMENT;
        const PageDefinition* page = effect->page();
        bool found = false;
        for (int i = 0; page && i < page->count; ++i) {
            const PageBinding& b = page->bindings[i];
            if (b.controlId != id) continue;
            if (b.kind == ControlKind::Trackbar && (state < b.minimum || state > b.maximum))
                return engine->Fail(QELV_ERROR_ARGUMENT, RangeError("a trackbar position", state, b.minimum, b.maximum));
            found = true;
        }
        if (!found) return engine->Fail(QELV_ERROR_ARGUMENT, "the effect's page has no control " + std::to_string(id));
        std::lock_guard<std::mutex> lock(chain.renderLock);
        for (int i = 0; i < page->count; ++i)
            if (page->bindings[i].controlId == id) StoreControl(*effect, page->bindings[i], state);
        effect->settingsChanged();
        return QELV_OK;
    });
}

int qelv_beat_settings(qelv_engine* engine, int* sensitivity, int* low, int* high) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (!sensitivity || !low || !high)
            return engine->Fail(QELV_ERROR_ARGUMENT, "qelv_beat_settings needs places for its answers");
        const SampleIntake& intake = engine->engine.intake;
        const uint32_t band = uint32_t(intake.beatBand.load());
        *sensitivity = intake.beatSensitivity.load();
        *low = int(band & 0xFFFFu);
        *high = int(int16_t(band >> 16));
        return QELV_OK;
    });
}

int qelv_set_beat_settings(qelv_engine* engine, int sensitivity, int low, int high) {
    if (!engine) return QELV_ERROR_ARGUMENT;
    return Guarded(engine, [&] {
        if (sensitivity < 1 || sensitivity > 256)
            return engine->Fail(QELV_ERROR_ARGUMENT, RangeError("a beat sensitivity of", sensitivity, 1, 256));
        if (low < 0 || low > kBins || high < 0 || high > kBins)
            return engine->Fail(QELV_ERROR_ARGUMENT, "a beat band of bins " + std::to_string(low) + " to " +
                                                         std::to_string(high) + ": each end is from 0 to " +
                                                         std::to_string(kBins));
        SampleIntake& intake = engine->engine.intake;
        intake.beatSensitivity = sensitivity;
        intake.beatBand = int32_t(uint32_t(high) << 16 | uint32_t(low));
        return QELV_OK;
    });
}

int qelv_beat_meter(const qelv_engine* engine, int32_t* sum, int32_t* threshold) {
    if (!engine || !sum || !threshold) return QELV_ERROR_ARGUMENT;
    *sum = engine->engine.intake.beatReading.sum.load(std::memory_order_relaxed);
    *threshold = engine->engine.intake.beatReading.threshold.load(std::memory_order_relaxed);
    return QELV_OK;
}
