#include "win32/views/about_box.h"

#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayAboutBox";

// Labels show the model's texts as they are; only the description and the
// disclaimer wrap their words.
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
constexpr DWORD kWrappingLabel = SS_LEFT | SS_NOPREFIX;

const ControlPlace& PlaceNamed(std::string_view name) {
    for (const ControlPlace& control : AboutModel::Controls()) {
        if (control.objectName == name)
            return control;
    }
    return AboutModel::Controls().front();
}

// The primary screen's edges, in pixels.
RECT PrimaryScreen() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

}  // namespace

AboutBox::AboutBox(HWND owner, AboutModel& model) : model_(model) {
    model_.SetView(this);
    if (!CreateFrame(kClassName, AboutModel::Caption(), AboutModel::ClientSize(), owner))
        return;
    AddControl(PlaceNamed(kAboutIconName), WC_STATICW, SS_ICON | SS_REALSIZECONTROL);
    AddControl(PlaceNamed(kAboutTitleName), WC_STATICW, kLabel, AboutModel::Title());
    AddControl(PlaceNamed(kAboutVersionName), WC_STATICW, kLabel, AboutModel::Version());
    AddControl(PlaceNamed(kAboutDescriptionName), WC_STATICW, kWrappingLabel,
               AboutModel::Description());
    AddControl(PlaceNamed(kAboutSystemVersionName), WC_STATICW, kLabel, model_.WindowsVersion());
    AddControl(PlaceNamed(kAboutSecondVersionName), WC_STATICW, kLabel, model_.DosVersion());
    AddControl(PlaceNamed(kAboutDisclaimerName), WC_STATICW, kWrappingLabel,
               AboutModel::Disclaimer());
    // OK is the default (Enter) and comes before System Info in the tab order.
    SetFirstFocus(AddControl(PlaceNamed(kAboutOkName), WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON,
                             kAboutOkCaption));
    AddControl(PlaceNamed(kAboutSystemInfoName), WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON,
               kAboutSystemInfoCaption);
    UpdateTitleFont();
    UpdateIcon();
    PlaceOnScreen(PrimaryScreen());
}

AboutBox::~AboutBox() {
    model_.SetView(nullptr);
    Destroy();
}

void AboutBox::PlaceOnScreen(const RECT& screen) {
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    const ScreenPlace place = AboutModel::PlaceOnScreen(
        TwipsOf(screen.right - screen.left), TwipsOf(screen.bottom - screen.top),
        TwipsOf(outer.right - outer.left), TwipsOf(outer.bottom - outer.top));
    MoveTo(screen.left + TwipsToPixels(place.left, Dpi()),
           screen.top + TwipsToPixels(place.top, Dpi()));
}

// The message font's face at the title's point size.
void AboutBox::UpdateTitleFont() {
    LOGFONTW font{};
    GetObjectW(MessageFont(), sizeof font, &font);
    font.lfHeight = -MulDiv(kAboutTitlePointSize, Dpi(), 72);
    font.lfWidth = 0;
    titleFont_.Reset(CreateFontIndirectW(&font));
    SendMessageW(Control(kAboutTitleName), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.Get()),
                 TRUE);
}

// The program's icon filling the picture.
void AboutBox::UpdateIcon() {
    const RECT place = PixelsOf(PlaceNamed(kAboutIconName).place);
    Icon icon = ProgramIcon(place.right - place.left, place.bottom - place.top);
    SendMessageW(Control(kAboutIconName), STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    // The old icon goes only once the picture holds the new one.
    icon_ = std::move(icon);
}

void AboutBox::OnDpiChanged() {
    UpdateTitleFont();
    UpdateIcon();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void AboutBox::OnCommand(int id, int code) {
    // Enter (IDOK) presses the button that has the focus, else OK.
    if (id == IDOK) {
        id = GetFocus() == Control(kAboutSystemInfoName) ? ControlId(kAboutSystemInfoName)
                                                         : ControlId(kAboutOkName);
        code = BN_CLICKED;
    }
    if (id == ControlId(kAboutOkName) && code == BN_CLICKED)
        EndModal(IDOK);
    else if (id == ControlId(kAboutSystemInfoName) && code == BN_CLICKED)
        model_.StartSystemInformation();
    else
        DialogWindow::OnCommand(id, code);
}

// The etched line above the buttons: grey over white, as the model draws it.
void AboutBox::PaintEtchedLine(HDC dc) const {
    const EtchedLine& line = kAboutEtchedLine;
    const auto px = [this](std::int64_t twips) { return TwipsToPixels(twips, Dpi()); };
    const int right = px(line.right) + 1;
    const Brush grey(CreateSolidBrush(RGB(128, 128, 128)));
    const RECT greyLine{px(line.greyLeft), px(line.greyTop), right, px(line.greyTop) + 1};
    FillRect(dc, &greyLine, grey.Get());
    const RECT whiteLine{px(line.whiteLeft), px(line.whiteTop), right, px(line.whiteTop) + 2};
    FillRect(dc, &whiteLine, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

LRESULT AboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        const PaintScope paint(Handle());
        PaintEtchedLine(paint.Dc());
        return 0;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

// A message with an OK button only, over the box.
void AboutBox::ShowMessage(std::string_view title, std::string_view text) {
    MessageBoxW(Handle(), Wide(text).c_str(), Wide(title).c_str(), MB_OK);
}

void ShowAboutBox(HWND owner, AboutModel& model) {
    AboutBox box(owner, model);
    box.RunModal();
}

}  // namespace bladeway::win32
