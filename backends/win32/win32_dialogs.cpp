#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog_controls.h"

namespace {
// Posted by Wake(); PostMessage never waits for the dialog's thread.
constexpr UINT kWakeMessage = WM_APP + 1;

// The handler between CreateDialogParam and its WM_INITDIALOG; if that message never
// comes (no template, a control class missing) the handler is still ours to delete.
DialogHandler* unattachedHandler = nullptr;

HWND Hwnd(WindowHandle w) { return static_cast<HWND>(w); }

// The dialog procedure only turns messages into the handler's calls.
INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* handler = reinterpret_cast<DialogHandler*>(lParam);
        if (handler == unattachedHandler) unattachedHandler = nullptr;
        SetWindowLongPtrA(dialog, DWLP_USER, LONG_PTR(handler));
        try {
            return handler ? handler->OnInit(dialog) : TRUE;
        } catch (...) {
            return TRUE;
        }
    }
    auto* handler = reinterpret_cast<DialogHandler*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!handler) return FALSE;
    // No exception may leave a window procedure.
    try {
        switch (message) {
        case WM_COMMAND:
            handler->OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        case WM_HSCROLL:
            if (lParam) handler->OnScroll(dialog, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            return FALSE;
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            return item && handler->OnDrawItem(dialog, int(item->CtlID), item) ? TRUE : FALSE;
        }
        case WM_CLOSE:
            handler->OnClose(dialog);
            return TRUE;
        case kWakeMessage:
            handler->OnWake(dialog);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            delete handler;
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

// List boxes and combo boxes take the same requests under different message numbers.
struct ListMessages {
    UINT add, insert, remove, reset, count, textLength, text, setData, getData, getSelection, setSelection;
};
constexpr ListMessages kListBox{LB_ADDSTRING,  LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                                LB_GETCOUNT,   LB_GETTEXTLEN,   LB_GETTEXT,      LB_SETITEMDATA,
                                LB_GETITEMDATA, LB_GETCURSEL,   LB_SETCURSEL};
constexpr ListMessages kComboBox{CB_ADDSTRING,  CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                                 CB_GETCOUNT,   CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_SETITEMDATA,
                                 CB_GETITEMDATA, CB_GETCURSEL,   CB_SETCURSEL};

const ListMessages& ListOf(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0 ? kComboBox : kListBox;
}

// Results below 0 are the controls' error values (LB_ERR, CB_ERR, the "space" errors).
int IndexOrNone(LRESULT r) { return r < 0 ? kNoItem : int(r); }

class Win32Dialogs final : public DialogControls {
public:
    WindowHandle CreateDialogWindow(InstanceHandle instance, int templateId, WindowHandle parent,
                                    std::unique_ptr<DialogHandler> handler) override {
        static const bool commonControls = (InitCommonControls(), true);  // trackbars
        (void)commonControls;
        DialogHandler* raw = handler.release();
        unattachedHandler = raw;
        HWND dialog = CreateDialogParamA(static_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(templateId), Hwnd(parent),
                                         DialogProc, reinterpret_cast<LPARAM>(raw));
        if (unattachedHandler == raw) {
            unattachedHandler = nullptr;
            delete raw;
        }
        return dialog;
    }

    bool DestroyDialogWindow(WindowHandle dialog) override { return DestroyWindow(Hwnd(dialog)) != 0; }
    void ShowDialog(WindowHandle dialog, bool visible) override { ShowWindow(Hwnd(dialog), visible ? SW_SHOW : SW_HIDE); }
    bool IsDialogVisible(WindowHandle dialog) override { return IsWindowVisible(Hwnd(dialog)) != 0; }

    void PlacePage(WindowHandle dialog, int areaId, WindowHandle page) override {
        RECT area{};
        GetWindowRect(GetDlgItem(Hwnd(dialog), areaId), &area);
        POINT corner{area.left, area.top};
        ScreenToClient(Hwnd(dialog), &corner);
        SetWindowPos(Hwnd(page), nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(Hwnd(page), SW_SHOWNA);
    }

    void Wake(WindowHandle dialog) override { PostMessageA(Hwnd(dialog), kWakeMessage, 0, 0); }

    bool IsChecked(WindowHandle dialog, int id) override { return IsDlgButtonChecked(Hwnd(dialog), id) == BST_CHECKED; }
    void SetChecked(WindowHandle dialog, int id, bool checked) override {
        CheckDlgButton(Hwnd(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

    std::string Text(WindowHandle dialog, int id) override {
        HWND control = GetDlgItem(Hwnd(dialog), id);
        std::vector<char> text(size_t(GetWindowTextLengthA(control)) + 1);
        GetWindowTextA(control, text.data(), int(text.size()));
        return text.data();
    }
    void SetText(WindowHandle dialog, int id, const char* text) override { SetDlgItemTextA(Hwnd(dialog), id, text); }

    int AddItem(WindowHandle dialog, int id, const char* text) override {
        return IndexOrNone(Send(dialog, id, &ListMessages::add, 0, LPARAM(text)));
    }
    int InsertItem(WindowHandle dialog, int id, int index, const char* text) override {
        return IndexOrNone(Send(dialog, id, &ListMessages::insert, WPARAM(index), LPARAM(text)));
    }
    void DeleteItem(WindowHandle dialog, int id, int index) override { Send(dialog, id, &ListMessages::remove, WPARAM(index), 0); }
    void ClearItems(WindowHandle dialog, int id) override { Send(dialog, id, &ListMessages::reset, 0, 0); }
    int ItemCount(WindowHandle dialog, int id) override {
        const LRESULT n = Send(dialog, id, &ListMessages::count, 0, 0);
        return n < 0 ? 0 : int(n);
    }
    std::string ItemText(WindowHandle dialog, int id, int index) override {
        const LRESULT length = Send(dialog, id, &ListMessages::textLength, WPARAM(index), 0);
        if (length < 0) return {};
        std::vector<char> text(size_t(length) + 1);
        Send(dialog, id, &ListMessages::text, WPARAM(index), LPARAM(text.data()));
        return text.data();
    }
    void SetItemData(WindowHandle dialog, int id, int index, intptr_t data) override {
        Send(dialog, id, &ListMessages::setData, WPARAM(index), LPARAM(data));
    }
    intptr_t ItemData(WindowHandle dialog, int id, int index) override {
        return intptr_t(Send(dialog, id, &ListMessages::getData, WPARAM(index), 0));
    }
    int Selection(WindowHandle dialog, int id) override {
        return IndexOrNone(Send(dialog, id, &ListMessages::getSelection, 0, 0));
    }
    void SetSelection(WindowHandle dialog, int id, int index) override {
        Send(dialog, id, &ListMessages::setSelection, WPARAM(index), 0);
    }

    void SetTrackbarRange(WindowHandle dialog, int id, int minimum, int maximum) override {
        SendDlgItemMessageA(Hwnd(dialog), id, TBM_SETRANGEMIN, FALSE, minimum);
        SendDlgItemMessageA(Hwnd(dialog), id, TBM_SETRANGEMAX, FALSE, maximum);
    }
    void SetTrackbarPosition(WindowHandle dialog, int id, int position) override {
        SendDlgItemMessageA(Hwnd(dialog), id, TBM_SETPOS, TRUE, position);
    }
    int TrackbarPosition(WindowHandle dialog, int id) override {
        return int(SendDlgItemMessageA(Hwnd(dialog), id, TBM_GETPOS, 0, 0));
    }

    void Invalidate(WindowHandle dialog, int id) override { InvalidateRect(GetDlgItem(Hwnd(dialog), id), nullptr, FALSE); }

    void DrawSwatch(DrawItemHandle item, uint32_t fill, uint32_t text) override {
        const auto* draw = static_cast<DRAWITEMSTRUCT*>(item);
        HDC dc = draw->hDC;
        HBRUSH brush = CreateSolidBrush(fill);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        RECT r = draw->rcItem;
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        char caption[124] = {};
        GetWindowTextA(draw->hwndItem, caption, 123);
        SetBkColor(dc, fill);
        SetTextColor(dc, text);
        DrawTextA(dc, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }

private:
    static LRESULT Send(WindowHandle dialog, int id, UINT ListMessages::*which, WPARAM wParam, LPARAM lParam) {
        HWND control = GetDlgItem(Hwnd(dialog), id);
        if (!control) return -1;
        return SendMessageA(control, ListOf(control).*which, wParam, lParam);
    }
};

Win32Dialogs win32Dialogs;
// Installed as the library loads; the engine's default pointer is set before any
// constructor runs, so the order of static construction does not matter.
const bool installed = (InstallDialogControls(&win32Dialogs), true);
}  // namespace
