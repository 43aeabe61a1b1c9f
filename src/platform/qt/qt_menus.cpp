// The menu bar and the toolbar's buttons as the window system keeps them:
// built from the shell's template, checked, enabled, added to and taken from
// by command number.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/qt/qt_window.h"
#include "platform/window_system.h"

void menuAttachFresh() {
  QMenuBar* bar = qtWindow.mainWindow->menuBar();
  bar->clear();
  // The old copy goes once control is back in the event loop: a command
  // may be running from one of its items.
  for (QMenu* old : qtWindow.menu.menus) old->deleteLater();
  qtWindow.menu = MenuState{};
  QMenu* parents[4] = {nullptr, nullptr, nullptr, nullptr};
  for (const MenuItem& item : qtWindow.shellLayout.menu) {
    QMenu* parent = item.depth > 0 ? parents[item.depth - 1] : nullptr;
    if (item.caption == nullptr) {
      if (parent != nullptr) parent->addSeparator();
      continue;
    }
    if (item.command == 0) {  // a popup
      QMenu* popup = new QMenu(item.caption, bar);
      qtWindow.menu.menus.push_back(popup);
      if (parent == nullptr) {
        bar->addMenu(popup);
      } else {
        parent->addMenu(popup);
      }
      parents[item.depth] = popup;
      qtWindow.menu.popups[QString(item.caption)] = popup;
      continue;
    }
    QAction* action = parent != nullptr ? parent->addAction(item.caption) : bar->addAction(item.caption);
    action->setEnabled(!item.greyed);
    if (item.shortcut != nullptr) action->setShortcut(QKeySequence(item.shortcut));
    const int command = item.command;
    QObject::connect(action, &QAction::triggered, [command, action] {
      // Qt flips a checkable item on a click; the mark stays as it was until
      // the shell shows the options the command leaves.
      if (action->isCheckable()) action->setChecked(!action->isChecked());
      postMessage(WindowMessage::Command, command);
    });
    qtWindow.menu.actions[command] = action;
    qtWindow.menu.owners[command] = parent;
  }
}

void menuCheck(int command, bool checked) {
  auto found = qtWindow.menu.actions.find(command);
  if (found == qtWindow.menu.actions.end()) return;
  found->second->setCheckable(checked || found->second->isCheckable());
  found->second->setChecked(checked);
}

bool menuIsChecked(int command) {
  auto found = qtWindow.menu.actions.find(command);
  return found != qtWindow.menu.actions.end() && found->second->isChecked();
}

void menuEnable(int command, bool enabled) {
  auto found = qtWindow.menu.actions.find(command);
  if (found != qtWindow.menu.actions.end()) found->second->setEnabled(enabled);
}

bool menuIsEnabled(int command) {
  auto found = qtWindow.menu.actions.find(command);
  return found != qtWindow.menu.actions.end() && found->second->isEnabled();
}

bool menuHasItem(int command) { return qtWindow.menu.actions.count(command) != 0; }

void menuDelete(int command) {
  auto found = qtWindow.menu.actions.find(command);
  if (found == qtWindow.menu.actions.end()) return;
  if (QMenu* owner = qtWindow.menu.owners[command]) owner->removeAction(found->second);
  found->second->deleteLater();
  qtWindow.menu.actions.erase(found);
  qtWindow.menu.owners.erase(command);
}

void menuInsertBefore(int before, int command, std::string_view caption) {
  auto anchor = qtWindow.menu.actions.find(before);
  if (anchor == qtWindow.menu.actions.end()) return;
  QMenu* owner = qtWindow.menu.owners[before];
  if (owner == nullptr) return;
  QAction* action = new QAction(qtText(caption), owner);
  if (caption.empty()) action->setSeparator(true);
  owner->insertAction(anchor->second, action);
  if (!caption.empty()) {
    QObject::connect(action, &QAction::triggered, [command] { postMessage(WindowMessage::Command, command); });
  }
  qtWindow.menu.actions[command] = action;
  qtWindow.menu.owners[command] = owner;
}

std::vector<int> menuItemsOfPopup(std::string_view caption) {
  std::vector<int> commands;
  auto popup = qtWindow.menu.popups.find(qtText(caption));
  if (popup == qtWindow.menu.popups.end()) return commands;
  for (QAction* action : popup->second->actions()) {
    int command = 0;
    for (const auto& [number, known] : qtWindow.menu.actions) {
      if (known == action) command = number;
    }
    commands.push_back(command);
  }
  return commands;
}

void toolbarCheck(int command, bool pressed) {
  auto found = qtWindow.buttons.find(command);
  if (found != qtWindow.buttons.end()) found->second->setChecked(pressed);
}

bool toolbarIsChecked(int command) {
  auto found = qtWindow.buttons.find(command);
  return found != qtWindow.buttons.end() && found->second->isChecked();
}

void toolbarEnable(int command, bool enabled) {
  auto found = qtWindow.buttons.find(command);
  if (found != qtWindow.buttons.end()) found->second->setEnabled(enabled);
}
