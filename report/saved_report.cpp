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
  std::array<std::string_view, kNumbers> fields;
  std::size_t end = text.size();
  for (std::size_t k = kNumbers; k-- > 0;) {
    const std::size_t comma = end == 0 ? std::string_view::npos : text.rfind(',', end - 1);
    if (comma == std::string_view::npos) {
      return at_line(
          "se esperaban 13 campos separados por comas (el nombre del archivo y 12 "
          "números) y hay " +
          std::to_string(kNumbers - k));
    }
    fields[k] = text.substr(comma + 1, end - comma - 1);
    end = comma;
  }
  const std::string_view name_bytes = text.substr(0, end);
  if (name_bytes.empty()) return at_line("falta el nombre del archivo antes de los 12 números");

  std::array<std::int64_t, kNumbers> numbers{};
  for (std::size_t k = 0; k < kNumbers; ++k) {
    const std::string_view field = fields[k];
    const auto [at, error] = std::from_chars(field.data(), field.data() + field.size(), numbers[k]);
    const bool whole = !field.empty() && at == field.data() + field.size();
    if (error == std::errc::result_out_of_range ||
        (k == 0 && whole && (numbers[k] > kMaxRowLines || numbers[k] < -kMaxRowLines))) {
      return at_line("el campo «" + std::string(kColumns[k]) + "» (" + report_name_to_utf8(field) +
                     ") es mayor de lo que un informe puede contar");
    }
    if (error != std::errc{} || !whole) {
      return at_line("el campo «" + std::string(kColumns[k]) +
                     "» debe ser un número entero y es «" + report_name_to_utf8(field) + "»");
    }
  }
  if (lines_ + numbers[0] > kMaxTotalLines || lines_ + numbers[0] < -kMaxTotalLines) {
    return at_line("las líneas del informe suman más de lo que un informe puede contar");
  }

  std::string name = report_name_to_utf8(name_bytes);
  const auto [earlier, fresh] = lines_by_name_.emplace(file_name_key(name), line_number_);
  if (!fresh) {
    return at_line("el archivo «" + name + "» ya aparece en la línea " +
                   std::to_string(earlier->second) +
                   "; un informe tiene una sola fila por archivo");
  }
  lines_ += numbers[0];
  rows_.push_back({std::move(name), numbers[0]});
  return {};
}

Result<std::vector<KbRow>> read_saved_report(FileSystem& fs, const std::string& path) {
  Result<std::unique_ptr<InputFile>> file = fs.open_input(path);
  if (!file.ok()) return file.error();
  SavedReportReader reader(path);
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
