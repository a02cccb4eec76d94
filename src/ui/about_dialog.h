#pragma once

// AboutDialog, the About box "バージョン情報".

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace pelnor {

inline constexpr char kAboutSubtitle[] = "POP3メール自動印刷ツール";
inline constexpr char kAboutNotice[] = "このソフトウェアは無保証です。ご自身の責任でお使いください。";

class AboutDialog : public QDialog {
 public:
  static constexpr int kFormNumber = 6;

  // `setLastShownForm` is called with 6 whenever the box is shown.
  explicit AboutDialog(std::function<void(int)> setLastShownForm, QWidget* parent = nullptr);

  void OnOk();  // hides the box; it lives for the whole run

  // Where this run keeps its files and where its manual was found (empty:
  // none was), so a user can find them whether the program is installed
  // or carried in a folder of its own.
  void ShowPaths(const QString& programDir, const QString& manual);

  QFrame* panel = nullptr;
  QLabel* iconLabel = nullptr;         // the application's icon, once main has set it
  QLabel* productNameLabel = nullptr;  // "Pelnor", blue, bold
  QLabel* versionLabel = nullptr;      // "Ver.1.7", red, bold
  QLabel* subtitleLabel = nullptr;
  QLabel* noticeLabel = nullptr;
  QLabel* pathsLabel = nullptr;        // the program directory and the manual
  QPushButton* okButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::function<void(int)> setLastShownForm_;
};

}  // namespace pelnor
