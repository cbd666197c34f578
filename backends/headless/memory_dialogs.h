#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog_controls.h"

// Dialogs held in memory for tests: every control exists as soon as it is used, and the
// test acts as the user (clicks, selections, trackbar moves, paint requests). Of the
// templates it knows only what the logic relies on: which lists sort, and the texts
// that the templates give.
class MemoryDialogs : public DialogControls {
public:
    struct Item {
        std::string text;
        intptr_t data = 0;
    };
    struct Control {
        bool checked = false;
        std::string text;
        std::vector<Item> items;
        int selection = kNoItem;
        bool sorted = false;
        int minimum = 0, maximum = 0, position = 0;
        int invalidations = 0;
    };
    struct Window {
        int templateId = 0;
        WindowHandle parent = nullptr;
        std::unique_ptr<DialogHandler> handler;
        std::thread::id thread;
        int initResult = 0;
        bool visible = false;
        bool destroyed = false;
        int placedOver = 0;  // the area control the page was placed over, 0 when never placed
        std::map<int, Control> controls;
    };
    struct Swatch {
        DrawItemHandle item;
        uint32_t fill, text;
    };

    WindowHandle CreateDialogWindow(InstanceHandle instance, int templateId, WindowHandle parent,
                                    std::unique_ptr<DialogHandler> handler) override;
    bool DestroyDialogWindow(WindowHandle dialog) override;
    void ShowDialog(WindowHandle dialog, bool visible) override;
    bool IsDialogVisible(WindowHandle dialog) override;
    void PlacePage(WindowHandle dialog, int areaId, WindowHandle page) override;
    void Wake(WindowHandle dialog) override;
    bool IsChecked(WindowHandle dialog, int id) override;
    void SetChecked(WindowHandle dialog, int id, bool checked) override;
    std::string Text(WindowHandle dialog, int id) override;
    void SetText(WindowHandle dialog, int id, const char* text) override;
    int AddItem(WindowHandle dialog, int id, const char* text) override;
    int InsertItem(WindowHandle dialog, int id, int index, const char* text) override;
    void DeleteItem(WindowHandle dialog, int id, int index) override;
    void ClearItems(WindowHandle dialog, int id) override;
    int ItemCount(WindowHandle dialog, int id) override;
    std::string ItemText(WindowHandle dialog, int id, int index) override;
    void SetItemData(WindowHandle dialog, int id, int index, intptr_t data) override;
    intptr_t ItemData(WindowHandle dialog, int id, int index) override;
    int Selection(WindowHandle dialog, int id) override;
    void SetSelection(WindowHandle dialog, int id, int index) override;
    void SetTrackbarRange(WindowHandle dialog, int id, int minimum, int maximum) override;
    void SetTrackbarPosition(WindowHandle dialog, int id, int position) override;
    int TrackbarPosition(WindowHandle dialog, int id) override;
    void Invalidate(WindowHandle dialog, int id) override;
    void DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) override;

    // The user's side.
    void ClickCheckBox(WindowHandle dialog, int id);  // toggles the box, then notifies
    void ClickRadio(WindowHandle dialog, int id);     // checks the button, then notifies
    void ClickButton(WindowHandle dialog, int id);
    void ChooseItem(WindowHandle dialog, int id, int index);  // selects, then "selection changed"
    void MoveTrackbar(WindowHandle dialog, int id, int position);
    bool RequestPaint(WindowHandle dialog, int id);  // what the dialog's OnDrawItem answered
    void CloseByUser(WindowHandle dialog);
    // Runs the wake-ups posted so far, as the dialog's message loop would.
    int DeliverWakes();

    // Inspection.
    Window* Find(WindowHandle dialog);
    Control& ControlOf(WindowHandle dialog, int id);
    // Live dialogs made from a template, oldest first.
    std::vector<WindowHandle> LiveDialogs(int templateId);

    int failingTemplate = 0;  // creating this template fails, as a missing one would
    int badDestroys = 0;      // destroys of windows that were already gone
    int deadWindowCalls = 0;  // control calls on destroyed or unknown windows
    std::atomic<int> foreignThreadCalls{0};  // calls from a thread other than the dialog's
    std::vector<Swatch> swatches;

protected:
    // Gives a new dialog's controls what its template says, before the dialog initialises.
    virtual void SeedControls(Window& window);

private:
    Control* Use(WindowHandle dialog, int id);
    std::vector<std::unique_ptr<Window>> windows;
    std::mutex wakeLock;
    std::vector<WindowHandle> wakes;
};
