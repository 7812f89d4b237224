#include "standin/wine_paint_win.h"

namespace vm::standin {
namespace {

// Wine's x11drv takes private requests through ExtEscape; Windows answers this escape with 0.
constexpr int kX11DrvEscape = 6789;
constexpr int kSetDrawable = 0;
constexpr int kGetDrawable = 1;
constexpr int kIncludeInferiors = 1;  // X11's subwindow mode: draw over the root's X children too
constexpr char kWholeWindowProperty[] = "__wine_x11_whole_window";

// The layouts of x11drv's escape structures. An X drawable is an unsigned long on the Unix side:
// pointer-sized, as ULONG_PTR is on both Windows targets.
struct SetDrawableEscape {
  int Code;
  ULONG_PTR Drawable;
  int Mode;
  RECT DcRect;  // the DC's rectangle relative to the drawable
};

// Wine versions differ in how much follows the drawable; each checks that the reply has room for
// its own version, so this carries the longest.
struct GetDrawableEscape {
  int Code;
  ULONG_PTR Drawable;
  ULONG_PTR GlDrawable;
  int PixelFormat;
  RECT DcRect;
};

}  // namespace

void LetWinePaintEmbedded(HWND window, HDC dc) {
  GetDrawableEscape current = {};
  current.Code = kGetDrawable;
  if (ExtEscape(dc, kX11DrvEscape, sizeof current, reinterpret_cast<LPCSTR>(&current), sizeof current,
                reinterpret_cast<LPSTR>(&current)) <= 0 ||
      current.Drawable != 0)
    return;

  HWND root = GetAncestor(window, GA_ROOT);
  if (root == window) return;
  ULONG_PTR rootDrawable = reinterpret_cast<ULONG_PTR>(GetPropA(root, kWholeWindowProperty));
  if (rootDrawable == 0) return;

  // The root's X window covers the root's whole window rectangle, frame included.
  RECT rootRect;
  RECT client;
  POINT origin = {0, 0};
  GetWindowRect(root, &rootRect);
  GetClientRect(window, &client);
  ClientToScreen(window, &origin);
  SetDrawableEscape target = {};
  target.Code = kSetDrawable;
  target.Drawable = rootDrawable;
  target.Mode = kIncludeInferiors;
  target.DcRect.left = origin.x - rootRect.left;
  target.DcRect.top = origin.y - rootRect.top;
  target.DcRect.right = target.DcRect.left + client.right;
  target.DcRect.bottom = target.DcRect.top + client.bottom;
  ExtEscape(dc, kX11DrvEscape, sizeof target, reinterpret_cast<LPCSTR>(&target), 0, nullptr);
}

}  // namespace vm::standin
