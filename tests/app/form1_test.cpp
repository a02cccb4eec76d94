// The main form on the offscreen platform: start-up from the files, the
// settings dialog's handlers, the exit save, the tray click, and the check
// cycle's hold on the tray icon. The offscreen desktop has no tray host, so
// every start also shows how the program copes without one.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "app/Unit1.h"
#include "core/store/settings_rules.h"
#include "app/Unit1Shell.h"
#include "platform/program_end_watcher.h"
#include "platform/qt_printer.h"
#include "core/text/sjis.h"
#include "core/store/account_store.h"
#include "core/store/history.h"
#include "platform/qt_tray_shell.h"
#include "platform/qt_tray_timer.h"

namespace pelnor {
namespace {

namespace fs = std::filesystem;

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "form1_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const QString kNoTray = QStringLiteral("タスクトレイにアイコンを登録できません。");

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A POP3 server that cannot be reached; it notes how the tray looked
// while the cycle tried.
class UnreachablePop : public Pop3Client {
 public:
  explicit UnreachablePop(std::function<void()> onConnect) : onConnect_(std::move(onConnect)) {}
  void SetServer(const std::string&, const std::string&, const std::string&) override {}
  void Connect() override { onConnect_(); }
  bool Failed() const override { return true; }
  bool Connected() const override { return false; }
  bool Login() override { return false; }
  void CountNewMessages() override {}
  std::uint16_t MessageCount() const override { return 0; }
  void RetrieveAll(MailMessageList&) override {}
  void DeleteMessage(std::uint16_t) override {}
  void Quit() override {}

 private:
  std::function<void()> onConnect_;
};

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/form1_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
    printer_ = std::make_unique<QtPrinter>(dir_);
  }

  void TearDown() override {
    shellForms_.reset();
    form_.reset();
    printer_.reset();
    fs::remove_all(dir_);
  }

  void WriteIni(const std::string& lines) {
    std::ofstream(dir_ + "Defult.ini", std::ios::binary) << lines;
  }
  // A later start: the first-start dialog is behind us.
  void WriteLaterStartIni(const std::string& more = "") {
    WriteIni("[System]\r\nversion=1.7\r\nFirstStart=0\r\n" + more);
  }
  void WriteAccounts(const std::vector<std::string>& records) {
    AccountList list;
    for (const std::string& record : records) list.Add(record);
    SaveAccounts(dir_, list);
  }

  // `beforeCreate` runs between the form's construction and FormCreate, as
  // the program entry wires the shell forms there.
  TForm1& Start(const std::function<void(TForm1&)>& beforeCreate = {}) {
    form_.reset();
    pump_ = std::make_unique<EventPump>([] { QCoreApplication::processEvents(); });
    TForm1Services services;
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
    form_ = std::make_unique<TForm1>(std::move(services));
    if (beforeCreate) beforeCreate(*form_);
    form_->FormCreate();
    return *form_;
  }

  // Starts with the shell forms wired as the program entry does, over a
  // private home and an opener that only records.
  TForm1& StartWithShellForms() {
    return Start([this](TForm1& form) {
      ShellDialogsServices services = ShellFormsServicesFor(form, dir_);
      services.Environment = {dir_ + "home", ""};
      services.Opener = std::make_unique<RecordingOpener>(opened_);
      services.ShowWarning = [this](const QString& text) { messages_.push_back(text); };
      shellForms_ = std::make_unique<ShellDialogs>(std::move(services));
      ConnectShellForms(form, *shellForms_);
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

  std::string dir_;
  QtTrayShell shell_;
  QtTrayTimerFactory timers_;
  TrayHost host_{shell_, timers_};
  std::unique_ptr<QtPrinter> printer_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<ShellDialogs> shellForms_;
  std::vector<std::string> opened_;
  std::vector<QString> messages_;
  std::function<void()> OnConnect;
  std::unique_ptr<EventPump> pump_;  // one per start: an end marks it
};

const std::string kAccountA = "alpha|1|127.0.0.1|a|pw|0|0|font|[]|10|1||1|1|0";
const std::string kAccountB = "beta|1|127.0.0.1|b|pw|0|0|font|[]|10|1||1|1|0";

// ---- start-up and exit ----

TEST_F(Form1Test, FreshInstallationShowsTheDefaultsAndOpensTheDialog) {
  TForm1& form = Start();
  EXPECT_EQ(messages_, std::vector<QString>{kNoTray});
  EXPECT_EQ(form.Edit4->text(), "5");
  for (QLineEdit* margin : {form.Edit5, form.Edit6, form.Edit7, form.Edit8})
    EXPECT_EQ(margin->text(), "200");
  EXPECT_TRUE(form.RadioButton1->isChecked());
  EXPECT_FALSE(form.RadioButton2->isChecked());
  for (QLineEdit* proxy : {form.Edit2, form.Edit3}) {
    EXPECT_TRUE(proxy->text().isEmpty());
    EXPECT_FALSE(proxy->isEnabled());
  }
  EXPECT_FALSE(form.CheckBox2->isChecked());
  EXPECT_EQ(form.CheckListBox1->count(), 0);
  // The first start hands over to the dialog: timer and menu held.
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_FALSE(form.TrayIcon1->AutoPopup());
  EXPECT_EQ(form.LastShownForm, fnSettings);
  EXPECT_EQ(form.SettingsVersion, "1.7");
  // Attachments are offered a folder of their own, away from the program's files.
  EXPECT_EQ(form.AttachDir, dir_ + "attach/");
}

TEST_F(Form1Test, ExitWritesEverySettingInItsOrderWithTheFirstStartMarker) {
  WriteIni("[Ploxy]\r\nAdress=proxy.example\r\nPort=8080\r\n");
  TForm1& form = Start();
  form.Edit4->setText("7");
  form.Button2Click();
  form.Exit1Click();
  EXPECT_FALSE(form.TrayIcon1->Enabled());
  const std::string ini = ReadFile(dir_ + "Defult.ini");
  // The proxy stored while RadioButton1 is on survives untouched.
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

TEST_F(Form1Test, LaterStartArmsTheTimerWithTheStoredInterval) {
  WriteLaterStartIni("[File]\r\nTime=90000\r\n");
  TForm1& form = Start();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.Edit4->text(), "1");
  EXPECT_TRUE(form.Timer1.Armed());
  EXPECT_EQ(form.Timer1.Interval(), 90000);
  form.N3Click();
  EXPECT_FALSE(form.Timer1.Enabled());
  form.Button2Click();
  EXPECT_EQ(form.CheckInterval, 60000);
  EXPECT_EQ(form.Timer1.Interval(), 60000);
}

TEST_F(Form1Test, OldRecordsAreUpgradedAndSavedAtStart) {
  WriteIni("[System]\r\nFirstStart=0\r\n");  // version "old"
  AccountList old;
  old.Add("alias,1,host,user,pass,0,font,[fsBold],10,1,,1,0");
  SaveAccounts(dir_, old);
  TForm1& form = Start();
  ASSERT_EQ(form.AccountList.size(), 1u);
  const std::string paper = std::to_string(form.PaperIndex);
  EXPECT_EQ(form.AccountList[0], "alias|1|host|user|pass|0|" + paper + "|font|[fsBold]|10|1||1|1|0");
  AccountList saved;
  LoadAccounts(dir_, saved);
  EXPECT_EQ(saved.Records(), form.AccountList.Records());
  EXPECT_EQ(form.CheckListBox1->item(0)->text(), "alias");
}

// Each way the settings reach the file, on a form whose values have
// changed since start-up, the file removed before.
TEST_F(Form1Test, EverySavePointWritesTheSettings) {
  const std::string ini = dir_ + "Defult.ini";
  auto endBy = [](int signal) {
    return [signal](TForm1& form) {
      ASSERT_EQ(std::raise(signal), 0);
      EXPECT_TRUE(QTest::qWaitFor([&] { return form.Ending(); }, 5000));
    };
  };
  const std::vector<std::pair<std::string, std::function<void(TForm1&)>>> points = {
      {"OK", [](TForm1& form) { form.N3Click(); form.Button1Click(); }},
      {"終了", [](TForm1& form) { form.Exit1->trigger(); }},
      {"SIGTERM", endBy(SIGTERM)},
      {"SIGINT", endBy(SIGINT)},
      {"SIGHUP", endBy(SIGHUP)},
      {"aboutToQuit", [](TForm1&) {
         QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
         QApplication::exec();
       }},
  };
  for (const auto& [name, save] : points) {
    WriteIni("[System]\r\nFirstStart=0\r\n");  // version "old"
    TForm1& form = Start();
    // At start-up, once the records are upgraded.
    ASSERT_NE(ReadFile(ini).find("version=1.7"), std::string::npos) << name;
    fs::remove(ini);
    ProgramEndWatcher watcher;
    ConnectProgramEnds(form, watcher);
    form.Edit5->setText("123");  // OK takes it from the box
    form.MarginLeft = 123;
    save(form);
    const std::string written = ReadFile(ini);
    EXPECT_NE(written.find("Left=123"), std::string::npos) << name << ":\n" << written;
    EXPECT_NE(written.find("version=1.7"), std::string::npos) << name;
  }
}

// ---- the interval and the margins ----

TEST_F(Form1Test, StoredIntervalsBelowAMinuteRunAsAMinute) {
  for (const auto& [stored, runs] : {std::pair{1, 60000}, {-5, 60000}, {59999, 60000}, {0, 0}}) {
    WriteLaterStartIni("[File]\r\nTime=" + std::to_string(stored) + "\r\n");
    TForm1& form = Start();
    EXPECT_EQ(form.Timer1.Interval(), runs) << stored;
    EXPECT_EQ(form.Timer1.Armed(), runs != 0) << stored;
    EXPECT_EQ(form.Edit4->text(), runs == 0 ? "0" : "1") << stored;
  }
}

TEST_F(Form1Test, CancelStillAppliesTheTypedInterval) {
  WriteLaterStartIni();
  TForm1& form = Start();
  form.N3Click();
  EXPECT_FALSE(form.TrayIcon1->AutoPopup());
  form.Edit4->setText("10");
  form.Button2Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.CheckInterval, 600000);
  EXPECT_TRUE(form.Timer1.Armed());
  EXPECT_EQ(form.Timer1.Interval(), 600000);
  EXPECT_TRUE(form.TrayIcon1->AutoPopup());
}

TEST_F(Form1Test, ZeroMinutesKeepsTheTimerEnabledButNeverDue) {
  WriteLaterStartIni();
  TForm1& form = Start();
  form.N3Click();
  form.Edit4->setText("0");
  form.Button2Click();
  EXPECT_TRUE(form.Timer1.Enabled());
  EXPECT_FALSE(form.Timer1.Armed());
}

TEST_F(Form1Test, RefusedIntervalKeepsTheDialogOpen) {
  WriteLaterStartIni();
  TForm1& form = Start();
  messages_.clear();
  // Not a number, negative, and one minute past what 32 bits of
  // milliseconds hold.
  for (const QString& typed : {QString("abc"), QString("-1"), QString("35792"), QString("")}) {
    form.N3Click();
    form.Edit4->setText(typed);
    form.Button2Click();
    EXPECT_TRUE(form.isVisible()) << typed.toStdString();
    EXPECT_FALSE(form.Timer1.Enabled());
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), QStringLiteral("'%1' は整数ではありません").arg(typed));
    EXPECT_EQ(form.CheckInterval, 300000);
  }
  form.Edit4->setText("35791");
  form.Button2Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.CheckInterval, 35791 * 60000);
}

TEST_F(Form1Test, RefusedMarginStopsOkAfterTheMarginsBeforeIt) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  TForm1& form = Start();
  form.N3Click();
  form.Edit5->setText("150");
  form.Edit6->setText("x1");
  form.Edit7->setText("300");
  messages_.clear();
  form.Button1Click();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(messages_, std::vector<QString>{QStringLiteral("'x1' は整数ではありません")});
  EXPECT_EQ(form.MarginLeft, 150);
  EXPECT_EQ(form.MarginTop, 200);
  form.Edit6->setText("120");
  form.Button1Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.MarginRight, 120);
  EXPECT_EQ(form.MarginTop, 300);
}

// ---- accounts ----

TEST_F(Form1Test, UncheckedAccountStaysDisabledAfterCancelButNotInTheFile) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA, kAccountB});
  TForm1& form = Start();
  ASSERT_EQ(form.CheckListBox1->count(), 2);
  form.N3Click();
  form.CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(form.CheckListBox1->currentRow(), 1);
  form.Button2Click();
  EXPECT_EQ(form.AccountList[0], kAccountA);
  EXPECT_EQ(form.AccountList[1], "beta|0|127.0.0.1|b|pw|0|0|font|[]|10|1||1|1|0");
  AccountList saved;
  LoadAccounts(dir_, saved);
  EXPECT_EQ(saved[1], kAccountB);
}

TEST_F(Form1Test, DeletingTheOnlyAccountThenOkWritesAnEmptyList) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  CreateHistory(dir_, "alpha", kAccountA);
  TForm1& form = Start();
  form.N3Click();
  form.Button4Click();  // nothing selected: nothing happens
  EXPECT_EQ(form.AccountList.size(), 1u);
  form.CheckListBox1->setCurrentRow(0);
  form.Button4Click();
  EXPECT_TRUE(form.AccountList.empty());
  EXPECT_EQ(form.CheckListBox1->count(), 0);
  EXPECT_FALSE(fs::exists(HistoryPath(dir_, "alpha")));
  EXPECT_NE(ReadFile(dir_ + "User.inf"), "");  // only OK writes it
  form.Button1Click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(fs::exists(dir_ + "User.inf"));
  EXPECT_EQ(ReadFile(dir_ + "User.inf"), "");
}

TEST_F(Form1Test, EditorWindowDisablesTheDialogUntilItCloses) {
  WriteLaterStartIni();
  TForm1& form = Start();
  form.N3Click();
  form.Button5Click();  // no account to edit
  EXPECT_FALSE(form.Form2->isVisible());
  form.Button3Click();
  EXPECT_TRUE(form.Form2->isVisible());
  EXPECT_EQ(form.Form2->windowTitle(), QStringLiteral("ｱｶｳﾝﾄ設定"));
  EXPECT_FALSE(form.isEnabled());
  EXPECT_EQ(form.LastShownForm, fnAccountEditor);
  form.Form2->close();
  EXPECT_TRUE(form.isEnabled());
}

TEST_F(Form1Test, EditorStoresAnAccountIntoTheCheckList) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  TForm1& form = Start();
  form.N3Click();
  form.Button3Click();
  form.Form2->Edit1->setText("beta");
  form.Form2->Edit2->setText("127.0.0.1");
  form.Form2->Edit3->setText("b");
  form.Form2->Button1Click();
  EXPECT_TRUE(form.isEnabled());
  ASSERT_EQ(form.CheckListBox1->count(), 2);
  EXPECT_EQ(form.CheckListBox1->item(1)->text(), "beta");
  form.CheckListBox1->setCurrentRow(0);
  form.Button5Click();
  EXPECT_EQ(form.Form2->Edit1->text(), "alpha");
  form.Form2->Button3Click();
  EXPECT_EQ(form.LastShownForm, fnInput);
  form.Form2->inputDialog->Button2Click();
  form.Form2->CheckBox2->setChecked(true);
  form.Form2->Button6Click();
  EXPECT_EQ(form.LastShownForm, fnDirectory);
}

// ---- connection page ----

TEST_F(Form1Test, ProxyBoxesFollowTheOptionAndOkKeepsTheTypedProxy) {
  WriteLaterStartIni("[Ploxy]\r\nAdress=old.proxy\r\nPort=3128\r\n");
  TForm1& form = Start();
  form.N3Click();
  form.RadioButton2->click();
  ASSERT_TRUE(form.RadioButton2->isChecked());
  EXPECT_EQ(form.Edit2->text(), "old.proxy");
  EXPECT_EQ(form.Edit3->text(), "3128");
  EXPECT_TRUE(form.Edit2->isEnabled());
  form.Edit2->setText("new.proxy");
  form.Button1Click();
  EXPECT_EQ(form.ProxyAddress, "new.proxy");
  EXPECT_EQ(form.ProxyPort, "3128");
  form.N3Click();
  form.RadioButton1->click();
  EXPECT_TRUE(form.Edit2->text().isEmpty());
  EXPECT_FALSE(form.Edit3->isEnabled());
  form.Button1Click();
  EXPECT_EQ(form.ProxyAddress, "new.proxy");  // kept while the proxy is off
}

// ---- shell forms ----

TEST_F(Form1Test, FirstStartShowsTheShortcutDialogWhoseClosingOpensTheSettings) {
  TForm1& form = StartWithShellForms();
  ShortcutDialog* shortcut = shellForms_->Shortcut();
  ASSERT_NE(shortcut, nullptr);
  EXPECT_TRUE(shortcut->isVisible());
  EXPECT_TRUE(shortcut->CheckBox1->isChecked());
  EXPECT_TRUE(shortcut->CheckBox2->isChecked());
  EXPECT_EQ(form.LastShownForm, fnShortcut);
  EXPECT_FALSE(form.isVisible());  // the dialog waits for the shortcut dialog
  EXPECT_TRUE(form.Timer1.Enabled());

  shortcut->close();  // the close box: no launcher, the hand-over all the same
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.FirstStart);
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_FALSE(form.TrayIcon1->AutoPopup());
  EXPECT_EQ(form.LastShownForm, fnSettings);
  EXPECT_FALSE(fs::exists(dir_ + "home/.config/autostart/Pelnor.desktop"));
}

// Saved at start-up, the first start stays marked until its dialog has
// closed, so a start ended before that shows the dialog again.
TEST_F(Form1Test, FirstStartMarkerFollowsTheShortcutDialog) {
  TForm1& form = StartWithShellForms();
  const std::string ini = dir_ + "Defult.ini";
  EXPECT_NE(ReadFile(ini).find("FirstStart=1"), std::string::npos) << ReadFile(ini);
  shellForms_->Shortcut()->close();
  form.Button1Click();
  EXPECT_NE(ReadFile(ini).find("FirstStart=0"), std::string::npos) << ReadFile(ini);
}

TEST_F(Form1Test, LaterStartShowsNoShortcutDialog) {
  WriteLaterStartIni();
  TForm1& form = StartWithShellForms();
  EXPECT_EQ(shellForms_->Shortcut(), nullptr);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.LastShownForm, fnNone);
}

TEST_F(Form1Test, MenuEntriesReachTheShellForms) {
  WriteLaterStartIni();
  TForm1& form = StartWithShellForms();
  form.About1->trigger();
  EXPECT_TRUE(shellForms_->About()->isVisible());
  EXPECT_EQ(form.LastShownForm, fnAbout);
  form.N6->trigger();
  form.N7->trigger();
  ASSERT_EQ(opened_.size(), 2u);
  EXPECT_EQ(opened_[0], std::string("mailto:") + kAuthorMailAddress);
  EXPECT_EQ(opened_[1], kAuthorHomePage);
  // No manual beside this program: the entry says so instead of opening.
  form.Help1->trigger();
  EXPECT_EQ(opened_.size(), 2u);
  ASSERT_FALSE(messages_.empty());
  EXPECT_TRUE(messages_.back().startsWith(QStringLiteral("ヘルプファイルが見つかりません。")));
  std::ofstream(dir_ + "pelnor.html") << "<html></html>";
  form.Help1->trigger();
  ASSERT_EQ(opened_.size(), 3u);
  EXPECT_NE(opened_[2].find("pelnor.html"), std::string::npos);
}

// ---- tray ----

TEST_F(Form1Test, TrayClickBringsTheLastShownWindowForward) {
  WriteLaterStartIni();
  TForm1& form = Start();
  form.TrayIcon1Click();  // nothing shown yet: nothing happens
  QWidget about;
  form.RegisterForm(fnAbout, &about);
  form.N3Click();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  EXPECT_EQ(form.LastShownForm, fnAbout);
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.TrayIcon1Click();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&about));
}

TEST_F(Form1Test, CheckRunsWithTheTrayAnimatedAndItsMenuUsable) {
  WriteLaterStartIni("[Config]\r\nCH2=1\r\n");
  WriteAccounts({kAccountA});
  TForm1& form = Start();
  bool enabled = true, animating = false, timer = true;
  OnConnect = [&] {
    enabled = form.TrayIcon1->Enabled();
    animating = form.TrayIcon1->Animating();
    timer = form.Timer1.Enabled();
  };
  form.N1Click();
  EXPECT_TRUE(enabled);
  EXPECT_TRUE(animating);
  EXPECT_FALSE(timer);
  EXPECT_TRUE(form.TrayIcon1->Enabled());
  EXPECT_FALSE(form.TrayIcon1->Animating());
  EXPECT_TRUE(form.Timer1.Armed());
  // The connection error reached the log, the log switch being on.
  EXPECT_NE(ReadFile(dir_ + "Log.txt").find(Sjis("接続エラー")), std::string::npos);
}

// "終了" or a signal in the middle of a check: the check's next pump throws,
// the check unwinds and the event loop ends at once, the settings saved.
TEST_F(Form1Test, EndingDuringACheckUnwindsItPromptly) {
  const std::vector<std::pair<std::string, std::function<void(TForm1&)>>> ends = {
      {"終了", [](TForm1& form) { form.Exit1->trigger(); }},
      {"SIGTERM", [](TForm1&) { std::raise(SIGTERM); }},
  };
  for (const auto& [name, end] : ends) {
    WriteLaterStartIni();
    WriteAccounts({kAccountA});
    TForm1& form = Start();
    fs::remove(dir_ + "Defult.ini");
    ProgramEndWatcher watcher;
    ConnectProgramEnds(form, watcher);
    bool unwound = false;
    // A server that keeps the check waiting; it pumps while it waits.
    OnConnect = [&, end = end] {
      QTimer::singleShot(50, &form, [&] { end(form); });
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
    QTimer::singleShot(0, form.N1, &QAction::trigger);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(QApplication::exec(), 0) << name;
    EXPECT_TRUE(unwound) << name;
    EXPECT_LT(elapsed.elapsed(), 2500) << name;
    EXPECT_TRUE(form.Ending()) << name;
    EXPECT_TRUE(fs::exists(dir_ + "Defult.ini")) << name;
  }
}

// "環境設定" while a check runs: the dialog opens once the check is over,
// so no check re-arms the timer under it.
TEST_F(Form1Test, SettingsAskedForDuringACheckOpenAfterIt) {
  WriteLaterStartIni();
  WriteAccounts({kAccountA});
  TForm1& form = Start();
  bool shownDuringCheck = true;
  OnConnect = [&] {
    form.N3->trigger();
    shownDuringCheck = form.isVisible();
  };
  form.N1->trigger();
  EXPECT_FALSE(shownDuringCheck);
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.Timer1.Enabled());
  EXPECT_FALSE(form.TrayIcon1->AutoPopup());
}

TEST(TrayMenuTest, ItemsAndCaptionsInOrder) {
  char pattern[] = "/tmp/form1_menu_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  QtTrayShell shell;
  QtTrayTimerFactory timers;
  TrayHost host(shell, timers);
  QtPrinter printer(pattern);
  TForm1Services services;
  services.ProgramDir = std::string(pattern) + "/";
  services.Tray = &host;
  services.Printer = &printer;
  {
    TForm1 form(std::move(services));
    QStringList captions;
    for (const QAction* action : form.PopupMenu1->actions())
      captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, QStringList({"ﾒｰﾙﾁｪｯｸ", "-", "環境設定", "-", "ﾍﾙﾌﾟ", "ﾊﾞｰｼﾞｮﾝ情報", "-",
                                     "作者へのﾒｰﾙ", "作者のﾎｰﾑﾍﾟｰｼﾞへ", "-", "終了"}));
    EXPECT_EQ(form.windowTitle(), "Pelnor");
    QStringList pages;
    for (int i = 0; i < form.PageControl1->count(); ++i) pages << form.PageControl1->tabText(i);
    EXPECT_EQ(pages, QStringList({"ｱｶｳﾝﾄ設定", " 一般設定 ", "接続設定", "印刷設定"}));
  }
  fs::remove_all(pattern);
}

// ---- rules ----

TEST(Form1RulesTest, WholeNumbers) {
  struct Row {
    const char* text;
    std::optional<int> value;
  } rows[] = {{"12", 12},        {"  -7", -7},          {"+3", 3},
              {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
              {"2147483648", {}}, {"1 ", {}},           {"", {}},
              {"-", {}},          {"1.5", {}},          {"１", {}}};
  for (const Row& row : rows) EXPECT_EQ(ParseWholeNumber(row.text), row.value) << row.text;
}

TEST(Form1RulesTest, CheckMarkRewritesField2OfEveryRecordOfThatAlias) {
  AccountList list;
  list.Add("a|1|h|u");
  list.Add("b|x|h2");
  list.Add("bb|1");
  SetAccountChecked(list, "b", false);
  // "|" sorts after the letters, so "bb" stands before "b".
  EXPECT_EQ(list.Records(), (std::vector<std::string>{"a|1|h|u", "bb|1", "b|0|h2"}));
  SetAccountChecked(list, "bb", false);  // no field after field 2
  EXPECT_EQ(list[1], "bb|0|");
}

}  // namespace
}  // namespace pelnor
