#pragma once
// A window laid out from its model's table of controls: each control at its
// designed place (twips), scaled to the window's DPI, in the system's
// message font. It runs modally over its owner: the owner is disabled and a
// message loop of the window's own serves every window of the thread until
// the window ends. Tab, Enter and Escape work as in a dialog box.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/pixel_rect.h"
#include "core/presentation/twips.h"
#include "core/presentation/window_place.h"
#include "win32/kit/gdi.h"
#include "win32/kit/window.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

class DialogWindow : public Window {
  public:
    ~DialogWindow() override;

    // Shows the window over its owner and serves messages until EndModal;
    // gives what EndModal was given. A WM_QUIT met meanwhile ends the loop
    // (IDCANCEL) and is posted again for the loop outside.
    int RunModal();
    // Ends the modal loop with `result`: the owner is enabled again and the
    // window hides. Without a loop running, the window only hides.
    void EndModal(int result);
    bool IsRunningModal() const { return running_; }

    // The control named `objectName` in the table, or none.
    HWND Control(std::string_view objectName) const;
    int ControlId(std::string_view objectName) const;

  protected:
    DialogWindow() = default;

    static constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

    // Whether the window stays above its owner (owned, as a dialog is) or
    // is a window of its own beside it, which the owner may cover; it then
    // opens beside the owner where the screen has room (BesidePlace).
    enum class Stacking { kAboveOwner, kBesideOwner };

    // Makes the window with a client area of `client` twips at the owner's
    // DPI, centred over the owner (over the screen without one), or beside
    // it for a window of its own. The class
    // is registered on first use, with the dialog face as its background.
    bool CreateFrame(const wchar_t* className, std::string_view caption, const TwipsRect& client,
                     HWND owner, DWORD style = kDialogStyle, DWORD exStyle = 0,
                     Stacking stacking = Stacking::kAboveOwner);
    // Makes a main window of the program: no owner, a frame that sizes and
    // `icon` in its title bar, at the system's default place, with a
    // client area of `client` twips at its DPI. It runs in the program's
    // own message loop, not modally.
    bool CreateMainFrame(const wchar_t* className, std::string_view caption,
                         const TwipsRect& client, HICON icon);
    // Adds a child control of `windowClass` at the designed place of
    // `control`, in the message font; ids are given in the order of adding.
    HWND AddControl(const ControlPlace& control, const wchar_t* windowClass, DWORD style,
                    std::string_view caption = {}, DWORD exStyle = 0);
    // Adds a control of the program's own (such as a KeyGrid) that `make`
    // creates as a child at this place (client pixels) with this id.
    HWND AddControl(const ControlPlace& control,
                    const std::function<HWND(const RECT& place, int id)>& make);
    // Moves the control named `objectName` to `place`, which it keeps from
    // now on (a window whose layout follows its size).
    void PlaceControl(std::string_view objectName, const TwipsRect& place);
    // Gives the window a client area of `client` twips, its corner staying.
    void SetClientSize(const TwipsRect& client);
    // Moves the window's outer top-left corner to this screen point (pixels).
    void MoveTo(int left, int top);
    // Centres the window over its owner (over the screen's free area without
    // one), kept on that screen.
    void CentreOverOwner();
    // Shrinks and moves the window into the free area of its screen, where
    // it reaches beyond.
    void KeepOnScreen();
    // The window's outer rectangle, and the free area of the screen its
    // owner (without one, it) is on, in screen pixels.
    PixelRect OuterRect() const;
    PixelRect WorkArea() const;
    void SetOuterRect(const PixelRect& place);
    // The control that has the focus when the window first becomes active
    // (without one: the first that takes the focus by Tab). Later the window
    // gets back the control that had the focus when it was left.
    void SetFirstFocus(HWND control) { focus_ = control; }
    // True while the window hands the focus back on becoming active: a
    // control getting it then is not the user moving it there.
    bool RestoringFocus() const { return restoringFocus_; }
    // Hands the focus back to the control that had it when the window was
    // left; a control held disabled (by a run) leaves it to the window.
    void RestoreFocus();
    // The window's outer top-left corner, in twips from the screen's.
    OuterPosition OuterPositionNow() const;

    RECT PixelsOf(const TwipsRect& place) const;
    std::int64_t TwipsOf(int pixels) const;
    int Dpi() const { return dpi_; }
    HWND Owner() const { return owner_; }
    HFONT MessageFont() const { return font_.Get(); }

    // A child's notification (WM_COMMAND): its id and code. IDOK and
    // IDCANCEL come here from Enter and Escape too.
    virtual void OnCommand(int id, int code);
    // The close box, Alt+F4 and Escape (IDCANCEL): ends with IDCANCEL.
    virtual void OnClose();
    // Ctrl+C pressed in the window while it runs modal; true when taken.
    virtual bool OnCopyKey() { return false; }
    // The DPI changed and the controls have their new places and font.
    virtual void OnDpiChanged() {}

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Placed {
        std::string_view name;
        TwipsRect place;
        HWND hwnd;
    };
    void UpdateFont();
    void PlaceControls();
    // Sizes the window for a client area of `client` twips at its DPI.
    void SizeForClient(const TwipsRect& client, DWORD style, DWORD exStyle);

    HWND owner_ = nullptr;
    int dpi_ = 96;
    Font font_;
    std::vector<Placed> controls_;
    HWND focus_ = nullptr;
    bool restoringFocus_ = false;
    bool running_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;
};

// The id of the first control a DialogWindow adds; the next ones follow.
inline constexpr int kFirstDialogControlId = 1000;

}  // namespace bladeway::win32
