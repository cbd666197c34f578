#include "backends/headless/headless_window.h"

#include "output/output_window.h"

namespace {
// Where a minimised window is parked, as on the real desktop.
constexpr WindowPlacement kMinimisedPlacement{-32000, -32000, 160, 24};

std::string PlacementText(const WindowPlacement& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
           std::to_string(p.height);
}
}  // namespace

bool HeadlessWindowSystem::RegisterWindowClass(const WindowClassSpec& spec) {
    log.push_back(std::string("register ") + spec.name);
    if (failRegistration || registeredClasses.count(spec.name)) return false;
    registeredClasses.insert(spec.name);
    return true;
}

void HeadlessWindowSystem::UnregisterWindowClass(const WindowClassSpec& spec) {
    log.push_back(std::string("unregister ") + spec.name);
    registeredClasses.erase(spec.name);
}

WindowHandle HeadlessWindowSystem::OpenWindow(const WindowSpec& spec) {
    log.push_back("open " + PlacementText(spec.placement));
    if (failCreation || !registeredClasses.count(spec.className)) return nullptr;
    Window& window = windows.emplace_back();
    window.className = spec.className;
    window.title = spec.title;
    window.style = spec.style;
    window.placement = spec.placement;
    window.parent = spec.parent;
    window.instance = spec.instance;
    SendPlacementEvents(&window);
    return &window;
}

void HeadlessWindowSystem::DestroyWindow(WindowHandle window) {
    Window& w = Of(window);
    if (!w.alive) return;
    log.push_back("destroy");
    w.alive = false;
    w.timers.clear();
    HandleOutputWindowEvent(window, OutputWindowEvent::destroy);
}

void HeadlessWindowSystem::ClientSize(WindowHandle window, int32_t* width, int32_t* height) {
    const Window& w = Of(window);
    const int32_t clientWidth = w.placement.width - 2 * frameWidth;
    const int32_t clientHeight = w.placement.height - 2 * frameWidth;
    *width = w.minimised || clientWidth < 0 ? 0 : clientWidth;
    *height = w.minimised || clientHeight < 0 ? 0 : clientHeight;
}

WindowPlacement HeadlessWindowSystem::OuterRectangle(WindowHandle window) { return Of(window).placement; }

bool HeadlessWindowSystem::IsMinimised(WindowHandle window) { return Of(window).minimised; }

void HeadlessWindowSystem::MoveWindow(WindowHandle window, const WindowPlacement& placement) {
    log.push_back("move " + PlacementText(placement));
    Of(window).placement = placement;
    SendPlacementEvents(window);
}

void HeadlessWindowSystem::SetTimer(WindowHandle window, int id, int milliseconds) {
    log.push_back("set timer " + std::to_string(id) + " " + std::to_string(milliseconds));
    Of(window).timers.insert(id);
}

void HeadlessWindowSystem::KillTimer(WindowHandle window, int id) {
    log.push_back("kill timer " + std::to_string(id));
    Of(window).timers.erase(id);
}

void HeadlessWindowSystem::ShowCursor() {
    log.push_back("show cursor");
    ++cursorShows;
}

void HeadlessWindowSystem::PostQuit() {
    log.push_back("post quit");
    ++quitPosts;
}

void HeadlessWindowSystem::UserPlaces(WindowHandle window, const WindowPlacement& placement) {
    Of(window).minimised = false;
    Of(window).placement = placement;
    SendPlacementEvents(window);
}

void HeadlessWindowSystem::UserMinimises(WindowHandle window) {
    Of(window).minimised = true;
    Of(window).placement = kMinimisedPlacement;
    SendPlacementEvents(window);
}

bool HeadlessWindowSystem::FireTimer(WindowHandle window, int id) {
    if (!Of(window).timers.count(id)) return false;
    HandleOutputWindowEvent(window, OutputWindowEvent::timer, id);
    return true;
}

void HeadlessWindowSystem::SendPlacementEvents(WindowHandle window) {
    HandleOutputWindowEvent(window, OutputWindowEvent::size, Of(window).minimised ? 1 : 0);
    HandleOutputWindowEvent(window, OutputWindowEvent::move);
}
