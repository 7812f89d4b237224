#pragma once

// Where the demo movie's two clickable areas lie in a client area of a given size: a link that
// opens the session's page in the browser, and a button that quits the movie.
namespace vm::standin {

struct DemoRect {
  int Left, Top, Right, Bottom;
};

enum class DemoArea { None, PageLink, QuitButton };

struct DemoLayout {
  DemoRect PageLink;
  DemoRect QuitButton;
};

DemoLayout LayOutDemo(int width, int height);

// The area under a point of the client area.
DemoArea DemoAreaAt(int width, int height, int x, int y);

// What the demo opens for each area, as a movie's links would: the page is a file of the session
// in the movie's folder.
constexpr char kDemoPage[] = "demo.htm";
constexpr char kDemoQuitAddress[] = "vcommand:quit";

}  // namespace vm::standin
