#include "plugin/lifecycle.h"

#include <new>

#include "engine/autosave.h"
#include "output/frame_surface.h"
#include "output/output_window.h"
#include "plugin/render_thread.h"
#include "ui/control_panel.h"

// Its chain keeps the default of one thread: the host's frames are small, its own threads
// need the cores, and any number of threads would draw the same frames anyway.
Engine pluginEngine;
std::atomic<int32_t> quitFlag{0};
std::thread* renderThread = nullptr;

void Config(VisModule*) {}

int32_t Init(VisModule* module) {
    if (OpenOutputWindow(module) != 0) return 1;
    SampleIntake& intake = pluginEngine.intake;
    intake.BuildSpectrumCurve();
    int32_t width = 0, height = 0;
    OutputClientSize(&width, &height);
    if (CreateSurfaces(width, height, OutputWindowHandle()) != 0) {
        CloseOutputWindow();
        return 1;
    }
    // The locks themselves live as long as the library; from here on Render may use them.
    quitFlag = 0;
    {
        std::lock_guard<std::mutex> lock(intake.sampleLock);
        intake.snapshotTaken = 1;
    }
    intake.intakeOpen = 1;
    ProbeMmx();
    LoadAutosave(pluginEngine.chain);
    // A thread that cannot start leaves the plug-in stopped: undo everything, so the
    // caller sees a failure instead of a plug-in that would never draw or autosave.
    try {
        renderThread = new std::thread(RenderThreadMain);
    } catch (...) {
        renderThread = nullptr;
        intake.intakeOpen = 0;
        pluginEngine.chain.DeleteAllEffects();
        DestroySurfaces();
        CloseOutputWindow();
        return 1;
    }
    OpenControlPanel(module, pluginEngine);
    return 0;
}

void Quit(VisModule*) {
    if (!renderThread) return;
    quitFlag = 1;
    WakeRenderThread();
    renderThread->join();
    delete renderThread;
    DestroySurfaces();
    SaveAutosave(pluginEngine.chain);
    pluginEngine.chain.DeleteAllEffects();
    renderThread = nullptr;
    pluginEngine.intake.intakeOpen = 0;
    CloseOutputWindow();
    CloseControlPanel();
}
