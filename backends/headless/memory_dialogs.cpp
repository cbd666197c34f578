#include "backends/headless/memory_dialogs.h"

#include <algorithm>
#include <cctype>

#include "ui/resource_ids.h"

namespace {
// What the templates themselves give, as far as the logic relies on it.
struct TemplateControl {
    int templateId, controlId;
    bool sorted;
    const char* text;
};
constexpr TemplateControl kTemplateControls[] = {
    {IDD_CONTROL_PANEL, IDC_LIBRARY, true, ""},
    {IDD_CONTROL_PANEL, IDC_PAGE_CAPTION, false, "No effect/setting selected"},
    {IDD_BEAT_PAGE, IDC_BEAT_LABEL, false, "???"},
};

// Sorted lists order their texts without regard to case.
bool Before(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}
}  // namespace

MemoryDialogs::Window* MemoryDialogs::Find(WindowHandle dialog) {
    for (auto& w : windows)
        if (w.get() == dialog) return w.get();
    return nullptr;
}

MemoryDialogs::Control* MemoryDialogs::Use(WindowHandle dialog, int id) {
    Window* w = Find(dialog);
    if (!w || w->destroyed) {
        ++deadWindowCalls;
        return nullptr;
    }
    if (std::this_thread::get_id() != w->thread) ++foreignThreadCalls;
    return &w->controls[id];
}

MemoryDialogs::Control& MemoryDialogs::ControlOf(WindowHandle dialog, int id) {
    return Find(dialog)->controls[id];
}

std::vector<WindowHandle> MemoryDialogs::LiveDialogs(int templateId) {
    std::vector<WindowHandle> found;
    for (auto& w : windows)
        if (!w->destroyed && w->templateId == templateId) found.push_back(w.get());
    return found;
}

WindowHandle MemoryDialogs::CreateDialogWindow(InstanceHandle, int templateId, WindowHandle parent,
                                               std::unique_ptr<DialogHandler> handler) {
    if (templateId == failingTemplate) return nullptr;
    windows.push_back(std::make_unique<Window>());
    Window& w = *windows.back();
    w.templateId = templateId;
    w.parent = parent;
    w.thread = std::this_thread::get_id();
    SeedControls(w);
    w.handler = std::move(handler);
    w.initResult = w.handler->OnInit(&w);
    return &w;
}

void MemoryDialogs::SeedControls(Window& w) {
    for (const TemplateControl& c : kTemplateControls) {
        if (c.templateId != w.templateId) continue;
        w.controls[c.controlId].sorted = c.sorted;
        w.controls[c.controlId].text = c.text;
    }
}

bool MemoryDialogs::DestroyDialogWindow(WindowHandle dialog) {
    Window* w = Find(dialog);
    if (!w || w->destroyed) {
        ++badDestroys;
        return false;
    }
    for (auto& child : windows)
        if (child->parent == dialog && !child->destroyed) DestroyDialogWindow(child.get());
    w->destroyed = true;
    w->visible = false;
    w->handler.reset();
    return true;
}

void MemoryDialogs::ShowDialog(WindowHandle dialog, bool visible) {
    if (Use(dialog, 0)) Find(dialog)->visible = visible;
}

bool MemoryDialogs::IsDialogVisible(WindowHandle dialog) { return Use(dialog, 0) && Find(dialog)->visible; }

void MemoryDialogs::PlacePage(WindowHandle dialog, int areaId, WindowHandle page) {
    if (!Use(dialog, areaId) || !Use(page, 0)) return;
    Find(page)->placedOver = areaId;
    Find(page)->visible = true;
}

void MemoryDialogs::Wake(WindowHandle dialog) {
    std::lock_guard<std::mutex> lock(wakeLock);
    wakes.push_back(dialog);
}

int MemoryDialogs::DeliverWakes() {
    std::vector<WindowHandle> due;
    {
        std::lock_guard<std::mutex> lock(wakeLock);
        due.swap(wakes);
    }
    int delivered = 0;
    for (WindowHandle dialog : due) {
        Window* w = Find(dialog);
        if (!w || w->destroyed) continue;
        w->handler->OnWake(dialog);
        ++delivered;
    }
    return delivered;
}

bool MemoryDialogs::IsChecked(WindowHandle dialog, int id) {
    Control* c = Use(dialog, id);
    return c && c->checked;
}

void MemoryDialogs::SetChecked(WindowHandle dialog, int id, bool checked) {
    if (Control* c = Use(dialog, id)) c->checked = checked;
}

std::string MemoryDialogs::Text(WindowHandle dialog, int id) {
    Control* c = Use(dialog, id);
    return c ? c->text : std::string();
}

void MemoryDialogs::SetText(WindowHandle dialog, int id, const char* text) {
    if (Control* c = Use(dialog, id)) c->text = text;
}

int MemoryDialogs::AddItem(WindowHandle dialog, int id, const char* text) {
    Control* c = Use(dialog, id);
    if (!c) return kNoItem;
    int index = int(c->items.size());
    if (c->sorted) {
        index = 0;
        while (index < int(c->items.size()) && !Before(text, c->items[size_t(index)].text)) ++index;
    }
    return InsertItem(dialog, id, index, text);
}

int MemoryDialogs::InsertItem(WindowHandle dialog, int id, int index, const char* text) {
    Control* c = Use(dialog, id);
    if (!c || index < -1 || index > int(c->items.size())) return kNoItem;
    if (index == -1) index = int(c->items.size());
    c->items.insert(c->items.begin() + index, Item{text, 0});
    if (c->selection != kNoItem && c->selection >= index) ++c->selection;
    return index;
}

void MemoryDialogs::DeleteItem(WindowHandle dialog, int id, int index) {
    Control* c = Use(dialog, id);
    if (!c || index < 0 || index >= int(c->items.size())) return;
    c->items.erase(c->items.begin() + index);
    if (c->selection == index) c->selection = kNoItem;
    else if (c->selection > index) --c->selection;
}

void MemoryDialogs::ClearItems(WindowHandle dialog, int id) {
    if (Control* c = Use(dialog, id)) {
        c->items.clear();
        c->selection = kNoItem;
    }
}

int MemoryDialogs::ItemCount(WindowHandle dialog, int id) {
    Control* c = Use(dialog, id);
    return c ? int(c->items.size()) : 0;
}

std::string MemoryDialogs::ItemText(WindowHandle dialog, int id, int index) {
    Control* c = Use(dialog, id);
    return c && index >= 0 && index < int(c->items.size()) ? c->items[size_t(index)].text : std::string();
}

void MemoryDialogs::SetItemData(WindowHandle dialog, int id, int index, intptr_t data) {
    Control* c = Use(dialog, id);
    if (c && index >= 0 && index < int(c->items.size())) c->items[size_t(index)].data = data;
}

intptr_t MemoryDialogs::ItemData(WindowHandle dialog, int id, int index) {
    Control* c = Use(dialog, id);
    return c && index >= 0 && index < int(c->items.size()) ? c->items[size_t(index)].data : kNoItem;
}

int MemoryDialogs::Selection(WindowHandle dialog, int id) {
    Control* c = Use(dialog, id);
    return c ? c->selection : kNoItem;
}

void MemoryDialogs::SetSelection(WindowHandle dialog, int id, int index) {
    if (Control* c = Use(dialog, id)) c->selection = index >= 0 && index < int(c->items.size()) ? index : kNoItem;
}

void MemoryDialogs::SetTrackbarRange(WindowHandle dialog, int id, int minimum, int maximum) {
    if (Control* c = Use(dialog, id)) {
        c->minimum = minimum;
        c->maximum = maximum;
        c->position = std::clamp(c->position, minimum, std::max(minimum, maximum));
    }
}

void MemoryDialogs::SetTrackbarPosition(WindowHandle dialog, int id, int position) {
    if (Control* c = Use(dialog, id)) c->position = std::clamp(position, c->minimum, std::max(c->minimum, c->maximum));
}

int MemoryDialogs::TrackbarPosition(WindowHandle dialog, int id) {
    Control* c = Use(dialog, id);
    return c ? c->position : 0;
}

void MemoryDialogs::Invalidate(WindowHandle dialog, int id) {
    if (Control* c = Use(dialog, id)) ++c->invalidations;
}

void MemoryDialogs::DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) {
    swatches.push_back({item, fill, text});
}

void MemoryDialogs::ClickCheckBox(WindowHandle dialog, int id) {
    if (Control* c = Use(dialog, id)) c->checked = !c->checked;
    ClickButton(dialog, id);
}

void MemoryDialogs::ClickRadio(WindowHandle dialog, int id) {
    if (Control* c = Use(dialog, id)) c->checked = true;
    ClickButton(dialog, id);
}

void MemoryDialogs::ClickButton(WindowHandle dialog, int id) {
    if (Window* w = Find(dialog); w && !w->destroyed) w->handler->OnCommand(dialog, id, 0);
}

void MemoryDialogs::ChooseItem(WindowHandle dialog, int id, int index) {
    SetSelection(dialog, id, index);
    if (Window* w = Find(dialog); w && !w->destroyed) w->handler->OnCommand(dialog, id, kSelectionChanged);
}

void MemoryDialogs::MoveTrackbar(WindowHandle dialog, int id, int position) {
    SetTrackbarPosition(dialog, id, position);
    if (Window* w = Find(dialog); w && !w->destroyed) w->handler->OnScroll(dialog, id);
}

bool MemoryDialogs::RequestPaint(WindowHandle dialog, int id) {
    Window* w = Find(dialog);
    static int drawRecord;  // stands for the platform's drawing record
    return w && !w->destroyed && w->handler->OnDrawItem(dialog, id, &drawRecord);
}

void MemoryDialogs::CloseByUser(WindowHandle dialog) {
    if (Window* w = Find(dialog); w && !w->destroyed) w->handler->OnClose(dialog);
}
