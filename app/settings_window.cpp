#include "app/settings_window.h"

#include <algorithm>

#include "app/modal_loop.h"
#include "win32/win32_error.h"
#include "win32/win_handles.h"
#include "win32/window_text.h"

const char* const SettingsWindowClassName = "TSettingsF";

namespace {

const char* const Caption = "\x90\xdd\x92\xe8";  // 設定
const char* const OkCaption = "OK";
const char* const CancelCaption = "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b";  // キャンセル

struct TCheck {
  const char* Caption;
  bool& (*Of)(TDialogSettings&);
};
const TCheck Checks[] = {
    {"\x90\xb3\x8a\x6d\x82\xc8\x92\xb7\x82\xb3\x82\xc5\x8f\x57\x8c\x76\x82\xb7\x82\xe9\x81\x69\x91\xbd\x8a\x70\x90\xfc"
     "\x82\xcc\x89\x7e\x8c\xca\x82\xc6\x95\xc2\x82\xb6\x82\xbd\x95\xd3\x81\x45\x91\xc8\x89\x7e\x81\x45\x83\x58\x83\x76"
     "\x83\x89\x83\x43\x83\x93\x81\x45\x83\x75\x83\x8d\x83\x62\x83\x4e\x93\xe0\x82\xcc\x90\x7d\x8c\x60\x81\x6a",
     [](TDialogSettings& s) -> bool& {
       return s.Report.Exact;
     }},  // 正確な長さで集計する（多角線の円弧と閉じた辺・楕円・スプライン・ブロック内の図形）
    {"\x8d\x87\x8c\x76\x82\xcc\x97\xf1\x82\xf0\x95\x74\x82\xaf\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Totals; }},  // 合計の列を付ける
    {"\x8c\xa9\x8f\x6f\x82\xb5\x8d\x73\x82\xf0\x95\x74\x82\xaf\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Header; }},  // 見出し行を付ける
    {"UTF-8\x81\x69\x42\x4f\x4d\x20\x95\x74\x82\xab\x81\x6a\x82\xc5\x95\xdb\x91\xb6\x82\xb7\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.Report.Utf8; }},  // UTF-8（BOM 付き）で保存する
    {"\x8c\x8b\x89\xca\x82\xf0\x95\x5c\x8e\xa6\x82\xb7\x82\xe9",
     [](TDialogSettings& s) -> bool& { return s.ShowResults; }},  // 結果を表示する
};
constexpr int kCheckCount = static_cast<int>(sizeof Checks / sizeof Checks[0]);

// The take-off, below a line: symbols counted (split by the tags in the box
// under it), areas, and the unit the list is written in.
const char* const BlocksCaption =
    "\x83\x75\x83\x8d\x83\x62\x83\x4e\x82\xcc\x8c\xc2\x90\x94\x82\xf0\x90\x94\x82\xa6\x82\xe9";  // ブロックの個数を数える
const char* const TagsCaption =
    "\x91\xae\x90\xab\x83\x5e\x83\x4f\x81\x69\x83\x4a\x83\x93\x83\x7d\x8b\xe6\x90\xd8\x82\xe8\x81"
    "\x6a:";  // 属性タグ（カンマ区切り）:
const char* const AreasCaption =
    "\x96\xca\x90\xcf\x82\xf0\x8f\x57\x8c\x76\x82\xb7\x82\xe9\x81\x69\x95\xc2\x82\xb6\x82\xbd\x90"
    "\x7d\x8c\x60\x81\x45\x83\x6e\x83\x62\x83\x60\x81\x6a";  // 面積を集計する（閉じた図形・ハッチ）
const char* const UnitCaption = "\x8f\x6f\x97\xcd\x92\x50\x88\xca:";            // 出力単位:
const char* const AsDrawnCaption = "\x90\x7d\x96\xca\x82\xcc\x82\xdc\x82\xdc";  // 図面のまま
constexpr int kUnitCount = static_cast<int>(sizeof kDialogUnits / sizeof kDialogUnits[0]);
constexpr int kBlocksId = 200;

// Sizes at 96 pixels per inch.
constexpr int kMargin = 8;
constexpr int kCheckHeight = 17;
constexpr int kCheckGap = 4;
constexpr int kCheckBox = 20;  // the box and its gap before the caption
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kFieldHeight = 21;  // a row with a text box or a drop-down list
constexpr int kLabelGap = 6;      // between a label and its field
constexpr int kRuleGap = 6;       // above and below the line before the take-off

struct TSettingsF {
  HWND Window = nullptr;
  HWND CheckBoxes[kCheckCount] = {};
  HWND Blocks = nullptr;
  HWND TagsLabel = nullptr;
  HWND Tags = nullptr;
  HWND Areas = nullptr;
  HWND Unit = nullptr;
  bool Done = false;
  bool Accepted = false;
  TDialogSettings Settings;
};

LRESULT CALLBACK SettingsProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  if (Message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(L);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<TSettingsF*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(Window, Message, W, L);
  switch (Message) {
    case WM_COMMAND:
      if (LOWORD(W) == IDOK) {
        for (int i = 0; i < kCheckCount; ++i)
          Checks[i].Of(form->Settings) = SendMessageA(form->CheckBoxes[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
        TReportOptions& report = form->Settings.Report;
        report.Blocks = SendMessageA(form->Blocks, BM_GETCHECK, 0, 0) == BST_CHECKED;
        report.AttributeTags = SplitAttributeTags(ReadWindowText(form->Tags));
        report.Areas = SendMessageA(form->Areas, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const LRESULT unit = SendMessageA(form->Unit, CB_GETCURSEL, 0, 0);
        report.Unit = unit >= 1 && unit <= kUnitCount ? kDialogUnits[unit - 1] : "";
        form->Accepted = true;
        form->Done = true;
        return 0;
      }
      if (LOWORD(W) == IDCANCEL) {
        form->Done = true;
        return 0;
      }
      if (LOWORD(W) == kBlocksId && HIWORD(W) == BN_CLICKED) {
        // The tags split the counted symbols: no use without them.
        const BOOL counted = SendMessageA(form->Blocks, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EnableWindow(form->TagsLabel, counted);
        EnableWindow(form->Tags, counted);
        return 0;
      }
      break;
    case WM_CLOSE:
      form->Done = true;
      return 0;
    default:
      break;
  }
  return DefWindowProcA(Window, Message, W, L);
}

}  // namespace

bool ShowSettingsWindow(HWND Owner, HFONT Font, int Dpi, TDialogSettings& Settings) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  auto scale = [&](int Pixels) { return MulDiv(Pixels, Dpi, 96); };

  // As wide as the longest caption needs.
  int textWidth = 0, tagsLabelWidth = 0, unitLabelWidth = 0, unitWidth = 0;
  {
    TWindowDc dc(nullptr);
    TSelectObject select(dc.Get(), Font);
    auto widthOf = [&](const char* Text) {
      SIZE size{};
      GetTextExtentPoint32A(dc.Get(), Text, static_cast<int>(lstrlenA(Text)), &size);
      return static_cast<int>(size.cx);
    };
    for (const TCheck& check : Checks) textWidth = std::max(textWidth, widthOf(check.Caption));
    textWidth = std::max({textWidth, widthOf(BlocksCaption), widthOf(AreasCaption)});
    tagsLabelWidth = widthOf(TagsCaption);
    unitLabelWidth = widthOf(UnitCaption);
    unitWidth = widthOf(AsDrawnCaption);
    for (const char* unit : kDialogUnits) unitWidth = std::max(unitWidth, widthOf(unit));
  }
  const int clientWidth = std::max(scale(kMargin * 2 + kCheckBox) + textWidth, scale(kMargin * 3 + kButtonWidth * 2));
  // Rows from the top: the check boxes of the list's form, a line, then the
  // take-off: symbols, their tags (under the symbols' box), areas, the unit.
  const int checksBottom = scale(kMargin + kCheckCount * (kCheckHeight + kCheckGap));
  const int ruleTop = checksBottom + scale(kRuleGap - kCheckGap);
  const int blocksTop = ruleTop + scale(kRuleGap);
  const int tagsTop = blocksTop + scale(kCheckHeight + kCheckGap);
  const int areasTop = tagsTop + scale(kFieldHeight + kCheckGap);
  const int unitTop = areasTop + scale(kCheckHeight + kCheckGap);
  const int buttonsTop = unitTop + scale(kFieldHeight + kMargin);
  const int clientHeight = buttonsTop + scale(kButtonHeight + kMargin);
  // The two fields start at one column, after the longer of their labels.
  const int fieldLeft =
      std::max(scale(kMargin + kCheckBox) + tagsLabelWidth, scale(kMargin) + unitLabelWidth) + scale(kLabelGap);

  TSettingsF form;
  form.Settings = Settings;
  const TWindowHandle window = CreateModalWindow(Owner, SettingsWindowClassName, SettingsProc, Caption, clientWidth,
                                                 clientHeight, TModalPlace::OverOwner, &form);
  form.Window = window.Get();
  auto child = [&](const char* className, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND control =
        CheckCreated(CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, w, h,
                                     form.Window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr),
                     "CreateWindowExA");
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    return control;
  };
  for (int i = 0; i < kCheckCount; ++i) {
    form.CheckBoxes[i] = child("BUTTON", Checks[i].Caption, BS_AUTOCHECKBOX, scale(kMargin),
                               scale(kMargin + i * (kCheckHeight + kCheckGap)), clientWidth - scale(kMargin * 2),
                               scale(kCheckHeight), 100 + i);
    SendMessageA(form.CheckBoxes[i], BM_SETCHECK, Checks[i].Of(Settings) ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  // The line before the take-off; no tab stop of its own.
  HWND rule = child("STATIC", "", SS_ETCHEDHORZ, scale(kMargin), ruleTop, clientWidth - scale(kMargin * 2), 2, -1);
  SetWindowLongA(rule, GWL_STYLE, GetWindowLongA(rule, GWL_STYLE) & ~WS_TABSTOP);
  form.Blocks = child("BUTTON", BlocksCaption, BS_AUTOCHECKBOX, scale(kMargin), blocksTop,
                      clientWidth - scale(kMargin * 2), scale(kCheckHeight), kBlocksId);
  SendMessageA(form.Blocks, BM_SETCHECK, Settings.Report.Blocks ? BST_CHECKED : BST_UNCHECKED, 0);
  // A label's text stands level with the text in the field beside it.
  const int labelDrop = (scale(kFieldHeight) - scale(kCheckHeight) + 1) / 2;
  form.TagsLabel = child("STATIC", TagsCaption, SS_LEFT, scale(kMargin + kCheckBox), tagsTop + labelDrop,
                         fieldLeft - scale(kMargin + kCheckBox + kLabelGap), scale(kCheckHeight), -1);
  SetWindowLongA(form.TagsLabel, GWL_STYLE, GetWindowLongA(form.TagsLabel, GWL_STYLE) & ~WS_TABSTOP);
  form.Tags =
      CheckCreated(CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", JoinAttributeTags(Settings.Report.AttributeTags).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, fieldLeft, tagsTop,
                                   clientWidth - scale(kMargin) - fieldLeft, scale(kFieldHeight), form.Window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(201)), instance, nullptr),
                   "CreateWindowExA");
  SendMessageA(form.Tags, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
  EnableWindow(form.TagsLabel, Settings.Report.Blocks);
  EnableWindow(form.Tags, Settings.Report.Blocks);
  form.Areas = child("BUTTON", AreasCaption, BS_AUTOCHECKBOX, scale(kMargin), areasTop,
                     clientWidth - scale(kMargin * 2), scale(kCheckHeight), 202);
  SendMessageA(form.Areas, BM_SETCHECK, Settings.Report.Areas ? BST_CHECKED : BST_UNCHECKED, 0);
  HWND unitLabel = child("STATIC", UnitCaption, SS_LEFT, scale(kMargin), unitTop + labelDrop,
                         fieldLeft - scale(kMargin + kLabelGap), scale(kCheckHeight), -1);
  SetWindowLongA(unitLabel, GWL_STYLE, GetWindowLongA(unitLabel, GWL_STYLE) & ~WS_TABSTOP);
  // The list drops below the box: its height is the box's and the list's.
  form.Unit = child("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, fieldLeft, unitTop,
                    unitWidth + scale(kCheckBox + kMargin * 2), scale(kFieldHeight * (kUnitCount + 2)), 203);
  SendMessageA(form.Unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsDrawnCaption));
  int chosenUnit = 0;
  for (int i = 0; i < kUnitCount; ++i) {
    SendMessageA(form.Unit, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kDialogUnits[i]));
    if (Settings.Report.Unit == kDialogUnits[i]) chosenUnit = i + 1;
  }
  SendMessageA(form.Unit, CB_SETCURSEL, chosenUnit, 0);

  // OK, then キャンセル, at the right of the bottom row.
  const int cancelLeft = clientWidth - scale(kMargin + kButtonWidth);
  const int okLeft = cancelLeft - scale(kMargin + kButtonWidth);
  child("BUTTON", OkCaption, BS_DEFPUSHBUTTON, okLeft, buttonsTop, scale(kButtonWidth), scale(kButtonHeight), IDOK);
  child("BUTTON", CancelCaption, BS_PUSHBUTTON, cancelLeft, buttonsTop, scale(kButtonWidth), scale(kButtonHeight),
        IDCANCEL);

  RunModalLoop(Owner, form.Window, form.CheckBoxes[0], form.Done);
  if (form.Accepted) Settings = form.Settings;
  return form.Accepted;
}
