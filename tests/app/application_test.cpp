// The application on the offscreen platform: start-up from the files, the
// settings dialog as the application opens and takes it back, the saves at
// every end, the tray menu and click, and the check cycle's hold on the
// tray icon. The offscreen desktop has no tray host, so every start also
// shows how the program copes without one.

#include "app/application.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/store/account_store.h"
#include "core/store/history.h"
#include "core/text/sjis.h"
#include "platform/program_end_watcher.h"
#include "platform/qt_printer.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"
#include "support/store_test_util.h"
#include "support/temp_dir.h"
#include "ui/account_editor_dialog.h"
#include "ui/settings_dialog.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;

const QString kNoTray = QStringLiteral("タスクトレイにアイコンを登録できません。");

// A POP3 server that cannot be reached; it notes how the tray looked
// while the cycle tried.
class UnreachablePop : public Pop3Client {
 public:
  explicit UnreachablePop(std::function<void()> onConnect) : onConnect_(std::move(onConnect)) {}
  void SetServer(const ServerAddress&, const std::string&, const std::string&,
                 const std::string&) override {}
  void Connect() override { onConnect_(); }
  bool Failed() const override { return true; }
  bool Connected() const override { return false; }
  bool Login() override { return false; }
  void Stat() override {}
  std::uint32_t MessageCount() const override { return 0; }
  std::optional<std::vector<UidlEntry>> ListUniqueIds() override { return std::nullopt; }
  std::int32_t RetrieveEach(const std::vector<std::uint32_t>&, bool,
                            const MessageHandler&) override {
    return 0;
  }
  void DeleteMessage(std::uint32_t) override {}
  void Quit() override {}

 private:
  std::function<void()> onConnect_;
};

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { printer_ = std::make_unique<QtPrinter>(dir_); }

  void TearDown() override {
    shellDialogs_.reset();
    app_.reset();
    printer_.reset();
  }

  void WriteIni(const std::string& lines) { test::WriteBytes(dir_ + "Defult.ini", lines); }
  // A later start: the first-start dialog is behind us.
  void WriteLaterStartIni(const std::string& more = "") {
    WriteIni("[System]\r\nversion=1.7\r\nFirstStart=0\r\n" + more);
  }
  void WriteAccounts(const std::vector<std::string>& records) {
    AccountList list;
    for (const std::string& record : records) list.Add(record);
    SaveAccounts(dir_, list);
  }

  // `beforeStart` runs between the application's construction and its
  // start, as the program entry wires the shell dialogs there.
  Application& Start(const std::function<void(Application&)>& beforeStart = {}) {
    app_.reset();
    pump_ = std::make_unique<EventPump>([] { QCoreApplication::processEvents(); });
    ApplicationServices services;
    services.ProgramDir = dir_;
    services.Tray = &host_;
    services.Printer = printer_.get();
    services.MakePop = [this] {
      return std::make_unique<UnreachablePop>([this] { if (OnConnect) OnConnect(); });
    };
    services.Pump = pump_.get();
    services.ShowMessage = [this](const QString& text, QMessageBox::Icon) {
      messages_.push_back(text);
    };
    services.ShowNotice = services.ShowMessage;
    services.FirstCheckDelay = firstCheckDelay_;
    app_ = std::make_unique<Application>(std::move(services));
    if (beforeStart) beforeStart(*app_);
    app_->Start();
    return *app_;
  }

  // Starts with the shell dialogs wired as the program entry does, over a
  // private home and an opener that only records.
  Application& StartWithShellDialogs() {
    return Start([this](Application& app) {
      ShellDialogsServices services = app.ShellServices();
      services.Environment = {dir_ + "home", ""};
      services.Opener = std::make_unique<RecordingOpener>(opened_);
      services.ShowWarning = [this](const QString& text) { messages_.push_back(text); };
      shellDialogs_ = std::make_unique<ShellDialogs>(std::move(services));
      app.ConnectShellDialogs(*shellDialogs_);
    });
  }

  class RecordingOpener : public ShellOpener {
   public:
    explicit RecordingOpener(std::vector<std::string>& opened) : opened_(opened) {}
    bool Open(const std::string& target) override {
      opened_.push_back(target);
      return true;
    }

   private:
    std::vector<std::string>& opened_;
  };

  test::TempDir tempDir_{"application-test-"};
  std::string dir_ = tempDir_.Dir();
  QtTrayShell shell_;
  QtTrayTimerFactory timers_;
  TrayHost host_{shell_, timers_};
  std::unique_ptr<QtPrinter> printer_;
  std::unique_ptr<Application> app_;
  std::unique_ptr<ShellDialogs> shellDialogs_;
  std::vector<std::string> opened_;
  std::vector<QString> messages_;
  std::function<void()> OnConnect;
  std::unique_ptr<EventPump> pump_;  // one per start: an end marks it
  std::chrono::milliseconds firstCheckDelay_ = kFirstCheckDelay;
};

const std::string kAccountA = "alpha|1|127.0.0.1|a|pw|0|0|font|[]|10|1||1|1|0";
const std::string kAccountB = "beta|1|127.0.0.1|b|pw|0|0|font|[]|10|1||1|1|0";

// ---- start-up and exit ----

TEST_F(ApplicationTest, FreshInstallationShowsTheDefaultsAndOpensTheDialog) {
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  EXPECT_EQ(messages_, std::vector<QString>{kNoTray});
  EXPECT_EQ(dialog.intervalEdit->text(), "5");
  for (QLineEdit* margin : {dialog.leftMarginEdit, dialog.rightMarginEdit, dialog.topMarginEdit,
                            dialog.bottomMarginEdit})
    EXPECT_EQ(margin->text(), "200");
  EXPECT_TRUE(dialog.directConnectionRadio->isChecked());
  EXPECT_FALSE(dialog.proxyRadio->isChecked());
  for (QLineEdit* proxy : {dialog.proxyAddressEdit, dialog.proxyPortEdit}) {
    EXPECT_TRUE(proxy->text().isEmpty());
    EXPECT_FALSE(proxy->isEnabled());
  }
  EXPECT_FALSE(dialog.logCheck->isChecked());
  EXPECT_EQ(dialog.accountCheckList->count(), 0);
  // The first start hands over to the dialog: timer and menu held.
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(app.CheckTimer().Enabled());
  EXPECT_FALSE(app.Tray().AutoPopup());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::Settings);
  EXPECT_EQ(app.CurrentSettings().SettingsVersion, "1.7");
  // Attachments are offered a folder of their own, away from the program's files.
  EXPECT_EQ(app.AttachDir(), dir_ + "attach/");
}

TEST_F(ApplicationTest, ExitWritesEverySettingInItsOrderWithTheFirstStartMarker) {
  WriteIni("[Ploxy]\r\nAdress=proxy.example\r\nPort=8080\r\n");
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  dialog.intervalEdit->setText("7");
  dialog.OnCancel();
  app.OnExit();
  EXPECT_FALSE(app.Tray().Enabled());
  const std::string ini = ReadBytes(dir_ + "Defult.ini");
  // The proxy stored while the direct connection is on survives untouched.
  const std::vector<std::string> order = {"[Ploxy]",  "Adress=proxy.example", "Port=8080",
                                          "[File]",   "Time=420000",          "[Print]",
                                          "Left=200", "Bottom=200",           "[Config]",
                                          "CH2=0",    "RA1=1",                "RA2=0",
                                          "[System]", "version=1.7",          "FirstStart=0"};
  size_t at = 0;
  for (const std::string& line : order) {
    const size_t found = ini.find(line, at);
    ASSERT_NE(found, std::string::npos) << line << " after " << at << " in\n" << ini;
    at = found;
  }
}

TEST_F(ApplicationTest, LaterStartArmsTheTimerWithTheStoredInterval) {
  WriteLaterStartIni("[File]\r\nTime=90000\r\n");
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.intervalEdit->text(), "1");
  EXPECT_TRUE(app.CheckTimer().Armed());
  EXPECT_EQ(app.CheckTimer().Interval(), 90000);
  app.OnSettings();
  EXPECT_FALSE(app.CheckTimer().Enabled());
  dialog.OnCancel();
  EXPECT_EQ(app.CurrentSettings().CheckInterval, 60000);
  EXPECT_EQ(app.CheckTimer().Interval(), 60000);
}

TEST_F(ApplicationTest, OldRecordsAreUpgradedAndSavedAtStart) {
  WriteIni("[System]\r\nFirstStart=0\r\n");  // version "old"
  AccountList old;
  old.Add("alias,1,host,user,pass,0,font,[fsBold],10,1,,1,0");
  SaveAccounts(dir_, old);
  Application& app = Start();
  ASSERT_EQ(app.Accounts().size(), 1u);
  const std::string paper = std::to_string(app.PaperIndex());
  EXPECT_EQ(app.Accounts()[0], "alias|1|host|user|pass|0|" + paper + "|font|[fsBold]|10|1||1|1|0");
  AccountList saved;
  LoadAccounts(dir_, saved);
  EXPECT_EQ(saved.Records(), app.Accounts().Records());
  EXPECT_EQ(app.SettingsWindow().accountCheckList->item(0)->text(), "alias");
}

// Each way the settings reach the file, with values that have
// changed since start-up, the file removed before.
TEST_F(ApplicationTest, EverySavePointWritesTheSettings) {
  const std::string ini = dir_ + "Defult.ini";
  auto endBy = [](int signal) {
    return [signal](Application& app) {
      ASSERT_EQ(std::raise(signal), 0);
      EXPECT_TRUE(QTest::qWaitFor([&] { return app.Ending(); }, 5000));
    };
  };
  const std::vector<std::pair<std::string, std::function<void(Application&)>>> points = {
      {"OK", [](Application& app) { app.OnSettings(); app.SettingsWindow().OnOk(); }},
      {"終了", [](Application& app) { app.MenuActions().exitAction->trigger(); }},
      {"SIGTERM", endBy(SIGTERM)},
      {"SIGINT", endBy(SIGINT)},
      {"SIGHUP", endBy(SIGHUP)},
      {"aboutToQuit", [](Application&) {
         QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
         QApplication::exec();
       }},
  };
  for (const auto& [name, save] : points) {
    WriteIni("[System]\r\nFirstStart=0\r\n");  // version "old"
    Application& app = Start();
    // At start-up, once the records are upgraded.
    ASSERT_NE(ReadBytes(ini).find("version=1.7"), std::string::npos) << name;
    fs::remove(ini);
    ProgramEndWatcher watcher;
    app.ConnectProgramEnds(watcher);
    app.SettingsWindow().leftMarginEdit->setText("123");  // OK takes it from the box
    Settings changed = app.CurrentSettings();
    changed.MarginLeft = 123;
    app.SetSettings(changed);
    save(app);
    const std::string written = ReadBytes(ini);
    EXPECT_NE(written.find("Left=123"), std::string::npos) << name << ":\n" << written;
    EXPECT_NE(written.find("version=1.7"), std::string::npos) << name;
  }
}

// ---- the interval ----

// A box switched on in the morning prints the night's mail at once: the
// first timed check comes soon after start, not one interval later, and
// the interval counts again from it.
TEST_F(ApplicationTest, FirstTimedCheckComesSoonAfterStart) {
  WriteLaterStartIni("[File]\r\nTime=600000\r\n");
  WriteAccounts({kAccountA});
  firstCheckDelay_ = std::chrono::milliseconds(200);
  int checks = 0;
  OnConnect = [&] { ++checks; };
  Application& app = Start();
  EXPECT_EQ(checks, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return checks == 1; }, 5000));
  EXPECT_GT(app.CheckTimer().RemainingTime(), 590000);
  QTest::qWait(500);
  EXPECT_EQ(checks, 1);
}

TEST_F(ApplicationTest, StoredIntervalsBelowAMinuteRunAsAMinute) {
  for (const auto& [stored, runs] : {std::pair{1, 60000}, {-5, 60000}, {59999, 60000}, {0, 0}}) {
    WriteLaterStartIni("[File]\r\nTime=" + std::to_string(stored) + "\r\n");
    Application& app = Start();
    EXPECT_EQ(app.CheckTimer().Interval(), runs) << stored;
    EXPECT_EQ(app.CheckTimer().Armed(), runs != 0) << stored;
    EXPECT_EQ(app.SettingsWindow().intervalEdit->text(), runs == 0 ? "0" : "1") << stored;
  }
}

TEST_F(ApplicationTest, CancelStillAppliesTheTypedInterval) {
  WriteLaterStartIni();
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  app.OnSettings();
  EXPECT_FALSE(app.Tray().AutoPopup());
  dialog.intervalEdit->setText("10");
  dialog.OnCancel();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(app.CurrentSettings().CheckInterval, 600000);
  EXPECT_TRUE(app.CheckTimer().Armed());
  EXPECT_EQ(app.CheckTimer().Interval(), 600000);
  EXPECT_TRUE(app.Tray().AutoPopup());
}

// The log switch and the connection option count as soon as they change:
// "キャンセル" keeps them, and an end while the dialog is still open saves
// them as they stand.
TEST_F(ApplicationTest, LogSwitchAndConnectionOptionCountWithoutOk) {
  for (const bool cancelFirst : {true, false}) {
    WriteLaterStartIni();
    Application& app = Start();
    SettingsDialog& dialog = app.SettingsWindow();
    app.OnSettings();
    dialog.logCheck->setChecked(true);
    dialog.proxyRadio->click();
    if (cancelFirst) dialog.OnCancel();
    EXPECT_TRUE(app.CurrentSettings().LogEnabled) << cancelFirst;
    EXPECT_FALSE(app.CurrentSettings().DirectConnection) << cancelFirst;
    EXPECT_TRUE(app.CurrentSettings().UseProxy) << cancelFirst;
    app.OnEndRequested();
    const std::string ini = ReadBytes(dir_ + "Defult.ini");
    for (const char* line : {"CH2=1", "RA1=0", "RA2=1"})
      EXPECT_NE(ini.find(line), std::string::npos) << line << " " << cancelFirst << "\n" << ini;
  }
}

TEST_F(ApplicationTest, ZeroMinutesKeepsTheTimerEnabledButNeverDue) {
  WriteLaterStartIni();
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  app.OnSettings();
  dialog.intervalEdit->setText("0");
  dialog.OnCancel();
  EXPECT_TRUE(app.CheckTimer().Enabled());
  EXPECT_FALSE(app.CheckTimer().Armed());
}

TEST_F(ApplicationTest, RefusedIntervalKeepsTheDialogOpen) {
  WriteLaterStartIni();
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  messages_.clear();
  // Not a number, negative, and one minute past what 32 bits of
  // milliseconds hold.
  for (const QString& typed : {QString("abc"), QString("-1"), QString("35792"), QString("")}) {
    app.OnSettings();
    dialog.intervalEdit->setText(typed);
    dialog.OnCancel();
    EXPECT_TRUE(dialog.isVisible()) << typed.toStdString();
    EXPECT_FALSE(app.CheckTimer().Enabled());
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), QStringLiteral("'%1' は整数ではありません").arg(typed));
    EXPECT_EQ(app.CurrentSettings().CheckInterval, 300000);
  }
  dialog.intervalEdit->setText("35791");
  dialog.OnCancel();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(app.CurrentSettings().CheckInterval, 35791 * 60000);
}

// ---- accounts ----

TEST_F(ApplicationTest, EditorWindowDisablesTheDialogUntilItCloses) {
  WriteLaterStartIni();
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  app.OnSettings();
  dialog.OnEditAccount();  // no account to edit
  EXPECT_FALSE(app.AccountEditor().isVisible());
  dialog.OnNewAccount();
  EXPECT_TRUE(app.AccountEditor().isVisible());
  EXPECT_EQ(app.AccountEditor().windowTitle(), QStringLiteral("ｱｶｳﾝﾄ設定"));
  EXPECT_FALSE(dialog.isEnabled());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::AccountEditor);
  app.AccountEditor().close();
  EXPECT_TRUE(dialog.isEnabled());
}

TEST_F(ApplicationTest, EditorStoresAnAccountIntoTheCheckList) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  app.OnSettings();
  dialog.OnNewAccount();
  app.AccountEditor().aliasEdit->setText("beta");
  app.AccountEditor().serverEdit->setText("127.0.0.1");
  app.AccountEditor().userEdit->setText("b");
  app.AccountEditor().OnOk();
  EXPECT_TRUE(dialog.isEnabled());
  ASSERT_EQ(dialog.accountCheckList->count(), 2);
  EXPECT_EQ(dialog.accountCheckList->item(1)->text(), "beta");
  dialog.accountCheckList->setCurrentRow(0);
  dialog.OnEditAccount();
  EXPECT_EQ(app.AccountEditor().aliasEdit->text(), "alpha");
  app.AccountEditor().OnAddAddress();
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::Input);
  app.AccountEditor().inputDialog->OnCancel();
  app.AccountEditor().saveAttachmentsCheck->setChecked(true);
  app.AccountEditor().OnBrowse();
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::Directory);
}

// ---- shell dialogs ----

TEST_F(ApplicationTest, FirstStartShowsTheShortcutDialogWhoseClosingOpensTheSettings) {
  Application& app = StartWithShellDialogs();
  SettingsDialog& dialog = app.SettingsWindow();
  ShortcutDialog* shortcut = shellDialogs_->Shortcut();
  ASSERT_NE(shortcut, nullptr);
  EXPECT_TRUE(shortcut->isVisible());
  EXPECT_TRUE(shortcut->autostartCheck->isChecked());
  EXPECT_TRUE(shortcut->desktopCheck->isChecked());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::Shortcut);
  EXPECT_FALSE(dialog.isVisible());  // the dialog waits for the shortcut dialog
  EXPECT_TRUE(app.CheckTimer().Enabled());

  shortcut->close();  // the close box: no launcher, the hand-over all the same
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(app.CurrentSettings().FirstStart);
  EXPECT_FALSE(app.CheckTimer().Enabled());
  EXPECT_FALSE(app.Tray().AutoPopup());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::Settings);
  EXPECT_FALSE(fs::exists(dir_ + "home/.config/autostart/Pelnor.desktop"));
}

// Saved at start-up, the first start stays marked until its dialog has
// closed, so a start ended before that shows the dialog again.
TEST_F(ApplicationTest, FirstStartMarkerFollowsTheShortcutDialog) {
  Application& app = StartWithShellDialogs();
  const std::string ini = dir_ + "Defult.ini";
  EXPECT_NE(ReadBytes(ini).find("FirstStart=1"), std::string::npos) << ReadBytes(ini);
  shellDialogs_->Shortcut()->close();
  app.SettingsWindow().OnOk();
  EXPECT_NE(ReadBytes(ini).find("FirstStart=0"), std::string::npos) << ReadBytes(ini);
}

TEST_F(ApplicationTest, LaterStartShowsNoShortcutDialog) {
  WriteLaterStartIni();
  Application& app = StartWithShellDialogs();
  EXPECT_EQ(shellDialogs_->Shortcut(), nullptr);
  EXPECT_FALSE(app.SettingsWindow().isVisible());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::None);
}

TEST_F(ApplicationTest, MenuEntriesReachTheShellDialogs) {
  WriteLaterStartIni();
  Application& app = StartWithShellDialogs();
  app.MenuActions().aboutAction->trigger();
  EXPECT_TRUE(shellDialogs_->About()->isVisible());
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::About);
  app.MenuActions().mailAuthorAction->trigger();
  app.MenuActions().homePageAction->trigger();
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[0], std::string("mailto:") + kAuthorMailAddress);
  EXPECT_EQ(opened_[1], kAuthorHomePage);
  // No manual beside this program: the entry says so instead of opening.
  app.MenuActions().helpAction->trigger();
  EXPECT_EQ(opened_.size(), 2u);
  ASSERT_FALSE(messages_.empty());
  EXPECT_TRUE(messages_.back().startsWith(QStringLiteral("ヘルプファイルが見つかりません。")));
  test::WriteBytes(dir_ + "pelnor.html", "<html></html>");
  app.MenuActions().helpAction->trigger();
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_NE(opened_[2].find("pelnor.html"), std::string::npos);
}

// ---- tray ----

TEST_F(ApplicationTest, TrayClickBringsTheLastShownWindowForward) {
  WriteLaterStartIni();
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  app.OnTrayClick();  // nothing shown yet: nothing happens
  QWidget about;
  app.RegisterWindow(WindowNumber::About, &about);
  app.OnSettings();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  EXPECT_EQ(app.LastShownWindow(), WindowNumber::About);
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  app.OnTrayClick();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&about));
}

TEST_F(ApplicationTest, CheckRunsWithTheTrayAnimatedAndItsMenuUsable) {
  WriteLaterStartIni("[Config]\r\nCH2=1\r\n");
  WriteAccounts({kAccountA});
  Application& app = Start();
  bool enabled = true, animating = false, timer = true;
  OnConnect = [&] {
    enabled = app.Tray().Enabled();
    animating = app.Tray().Animating();
    timer = app.CheckTimer().Enabled();
  };
  app.OnCheckNow();
  EXPECT_TRUE(enabled);
  EXPECT_TRUE(animating);
  EXPECT_FALSE(timer);
  EXPECT_TRUE(app.Tray().Enabled());
  EXPECT_FALSE(app.Tray().Animating());
  EXPECT_TRUE(app.CheckTimer().Armed());
  // The connection error reached the log, the log switch being on.
  EXPECT_NE(ReadBytes(dir_ + "Log.txt").find(Sjis("接続エラー")), std::string::npos);
}

// "終了" or a signal in the middle of a check: the check's next pump throws,
// the check unwinds and the event loop ends at once, the settings saved.
TEST_F(ApplicationTest, EndingDuringACheckUnwindsItPromptly) {
  const std::vector<std::pair<std::string, std::function<void(Application&)>>> ends = {
      {"終了", [](Application& app) { app.MenuActions().exitAction->trigger(); }},
      {"SIGTERM", [](Application&) { std::raise(SIGTERM); }},
  };
  for (const auto& [name, end] : ends) {
    WriteLaterStartIni();
    WriteAccounts({kAccountA});
    Application& app = Start();
    fs::remove(dir_ + "Defult.ini");
    ProgramEndWatcher watcher;
    app.ConnectProgramEnds(watcher);
    bool unwound = false;
    // A server that keeps the check waiting; it pumps while it waits.
    OnConnect = [&, end = end] {
      QTimer::singleShot(50, &app.SettingsWindow(), [&] { end(app); });
      QElapsedTimer waiting;
      waiting.start();
      try {
        while (waiting.elapsed() < 5000) {
          pump_->Pump();
          QThread::msleep(1);
        }
      } catch (const EProgramEnding&) {
        unwound = true;
        throw;
      }
    };
    QTimer::singleShot(0, app.MenuActions().checkNowAction, &QAction::trigger);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(QApplication::exec(), 0) << name;
    EXPECT_TRUE(unwound) << name;
    EXPECT_LT(elapsed.elapsed(), 2500) << name;
    EXPECT_TRUE(app.Ending()) << name;
    EXPECT_TRUE(fs::exists(dir_ + "Defult.ini")) << name;
  }
}

// "環境設定" while a check runs: the dialog opens once the check is over,
// so no check re-arms the timer under it.
TEST_F(ApplicationTest, SettingsAskedForDuringACheckOpenAfterIt) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  Application& app = Start();
  SettingsDialog& dialog = app.SettingsWindow();
  bool shownDuringCheck = true;
  OnConnect = [&] {
    app.MenuActions().settingsAction->trigger();
    shownDuringCheck = dialog.isVisible();
  };
  app.MenuActions().checkNowAction->trigger();
  EXPECT_FALSE(shownDuringCheck);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(app.CheckTimer().Enabled());
  EXPECT_FALSE(app.Tray().AutoPopup());
}

TEST(TrayMenuTest, ItemsAndCaptionsInOrder) {
  test::TempDir dir("tray-menu-");
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host(shell, timers);
  QtPrinter printer(dir.Path());
  ApplicationServices services;
  services.ProgramDir = dir.Dir();
  services.Tray = &host;
  services.Printer = &printer;
  Application app(std::move(services));
  QStringList captions;
  for (const QAction* action : app.TrayMenu().actions())
    captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
  EXPECT_EQ(captions, QStringList({"ﾒｰﾙﾁｪｯｸ", "-", "環境設定", "-", "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報", "-",
                                   "作者へのﾒｰﾙ", "作者のﾎｰﾑﾍﾟｰｼﾞへ", "-", "終了"}));
}

}  // namespace
}  // namespace pelnor
