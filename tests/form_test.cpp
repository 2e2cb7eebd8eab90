// The window's logic against a fake window: the handlers of the boxes and buttons with either
// separator, runs on their thread with the labels and messages in the order the run gives them,
// input ignored and a close during a run, and the window at rest after each ending; and the
// pace at which the windows show the labels the run sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <tuple>
#include <vector>

#include "gated_file_system.h"
#include "support.h"
#include "ui/frm_principal.h"
#include "ui/label_pacer.h"

namespace zentil {
namespace {

using testing::read_file;
using testing::TempDir;
using ui::Box;

// A window that records what the form shows, answers the folder chooser from a queue and runs
// posted tasks when the test pumps them, as a message loop would.
class FakeView final : public ui::FormView {
 public:
  std::string text(Box box) const override { return boxes_[index(box)]; }
  void set_text(Box box, const std::string& text) override {
    boxes_[index(box)] = text;
    changed(box);
  }
  void set_label(ui::Label label, std::string_view text) override {
    record((label == ui::Label::Status ? "Label1=" : "Label2=") + std::string(text));
  }
  void show_message(std::string_view text) override { record("Zentil|" + std::string(text)); }
  std::string browse_for_folder(std::string_view prompt) override {
    record("chooser: " + std::string(prompt));
    if (answers.empty()) return "";
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void close() override { record("close"); }
  void post(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    posted_.notify_one();
  }

  // Typing: one change per keystroke.
  void type(Box box, std::string_view keys) {
    for (char key : keys) {
      boxes_[index(box)] += key;
      changed(box);
    }
  }
  // The message loop until the form is at rest and nothing is left to do.
  void pump() {
    for (;;) {
      std::unique_lock lock(mutex_);
      if (tasks_.empty() && !form->running()) return;
      posted_.wait(lock, [&] { return !tasks_.empty(); });
      std::function<void()> task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
  }

  ui::frmPrincipal* form = nullptr;
  std::deque<std::string> answers;  // the chooser's, "" cancels
  std::vector<std::string> shown;   // labels, messages, prompts and closes, in order
  std::function<void(const std::string&)> on_shown;  // called on the window's thread

 private:
  static int index(Box box) { return box == Box::Path ? 0 : 1; }
  void changed(Box box) { box == Box::Path ? form->txtPath_Change() : form->txtDest_Change(); }
  void record(std::string what) {
    shown.push_back(what);
    if (on_shown) on_shown(what);
  }

  std::string boxes_[2];
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

ui::FormSystem test_system(std::string separator) {
  ui::FormSystem system = ui::FormSystem::native();
  system.separator = std::move(separator);
  system.current_directory = [] { return std::string("/aquí"); };
  system.decimal_separator = [] { return std::string(","); };
  system.jobs = 1;
  return system;
}

class Form : public ::testing::Test {
 protected:
  void start(ui::FormSystem system = test_system("/")) {
    form = std::make_unique<ui::frmPrincipal>(view, std::move(system));
    view.form = form.get();
  }
  // Generar with these boxes, then `during` while the run goes on; afterwards the window is at
  // rest with the same paths.
  void generate(const std::string& source, const std::string& dest,
                const std::function<void()>& during = {}) {
    view.set_text(Box::Path, source);
    view.set_text(Box::Dest, dest);
    view.shown.clear();
    form->cmdGenerar_Click();
    if (during) during();
    view.pump();
    EXPECT_FALSE(form->running());
    EXPECT_EQ(form->sourcePath(), source);
    EXPECT_EQ(form->reportPath(), dest);
    const auto last_progress = std::find_if(view.shown.rbegin(), view.shown.rend(),
                                            [](auto& s) { return s.starts_with("Label2="); });
    if (last_progress != view.shown.rend()) {  // at rest again
      EXPECT_EQ(*last_progress, "Label2=Archivos procesados: 0");
    }
  }

  FakeView view;
  std::unique_ptr<ui::frmPrincipal> form;
};

TEST_F(Form, PathsFromTheChooserOrTyped) {
  const struct {
    const char* what;
    const char* separator;
    Box box;
    const char* before;
    std::vector<std::string> answers;  // one per click of "..."; "" cancels
    const char* typed;
    const char* after;  // in the box and the path
  } cases[] = {
      {"source: a cancel keeps the box", "\\", Box::Path, "C:\\kb", {""}, "", "C:\\kb"},
      {"source: a cancel keeps it empty", "/", Box::Path, "", {""}, "", ""},
      {"source: a choice gets a separator", "\\", Box::Path, "x", {"D:\\kb"}, "", "D:\\kb\\"},
      {"source: the same on Linux", "/", Box::Path, "x", {"/srv/kb"}, "", "/srv/kb/"},
      {"source: a drive's root gets a second", "\\", Box::Path, "", {"C:\\"}, "", "C:\\\\"},
      {"source: the same folder twice", "\\", Box::Path, "", {"D:\\kb", "D:\\kb"}, "", "D:\\kb\\"},
      {"source: typed as typed", "\\", Box::Path, "", {}, "D:/kb ", "D:/kb "},
      {"report: a choice, and its name",
       "\\",
       Box::Dest,
       "",
       {"E:\\inf"},
       "",
       "E:\\inf\\KBReport.csv"},
      {"report: the root", "/", Box::Dest, "", {"/"}, "", "//KBReport.csv"},
      {"report: a cancel means here",
       "\\",
       Box::Dest,
       "F:\\x.csv",
       {""},
       "",
       "/aquí\\KBReport.csv"},
      {"report: typed as typed", "/", Box::Dest, "", {}, "/tmp/mío.csv", "/tmp/mío.csv"},
  };
  for (const auto& c : cases) {
    FakeView fresh;
    ui::frmPrincipal form(fresh, test_system(c.separator));
    fresh.form = &form;
    fresh.set_text(c.box, c.before);
    fresh.answers.assign(c.answers.begin(), c.answers.end());
    for (std::size_t i = 0; i < c.answers.size(); ++i) {
      c.box == Box::Path ? form.cmdAbrir_Click() : form.CmdDest_Click();
    }
    fresh.type(c.box, c.typed);
    EXPECT_EQ(fresh.text(c.box), c.after) << c.what;
    EXPECT_EQ(c.box == Box::Path ? form.sourcePath() : form.reportPath(), c.after) << c.what;
    const std::string prompt = std::string("chooser: Seleccione la carpeta ") +
                               (c.box == Box::Path ? "de specs:" : "destino:");
    EXPECT_EQ(fresh.shown, std::vector<std::string>(c.answers.size(), prompt)) << c.what;
  }
}

TEST_F(Form, GenerarShowsTheRunAsItGoesAndSavesBeforeTheMessages) {
  start();
  TempDir out;
  const std::string report = out / "KBReport.csv";
  bool saved = false;
  view.on_shown = [&](const std::string& what) {
    if (what.starts_with("Zentil|")) saved = read_file(report).starts_with("Archivo,");
  };
  generate(ZENTIL_SOURCE_DIR "/tests/golden/odd/", report);
  EXPECT_EQ(view.shown, (std::vector<std::string>{
                            "Label1=Procesando archivos.. Espere por favor.",
                            "Label2=Archivos procesados: 10",
                            "Label1=",
                            "Label2=Archivos procesados: 10",
                            "Zentil|Cantidad de archivos procesados: 10",
                            "Zentil|Zentil de la KB: 0,28",
                            "Label2=Archivos procesados: 0",
                        }));
  EXPECT_TRUE(saved);
  EXPECT_EQ(read_file(report), read_file(std::string(ZENTIL_SOURCE_DIR "/tests/golden/odd.csv")));
}

// Each way a run ends early leaves the window at rest with one message, or none, and the
// earlier report as it was. A report that another program holds is named with what to do.
TEST_F(Form, EndingsWithoutAReport) {
  start();
  TempDir dir;
  const std::string earlier = dir.write("KBReport.csv", "an earlier report\r\n");
  generate("", earlier);
  EXPECT_EQ(view.shown,
            (std::vector<std::string>{"Zentil|Seleccione la carpeta origen"}));  // nothing else
  generate(dir / "no-such-folder", earlier);
  ASSERT_EQ(view.shown.size(), 3u);
  EXPECT_EQ(view.shown[0], "Label1=");
  EXPECT_TRUE(
      view.shown[1].starts_with("Zentil|La carpeta origen no existe: " + (dir / "no-such-folder")))
      << view.shown[1];
  EXPECT_EQ(read_file(earlier), "an earlier report\r\n");

  // As Windows answers when another program holds the report.
  auto* held = new testing::GatedFileSystem("none");
  held->report_error = Error{
      "No se puede reemplazar el informe " + earlier + ": otro programa lo está usando", true};
  ui::FormSystem system = test_system("/");
  system.file_system = [held] { return std::unique_ptr<FileSystem>(held); };
  start(std::move(system));
  generate(dir.path(), earlier);
  ASSERT_EQ(view.shown.size(), 3u);
  EXPECT_EQ(view.shown[1], "Zentil|No se puede reemplazar el informe " + earlier +
                               ": otro programa lo está usando. Ciérrelo en ese programa y "
                               "vuelva a pulsar «Generar».");
}

// While a run goes on no click starts anything; a close stops it wherever it is held: in the
// listing, at a file's opening, or in the second read of a long file (the first, which the other
// thread may take), and nothing more of the file is read. No message, the earlier report as it
// was, no temporary report left, and the window closed once the run has stopped.
TEST_F(Form, InputIgnoredAndCloseStopsTheRun) {
  const std::string working = "Label1=Procesando archivos.. Espere por favor.";
  const struct {
    const char* gate;  // the file held ("": the listing)
    int read;          // held at its opening (0) or in this read of it
    unsigned jobs;
    std::vector<std::string> shown;  // before the stop
  } cases[] = {
      {"", 0, 1, {}},  // with enough files that the listing sees the stop
      {"f25", 0, 1, {working, "Label2=Archivos procesados: 10"}},
      {"f10", 2, 2, {working}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    for (int i = 10; i < 40; ++i) dir.write("kb/f" + std::to_string(i), "v_i(&x)\r\n");
    dir.write("kb/f10", std::string(1 << 20, 'x'));  // read in four parts
    for (int i = 0; i < 300 && !*c.gate; ++i) dir.write("kb/g" + std::to_string(i), "");
    const std::string earlier = dir.write("KBReport.csv", "an earlier report\r\n");
    auto* gated = new testing::GatedFileSystem(c.gate, c.read);
    const auto reads = gated->reads();
    ui::FormSystem system = test_system("/");
    system.file_system = [gated] { return std::unique_ptr<FileSystem>(gated); };
    system.jobs = c.jobs;
    start(std::move(system));
    view.answers = {"/elegida", "/elegida"};
    generate(dir / "kb", earlier, [&] {
      EXPECT_TRUE(gated->wait_reached()) << c.gate;
      form->cmdAbrir_Click();
      form->CmdDest_Click();
      form->cmdGenerar_Click();
      form->cmdSalir_Click();
      EXPECT_FALSE(form->close_requested());
      gated->release();
    });
    std::vector<std::string> shown = c.shown;
    shown.insert(shown.end(), {"Label1=", "Label2=Archivos procesados: 0", "close"});
    EXPECT_EQ(view.shown, shown) << c.gate;
    EXPECT_EQ(*reads, c.read) << c.gate;
    EXPECT_EQ(view.answers.size(), 2u);  // the chooser never opened
    EXPECT_EQ(read_file(earlier), "an earlier report\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testing::fs_path(dir.path())),
                            std::filesystem::directory_iterator{}),
              2)
        << c.gate << ": a temporary report was left behind";
  }
}

TEST_F(Form, SalirAndCloseAtRest) {
  start();
  form->cmdSalir_Click();
  EXPECT_EQ(view.shown, std::vector<std::string>{"close"});
  EXPECT_TRUE(form->close_requested());
}

// A new text shows at once when the label's last one has stood for 250 ms; else it is held,
// the latest replacing any held before, until the window releases it (its timer, or a message
// box as at 410 ms). Each step: when (ms), a new text or none for a release, what the label then
// shows, and how long a text held then would wait (ms).
TEST(LabelPacer, OneTextPerPaceAndAlwaysTheLatest) {
  using Text = std::optional<std::string>;
  const std::tuple<int, Text, Text, int> steps[] = {
      {0, "10", "10", 250}, {100, "20", {}, 150}, {200, "", {}, 50},    {250, {}, "", 250},
      {300, {}, {}, 200},   {400, "30", {}, 100}, {410, {}, "30", 250}, {700, "40", "40", 250}};
  ui::LabelPacer pacer;
  for (const auto& [at, text, shown, wait] : steps) {
    const auto now = ui::LabelPacer::Clock::time_point(std::chrono::milliseconds(at));
    EXPECT_EQ(text ? pacer.set(*text, now) : pacer.release(now), shown) << at << " ms";
    EXPECT_EQ(pacer.wait(now), std::chrono::milliseconds(wait)) << at << " ms";
  }
}

}  // namespace
}  // namespace zentil
