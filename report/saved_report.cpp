#include "report/saved_report.h"

#include <array>
#include <charconv>
#include <memory>

#include "metrics/report_row.h"
#include "platform/encoding.h"

namespace zentil {
namespace {

constexpr std::size_t kNumbers = 12;  // the fields after the name
// Rows are a name of at most a few hundred bytes and twelve numbers; anything much longer is no
// row, and is not held whole.
constexpr std::size_t kLongestLine = 64 * 1024;

// The header without its CR LF, as the report writes it and as UTF-8 would have it.
constexpr std::string_view kHeader = kReportHeader.substr(0, kReportHeader.size() - 2);
constexpr std::string_view kHeaderUtf8 =
    "Archivo,L\xC3\xADneas,Tama\xC3\xB1o,Tablas,Atrib. tab.,Tablas total,Ctrl. IR dlt.,"
    "Atrib. total,Print blocks,Niveles,Cant. Reglas,Comandos,Vars";
constexpr std::array<std::string_view, kNumbers> kColumns = {
    "Líneas",       "Tamaño",       "Tablas",  "Atrib. tab.",  "Tablas total", "Ctrl. IR dlt.",
    "Atrib. total", "Print blocks", "Niveles", "Cant. Reglas", "Comandos",     "Vars"};

bool is_utf16(std::string_view line) {
  return line.starts_with("\xFF\xFE") || line.starts_with("\xFE\xFF") ||
         line.find('\0') != std::string_view::npos;
}

}  // namespace

Error SavedReportReader::at_line(std::string_view what) const {
  return Error{path_ + ", línea " + std::to_string(line_number_) + ": " + std::string(what)};
}

Status SavedReportReader::feed(std::string_view bytes) {
  if (failed_) return Error{"la lectura ya se detuvo en un error"};
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::size_t take = end == std::string_view::npos ? bytes.size() : end;
    if (pending_.size() + take > kLongestLine) {
      ++line_number_;
      failed_ = true;
      return at_line("la línea es demasiado larga para ser una fila de un informe");
    }
    if (end == std::string_view::npos) {
      pending_.append(bytes);
      return {};
    }
    Status s;
    if (pending_.empty()) {
      s = line(bytes.substr(0, end));
    } else {
      pending_.append(bytes.substr(0, end));
      s = line(pending_);
      pending_.clear();
    }
    if (!s.ok()) {
      failed_ = true;
      return s;
    }
    bytes.remove_prefix(end + 1);
  }
  return {};
}

Status SavedReportReader::finish() {
  if (failed_) return Error{"la lectura ya se detuvo en un error"};
  if (!pending_.empty()) {
    const std::string last = std::move(pending_);
    pending_.clear();
    if (Status s = line(last); !s.ok()) return s;
  }
  if (line_number_ == 0) {
    return Error{path_ +
                 " está vacío: se esperaba un informe de Zentil, que empieza por "
                 "su cabecera («Archivo,Líneas,Tamaño,…»)"};
  }
  // Names are matched once all are read, in name order: no table of names grows with the rows.
  if (const auto repeat = NameOrder(rows_).first_repeat()) {
    line_number_ = repeat->first + 2;  // rows follow the header with no line between
    return at_line("el archivo «" + report_name_to_utf8(rows_.name(repeat->first)) +
                   "» ya aparece en la línea " + std::to_string(repeat->second + 2) +
                   "; un informe tiene una sola fila por archivo");
  }
  return {};  // empty lines at the end, as an editor may leave, are no rows
}

Status SavedReportReader::line(std::string_view text) {
  ++line_number_;
  if (text.ends_with('\r')) text.remove_suffix(1);
  if (line_number_ == 1) return header(text);
  if (text.empty()) {
    ++blank_lines_;
    return {};
  }
  if (blank_lines_ > 0) {
    line_number_ -= blank_lines_;
    return at_line("una fila vacía; se esperaba el nombre de un archivo y 12 números");
  }
  return row(text);
}

Status SavedReportReader::number(std::string_view field, std::size_t column,
                                 std::int64_t& value) const {
  // A field of plain digits row() has read already; this one has a sign, many digits or a fault.
  const auto [at, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  const bool whole = !field.empty() && at == field.data() + field.size();
  const bool in_range = column != 0 || (value <= kMaxRowLines && value >= -kMaxRowLines);
  if (error == std::errc{} && whole && in_range) return {};
  if (error == std::errc::result_out_of_range ||
      (column == 0 && whole && (value > kMaxRowLines || value < -kMaxRowLines))) {
    return at_line("el campo «" + std::string(kColumns[column]) + "» (" +
                   report_name_to_utf8(field) + ") es mayor de lo que un informe puede contar");
  }
  return at_line("el campo «" + std::string(kColumns[column]) +
                 "» debe ser un número entero y es «" + report_name_to_utf8(field) + "»");
}

Status SavedReportReader::header(std::string_view text) const {
  if (text == kHeader) return {};
  const char* saved_as = nullptr;
  if (is_utf16(text)) {
    saved_as = "UTF-16";
  } else if (text.starts_with("\xEF\xBB\xBF") || text == kHeaderUtf8) {
    saved_as = "UTF-8";
  }
  if (saved_as != nullptr) {
    return at_line(std::string("el informe está guardado en ") + saved_as +
                   ", y Zentil lo escribe en Windows-1252 (¿lo volvió a guardar "
                   "otro programa?); use el informe tal como lo escribió Zentil");
  }
  return at_line(
      "no es un informe de Zentil: se esperaba su cabecera («Archivo,Líneas,"
      "Tamaño,Tablas,Atrib. tab.,…,Comandos,Vars»)");
}

Status SavedReportReader::row(std::string_view text) {
  // The last twelve fields are numbers; everything before them is the name, commas and all.
  // One pass back from the end of the line reads them.
  std::array<std::int64_t, kNumbers> numbers{};
  std::size_t end = text.size();
  for (std::size_t k = kNumbers; k-- > 0;) {
    // Plain digits are read on the way; a sign or anything else is left to number().
    std::size_t start = end;
    std::int64_t value = 0, place = 1;
    bool plain = true;
    for (char c; start > 0 && (c = text[start - 1]) != ','; --start) {
      if (c >= '0' && c <= '9' && place <= 100'000'000'000'000'000) {
        value += (c - '0') * place;
        place *= 10;
      } else {
        plain = false;
      }
    }
    if (start == 0) {
      return at_line(
          "se esperaban 13 campos separados por comas (el nombre del archivo y 12 "
          "números) y hay " +
          std::to_string(kNumbers - k));
    }
    if (plain && start < end && (k != 0 || value <= kMaxRowLines)) {
      numbers[k] = value;
    } else if (Status s = number(text.substr(start, end - start), k, numbers[k]); !s.ok()) {
      return s;
    }
    end = start - 1;
  }
  const std::string_view name_bytes = text.substr(0, end);
  if (name_bytes.empty()) return at_line("falta el nombre del archivo antes de los 12 números");
  const std::int64_t total = rows_.total() + numbers[0];
  if (total > kMaxTotalLines || total < -kMaxTotalLines) {
    return at_line("las líneas del informe suman más de lo que un informe puede contar");
  }
  rows_.add(name_bytes, numbers[0]);
  return {};
}

Result<KbRows> read_saved_report(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = fs.open_input(path);
  if (!file.ok()) return file.error();
  SavedReportReader reader(path);
  // A row is some thirty bytes at least: room for all of them at once.
  if (Result<std::int64_t> size = (*file)->size(); size.ok() && *size > 0) {
    reader.reserve(static_cast<std::size_t>(*size));
  }
  std::string buffer(256 * 1024, '\0');
  for (;;) {
    Result<std::size_t> n = (*file)->read(buffer);
    if (!n.ok()) return n.error();
    if (*n == 0) break;
    if (Status s = reader.feed(std::string_view(buffer.data(), *n)); !s.ok()) return s.error();
  }
  if (Status s = reader.finish(); !s.ok()) return s.error();
  return reader.take_rows();
}

}  // namespace zentil
