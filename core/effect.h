#pragma once
#include <cstdint>

#include "core/frame_types.h"

struct PageDefinition;
struct RenderResources;
struct SettingTable;

// Scratch area handed to save(); no payload is longer.
constexpr int32_t kPayloadScratchBytes = 131072;
// The longest effect name has 22 characters.
constexpr int kEffectNameBytes = 23;

// Every effect draws into the shared frame in place. Settings are int32 words described
// by a SettingTable, so the payload rule, the settings pages and the preset tools are
// written once for all effects.
class Effect {
public:
    virtual ~Effect() = default;
    virtual void render(const uint8_t* samples, uint32_t* frame, int32_t width, int32_t height) = 0;
    // Opens the page described by page(); null when the effect has none.
    virtual WindowHandle createSettingsPage(InstanceHandle instance, WindowHandle parent);
    virtual const char* name() const = 0;
    // Reads the payload words of settingTable(), then settingsChanged().
    virtual void load(const uint8_t* data, int32_t length);
    // Writes the payload words of settingTable().
    virtual int32_t save(uint8_t* out);

    virtual const SettingTable* settingTable() const { return nullptr; }
    virtual const PageDefinition* page() const { return nullptr; }
    // Called after load and after a settings page changed a word, so that tables derived
    // from the settings follow at once.
    virtual void settingsChanged() {}

    int32_t beat = 0;
    // Set by the chain before each render, like beat: what the chain's effects share.
    RenderResources* resources = nullptr;
};

// With a buffer: copy the name with its NUL and return null.
// With null: a new effect with default settings, or null when memory ran out.
using EffectFactory = Effect* (*)(char* nameBuffer);
