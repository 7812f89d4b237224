#include "standin/demo_paint_win.h"

#include "standin/demo_layout.h"
#include "support/win_handles.h"

namespace vm::standin {
namespace {

constexpr COLORREF kBackground = RGB(20, 92, 140);
constexpr COLORREF kBall = RGB(250, 190, 40);
constexpr COLORREF kTitleColour = RGB(255, 255, 255);
constexpr COLORREF kButton = RGB(200, 60, 50);
constexpr char kTitle[] = "Vardel Mossant";
constexpr char kPageLinkText[] = "Open the demo page";
constexpr char kQuitButtonText[] = "Quit";
constexpr char kFontFace[] = "Arial";
constexpr int kTitleHeightDivisor = 8;  // of the client height
constexpr int kBallDivisor = 6;         // ball diameter, of the smaller client side
constexpr int kFramesPerCrossing = 90;  // three seconds at the animation's 30 frames a second

// Back and forth across the width: 0 at the left edge, range at the right.
int BouncePosition(unsigned frame, int range) {
  unsigned phase = frame % (2 * kFramesPerCrossing);
  unsigned step = phase < kFramesPerCrossing ? phase : 2 * kFramesPerCrossing - phase;
  return MulDiv(range, static_cast<int>(step), kFramesPerCrossing);
}

RECT ToRect(const DemoRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

void DrawControls(HDC dc, int width, int height) {
  const DemoLayout layout = LayOutDemo(width, height);
  RECT link = ToRect(layout.PageLink);
  RECT button = ToRect(layout.QuitButton);
  UniqueFont font(CreateFontA(-((link.bottom - link.top) / 2), 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                              kFontFace));
  HGDIOBJ oldFont = SelectObject(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, kTitleColour);
  DrawTextA(dc, kPageLinkText, -1, &link, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  SetDCBrushColor(dc, kButton);
  FillRect(dc, &button, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  DrawTextA(dc, kQuitButtonText, -1, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawFrame(HDC dc, int width, int height, unsigned frame) {
  RECT all = {0, 0, width, height};
  SetDCBrushColor(dc, kBackground);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

  int diameter = (width < height ? width : height) / kBallDivisor;
  int x = BouncePosition(frame, width - diameter);
  int y = height * 2 / 3;
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
  SetDCBrushColor(dc, kBall);
  Ellipse(dc, x, y, x + diameter, y + diameter);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);

  UniqueFont font(CreateFontA(-(height / kTitleHeightDivisor), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                              ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, kFontFace));
  HGDIOBJ oldFont = SelectObject(dc, font ? font.get() : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTitleColour);
  RECT titleArea = {0, 0, width, y};
  DrawTextA(dc, kTitle, -1, &titleArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, oldFont);
  DrawControls(dc, width, height);
}

}  // namespace

void PaintDemoFrame(HDC dc, const RECT& client, unsigned frame) {
  int width = client.right - client.left;
  int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  // Drawn off screen and copied in one go, so that the moving ball does not flicker.
  UniqueMemoryDC memory(CreateCompatibleDC(dc));
  UniqueBitmap bitmap(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !bitmap) {
    DrawFrame(dc, width, height, frame);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(memory.get(), bitmap.get());
  DrawFrame(memory.get(), width, height, frame);
  BitBlt(dc, client.left, client.top, width, height, memory.get(), 0, 0, SRCCOPY);
  SelectObject(memory.get(), oldBitmap);
}

}  // namespace vm::standin
