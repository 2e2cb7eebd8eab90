#include "platform/console.h"

#include <signal.h>
#include <unistd.h>

#include <clocale>
#include <csignal>

namespace zentil {
namespace {

std::atomic<bool>* interrupt_stop = nullptr;

// Only a lock-free atomic may be touched here.
void on_interrupt(int) {
  interrupt_stop->store(true, std::memory_order_relaxed);
}

}  // namespace

void prepare_command_line_program() {
  std::setlocale(LC_ALL, "");  // the system's reasons in the user's language
  // A report that hits the file-size limit fails its write and is reported, not killed.
  std::signal(SIGXFSZ, SIG_IGN);
}

void stop_on_interrupt(std::atomic<bool>& stop) {
  static_assert(std::atomic<bool>::is_always_lock_free);
  interrupt_stop = &stop;
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  // Once: the handler gives way to the default, which ends the program, for a second signal.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

bool is_terminal(std::FILE* stream) {
  return ::isatty(::fileno(stream)) == 1;
}

bool write_text(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool write_utf8_document(std::FILE* stream, std::string_view text) {
  return write_text(stream, text);
}

}  // namespace zentil
