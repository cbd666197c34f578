#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "core/frame_types.h"

// The drawing record an owner-drawn control hands to its dialog; only the platform reads it.
using DrawItemHandle = void*;

// "No item" from list and combo box queries; also clears a selection.
constexpr int kNoItem = -1;
// Notification code of a list or combo box whose selection changed (Win32's number).
constexpr int kSelectionChanged = 1;

// What one dialog does with what happens to it. The window owns its handler and deletes
// it when the window is destroyed.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    // Runs before the creating call returns; the result is what initialisation reports
    // (nonzero lets the system place the focus).
    virtual int OnInit(WindowHandle dialog) = 0;
    virtual void OnCommand(WindowHandle /*dialog*/, int /*controlId*/, int /*notification*/) {}
    // A trackbar of the dialog was moved.
    virtual void OnScroll(WindowHandle /*dialog*/, int /*controlId*/) {}
    // An owner-drawn control asks to be painted; false when this dialog does not paint it.
    virtual bool OnDrawItem(WindowHandle /*dialog*/, int /*controlId*/, DrawItemHandle /*item*/) { return false; }
    // The user closed the dialog with its close box.
    virtual void OnClose(WindowHandle /*dialog*/) {}
    // Delivered on the dialog's own thread after Wake() from any thread.
    virtual void OnWake(WindowHandle /*dialog*/) {}
};

// Dialog windows made from templates, and their controls addressed by identifier. Every
// call except Wake() is made on the thread that created the dialog.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    // A modeless dialog from template templateId of instance, child or owned window of
    // parent; null when it cannot be created (the handler is then dropped).
    virtual WindowHandle CreateDialogWindow(InstanceHandle instance, int templateId, WindowHandle parent,
                                            std::unique_ptr<DialogHandler> handler) = 0;
    // Destroys the dialog and its child dialogs; false when there was no such window.
    virtual bool DestroyDialogWindow(WindowHandle dialog) = 0;
    virtual void ShowDialog(WindowHandle dialog, bool visible) = 0;
    virtual bool IsDialogVisible(WindowHandle dialog) = 0;
    // Moves page to the top-left corner of control areaId of dialog, keeping its size and
    // Z order, and shows it, all without activating it.
    virtual void PlacePage(WindowHandle dialog, int areaId, WindowHandle page) = 0;
    // Asks for OnWake on the dialog's thread. Any thread; never waits for that thread.
    virtual void Wake(WindowHandle dialog) = 0;

    // Check boxes and radio buttons.
    virtual bool IsChecked(WindowHandle dialog, int id) = 0;
    virtual void SetChecked(WindowHandle dialog, int id, bool checked) = 0;

    // Window text of a control (captions, labels, edit text).
    virtual std::string Text(WindowHandle dialog, int id) = 0;
    virtual void SetText(WindowHandle dialog, int id, const char* text) = 0;

    // List boxes and combo boxes alike. Indices are those after any sorting of the control.
    virtual int AddItem(WindowHandle dialog, int id, const char* text) = 0;  // its index or kNoItem
    virtual int InsertItem(WindowHandle dialog, int id, int index, const char* text) = 0;
    virtual void DeleteItem(WindowHandle dialog, int id, int index) = 0;
    virtual void ClearItems(WindowHandle dialog, int id) = 0;
    virtual int ItemCount(WindowHandle dialog, int id) = 0;
    virtual std::string ItemText(WindowHandle dialog, int id, int index) = 0;
    virtual void SetItemData(WindowHandle dialog, int id, int index, intptr_t data) = 0;
    virtual intptr_t ItemData(WindowHandle dialog, int id, int index) = 0;  // kNoItem for no such item
    virtual int Selection(WindowHandle dialog, int id) = 0;                  // kNoItem when none
    virtual void SetSelection(WindowHandle dialog, int id, int index) = 0;  // kNoItem clears it

    // Trackbars; the position is kept within the range.
    virtual void SetTrackbarRange(WindowHandle dialog, int id, int minimum, int maximum) = 0;
    virtual void SetTrackbarPosition(WindowHandle dialog, int id, int position) = 0;
    virtual int TrackbarPosition(WindowHandle dialog, int id) = 0;

    // Owner-drawn buttons: repaint later without erasing; paint now from OnDrawItem with a
    // black frame around fill and the button's own caption centred on one line in text.
    // Colours are 0x00BBGGRR, the display's own order.
    virtual void Invalidate(WindowHandle dialog, int id) = 0;
    virtual void DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) = 0;
};

// The dialogs in force; without a platform's, no dialog can be created.
DialogControls& dialogControls();
void InstallDialogControls(DialogControls* controls);
