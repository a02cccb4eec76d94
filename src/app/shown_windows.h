#pragma once

// The program's windows that a tray-icon click can bring forward, and which
// of them was shown last.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>

namespace pelnor {

// The numbers the windows have always had; the account editor and the
// shell dialogs report theirs as plain integers.
enum class WindowNumber : int {
  None = 0,
  Settings = 1,       // SettingsDialog
  AccountEditor = 2,  // AccountEditorDialog
  Input = 3,          // InputDialog
  Directory = 4,      // DirectoryChooser
  Shortcut = 5,       // ShortcutDialog
  About = 6,          // AboutDialog
};

// Watches the registered windows: each one becomes the last shown whenever
// it is shown.
class ShownWindows : public QObject {
 public:
  void Register(WindowNumber number, QWidget* window);
  // A window that tells by itself that it was shown; a number outside
  // the table counts as None.
  void SetLast(int number) { last_ = number; }

  WindowNumber Last() const;
  // The registered window of that number; null for None, an unregistered
  // or a destroyed one.
  QWidget* Window(WindowNumber number) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr int kCount = static_cast<int>(WindowNumber::About) + 1;
  std::array<QPointer<QWidget>, kCount> windows_{};
  int last_ = 0;
};

}  // namespace pelnor
