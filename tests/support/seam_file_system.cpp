#include "support/seam_file_system.h"

#include <algorithm>

namespace zentil::testing {
namespace {

constexpr std::size_t kReadFailsAt = 20;

// A read that fails once `fail_at` bytes have been handed out.
class FailingInput final : public InputFile {
 public:
  FailingInput(std::unique_ptr<InputFile> inner, std::size_t fail_at)
      : inner_(std::move(inner)), fail_at_(fail_at) {}
  Result<std::size_t> read(std::span<char> buffer) override {
    if (given_ >= fail_at_) return Error{"No se pudo leer el archivo: Input/output error"};
    Result<std::size_t> n = inner_->read(buffer.first(std::min(buffer.size(), fail_at_ - given_)));
    if (n.ok()) given_ += *n;
    return n;
  }
  Result<std::int64_t> size() override { return inner_->size(); }

 private:
  std::unique_ptr<InputFile> inner_;
  std::size_t fail_at_;
  std::size_t given_ = 0;
};

// A report whose writes, or whose save, fail.
class FailingReport final : public ReportFile {
 public:
  FailingReport(std::unique_ptr<ReportFile> inner, bool on_write, std::string path)
      : inner_(std::move(inner)), on_write_(on_write), path_(std::move(path)) {}
  Status write(std::string_view bytes) override {
    if (on_write_) {
      return Error{"No se pudo escribir el informe " + path_ + ": No space left on device"};
    }
    return inner_->write(bytes);
  }
  Status commit() override {
    return Error{"No se pudo guardar el informe " + path_ + ": Input/output error"};
  }

 private:
  std::unique_ptr<ReportFile> inner_;
  bool on_write_;
  std::string path_;
};

bool names(const std::string& path, const std::string& entry) {
  return !entry.empty() && (path.ends_with("/" + entry) || path.ends_with("\\" + entry));
}

}  // namespace

Status SeamFileSystem::check_source_folder(const std::string& path) {
  return real_->check_source_folder(path);
}

Result<std::vector<ListedEntry>> SeamFileSystem::list_folder(const std::string& path,
                                                             const std::string& report) {
  auto listing = real_->list_folder(path, report);
  if (listing.ok()) {
    for (auto& e : *listing) e.archive = !without_archive.contains(e.name);
  }
  return listing;
}

Result<std::unique_ptr<InputFile>> SeamFileSystem::open_input(const std::string& path) {
  if (names(path, fail_open)) {
    return Error{"No se pudo abrir el archivo " + path + ": Permission denied"};
  }
  auto file = real_->open_input(path);
  if (file.ok() && names(path, fail_read)) {
    return std::unique_ptr<InputFile>(
        std::make_unique<FailingInput>(std::move(*file), kReadFailsAt));
  }
  return file;
}

Result<std::unique_ptr<ReportFile>> SeamFileSystem::create_report(const std::string& path) {
  auto report = real_->create_report(path);
  if (!report.ok() || (!fail_write && !fail_commit)) return report;
  return std::unique_ptr<ReportFile>(
      std::make_unique<FailingReport>(std::move(*report), fail_write, path));
}

}  // namespace zentil::testing
