#include "fuzz_properties.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <span>
#include <sstream>
#include <vector>

#include "metrics/report_row.h"
#include "metrics/spec_scanner.h"
#include "reference_scanner.h"

namespace zentil::fuzz {
namespace {

// A spec file that hands its bytes out in reads of the sizes a generator chooses, never more
// than the caller's buffer holds. Seed 0 fills the buffer on every read.
class ChoppedFile final : public InputFile {
 public:
  ChoppedFile(std::string_view bytes, std::uint32_t seed)
      : rest_(bytes),
        size_(static_cast<std::int64_t>(bytes.size())),
        full_reads_(seed == 0),
        state_(seed) {}

  Result<std::size_t> read(std::span<char> buffer) override {
    if (rest_.empty() || buffer.empty()) return std::size_t{0};
    // xorshift32 (never 0): cheap, and the same input always gives the same reads.
    state_ = state_ == 0 ? 1 : state_;
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    // Mostly tiny reads, so that CR and LF land on both sides of a read often.
    std::size_t want = (full_reads_ || (state_ & 3) == 0) ? buffer.size() : 1 + (state_ >> 8) % 4;
    want = std::min({want, buffer.size(), rest_.size()});
    std::copy_n(rest_.data(), want, buffer.data());
    rest_.remove_prefix(want);
    return want;
  }
  Result<std::int64_t> size() override { return size_; }

 private:
  std::string_view rest_;
  std::int64_t size_;
  bool full_reads_;
  std::uint32_t state_;
};

struct Scan {
  FileMetrics metrics;
  char kind = 'O';
  std::string error;
};

Scan scan_with(std::string_view bytes, std::size_t buffer_size, std::uint32_t seed,
               std::size_t long_line = SpecScanner::kDefaultLongLine) {
  ChoppedFile file(bytes, seed);
  std::vector<char> buffer(buffer_size);
  SpecScanner scanner(long_line);
  Scan scan;
  if (Status s = scan_spec_file(file, scanner, buffer); !s.ok()) scan.error = s.error().message;
  scan.metrics = scanner.metrics();
  scan.kind = static_cast<char>(scanner.kind());
  return scan;
}

std::string describe(const FileMetrics& m, char kind) {
  std::ostringstream out;
  out << "kind " << kind << " tablesTotal " << m.tablesTotal << " attributesTotal "
      << m.attributesTotal << " lineCount " << m.lineCount << " fileSize " << m.fileSize
      << " deleteControls " << m.deleteControls << " tableAttributes " << m.tableAttributes
      << " attributeProperties " << m.attributeProperties << " tableAttributeProperties "
      << m.tableAttributeProperties << " printBlocks " << m.printBlocks << " levels " << m.levels
      << " levelTables " << m.levelTables << " rules " << m.rules << " datastoreRules "
      << m.datastoreRules << " propertyRules " << m.propertyRules << " commands " << m.commands
      << " vars " << m.vars;
  return out.str();
}

std::string compare(const char* what, const Scan& got, const ReferenceScan& want) {
  if (!got.error.empty()) return std::string(what) + ": the scan failed: " + got.error;
  if (got.metrics == want.metrics && got.kind == want.kind) return {};
  return std::string(what) + ":\n  got  " + describe(got.metrics, got.kind) + "\n  want " +
         describe(want.metrics, want.kind);
}

std::uint32_t byte_at(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
}

}  // namespace

std::string check_scanner(std::string_view input) {
  const std::size_t buffer_size = 1 + (byte_at(input, 0) | byte_at(input, 1) << 8) % 512;
  const std::uint32_t seed = byte_at(input, 2) | byte_at(input, 3) << 8;
  const std::string_view bytes = input.substr(std::min<std::size_t>(4, input.size()));

  const ReferenceScan want = reference_scan(bytes);
  // Lines that cross reads and outgrow the scanner's hold are measured as they stream past:
  // small holds make that happen on small inputs too.
  const std::size_t long_line = SpecScanner::kMinLongLine + seed % 97;
  if (std::string e =
          compare("chopped reads", scan_with(bytes, buffer_size, seed, long_line), want);
      !e.empty()) {
    return e + "\n  buffer " + std::to_string(buffer_size) + ", seed " + std::to_string(seed) +
           ", long line " + std::to_string(long_line);
  }
  if (std::string e =
          compare("one byte at a time", scan_with(bytes, 1, 0, SpecScanner::kMinLongLine), want);
      !e.empty()) {
    return e;
  }
  return compare("whole file in one read", scan_with(bytes, bytes.size() + 1, 0), want);
}

std::string check_report_row(std::string_view input) {
  // Counters stay far from the 64-bit limits: real ones are bounded by a file's size, and the
  // effective lines subtract four of them from a fifth.
  std::array<std::int64_t, 16> values{};
  const std::size_t given = input.empty() ? 0 : byte_at(input, 0) % (values.size() + 1);
  std::size_t at = 1;
  for (std::size_t i = 0; i < given && at + 8 <= input.size(); ++i, at += 8) {
    std::uint64_t raw = 0;
    for (std::size_t k = 0; k < 8; ++k) raw |= std::uint64_t{byte_at(input, at + k)} << (8 * k);
    values[i] = static_cast<std::int64_t>(raw) >> 24;
  }
  const std::string_view name = input.substr(std::min(at, input.size()));

  FileMetrics m;
  std::int64_t* fields[] = {&m.tablesTotal,
                            &m.attributesTotal,
                            &m.lineCount,
                            &m.fileSize,
                            &m.deleteControls,
                            &m.tableAttributes,
                            &m.attributeProperties,
                            &m.tableAttributeProperties,
                            &m.printBlocks,
                            &m.levels,
                            &m.levelTables,
                            &m.rules,
                            &m.datastoreRules,
                            &m.propertyRules,
                            &m.commands,
                            &m.vars};
  for (std::size_t i = 0; i < values.size(); ++i) *fields[i] = values[i];

  const std::string before = "earlier row\r\n";
  std::string out = before;
  append_report_row(out, name, m);
  if (!out.starts_with(before)) return "the row changed what the report held before it";
  const std::string_view row = std::string_view(out).substr(before.size());

  if (!row.ends_with("\r\n")) return "the row does not end in CR LF";
  const std::string_view body = row.substr(0, row.size() - 2);
  if (body.find_first_of("\r\n") != std::string_view::npos) {
    return "the row holds a CR or LF before its end";
  }
  const auto commas = [](std::string_view s) { return std::count(s.begin(), s.end(), ','); };
  if (commas(body) != commas(name) + 12) {
    return "the row holds " + std::to_string(commas(body)) + " commas for a name with " +
           std::to_string(commas(name));
  }

  // The last twelve fields are the counters in column order.
  const std::int64_t want[] = {
      effective_lines(m), m.fileSize,       m.levelTables,     m.tableAttributes,
      m.tablesTotal,      m.deleteControls, m.attributesTotal, m.printBlocks,
      m.levels,           m.rules,          m.commands,        m.vars};
  std::size_t end = body.size();
  for (int column = 11; column >= 0; --column) {
    const std::size_t comma = body.rfind(',', end - 1);
    const std::string_view field = body.substr(comma + 1, end - comma - 1);
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || ptr != field.data() + field.size() || value != want[column]) {
      return "column " + std::to_string(column + 2) + " reads \"" + std::string(field) +
             "\", want " + std::to_string(want[column]);
    }
    end = comma;
  }
  // One byte for every character of the name; a plain ASCII name is written as it is.
  const std::string_view written = body.substr(0, end);
  if (written.size() > name.size()) return "the name grew in the report";
  const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
  });
  if (plain && written != name) return "a plain ASCII name was changed";
  return {};
}

}  // namespace zentil::fuzz
