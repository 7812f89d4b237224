#include "standin/projector_menu_win.h"

#include <string>

#include "support/errors.h"

namespace vm::standin {
namespace {

struct MenuTexts {
  const char* File;
  const char* Close;
  const char* View;
  const char* FullScreen;
};

constexpr MenuTexts kEnglish = {"&File", "E&xit", "&View", "Full &Screen\tCtrl+F"};
constexpr MenuTexts kGerman = {"&Datei", "&Beenden", "&Ansicht", "&Vollbild\tStrg+F"};

UniqueMenu PopupWith(UINT command, const char* text) {
  UniqueMenu popup(CreatePopupMenu());
  if (!popup || !AppendMenuA(popup.get(), MF_STRING, command, text))
    throw Exception("cannot build the menu item " + std::string(text));
  return popup;
}

void AppendPopup(HMENU bar, UniqueMenu popup, const char* text) {
  if (!AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.get()), text))
    throw Exception("cannot build the menu " + std::string(text));
  popup.release();  // the bar owns it now
}

}  // namespace

UniqueMenu BuildProjectorMenu(MenuLanguage language, UINT fullScreenCommand) {
  const MenuTexts& texts = language == MenuLanguage::German ? kGerman : kEnglish;
  UniqueMenu bar(CreateMenu());
  if (!bar) throw Exception("CreateMenu failed (error " + std::to_string(GetLastError()) + ")");
  AppendPopup(bar.get(), PopupWith(kCloseCommand, texts.Close), texts.File);
  AppendPopup(bar.get(), PopupWith(fullScreenCommand, texts.FullScreen), texts.View);
  return bar;
}

UniqueAccelerators BuildProjectorShortcuts(UINT fullScreenCommand) {
  ACCEL fullScreen = {FVIRTKEY | FCONTROL, 'F', static_cast<WORD>(fullScreenCommand)};
  return UniqueAccelerators(CreateAcceleratorTableA(&fullScreen, 1));
}

}  // namespace vm::standin
