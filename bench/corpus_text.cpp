#include "corpus_text.h"

#include <array>
#include <string_view>
#include <vector>

namespace zentil::bench {
namespace {

constexpr std::array kStems = {"Cli", "Prd", "Fac", "Prv", "Emp", "Dep", "Art", "Cta", "Suc",
                               "Ven", "Com", "Pag", "Rem", "Stk", "Lin", "Ped", "Cob", "Mon"};
constexpr std::array kWords = {"Cliente",  "Producto", "Factura", "Proveedor", "Empleado",
                               "Deposito", "Articulo", "Cuenta",  "Sucursal",  "Vendedor",
                               "Compra",   "Pago",     "Remito",  "Stock",     "Linea",
                               "Pedido",   "Cobranza", "Moneda"};
constexpr std::array kSuffixes = {"Id", "Nom", "Dsc", "Fch", "Imp", "Cnt", "Tel", "Dir", "Est"};

std::string attribute(Rng& rng) {
  return std::string(kStems[rng.next() % kStems.size()]) + kSuffixes[rng.next() % kSuffixes.size()];
}

std::string word(Rng& rng) {
  return kWords[rng.next() % kWords.size()];
}

std::string attribute_list(Rng& rng, int count) {
  std::string list = "[";
  for (int i = 0; i < count; ++i) {
    if (i > 0) list += ',';
    list += attribute(rng);
  }
  return list + "]";
}

// Pads a fact to a length drawn from 20..200, inside a trailing quoted comment so that the
// facts keep their shape.
void finish_line(Rng& rng, std::string& line, std::string& out) {
  const auto target = static_cast<std::size_t>(rng.between(20, 200));
  if (line.size() + 5 < target) {
    line.insert(line.size() - 2, ",'");
    std::size_t insert_at = line.size() - 2;
    std::string filler;
    while (line.size() + filler.size() + 1 < target) {
      filler += word(rng);
      filler += ' ';
    }
    filler.resize(target - line.size() - 1);
    filler += '\'';
    line.insert(insert_at, filler);
  }
  if (line.size() > 200) line.resize(200);
  out += line;
  out += "\r\n";
}

enum class Kind { Transaction, Procedure, Report };

// One fact line of a file of `kind`; `levels` holds the level names of a transaction so far.
// The fact of kind `pick` (1..100, the kinds' shares of all lines).
std::string fact(Rng& rng, Kind kind, std::vector<std::string>& levels, int pick) {
  const std::string n = std::to_string(rng.between(1, 400));
  if (kind == Kind::Transaction) {
    if (pick <= 3 || levels.empty()) {
      std::string name = word(rng) + (rng.chance(50) ? "" : word(rng));
      if (levels.size() < 12) levels.push_back(name);
      return "level_i(" + name + "," + n + ",'" + name + "'," + attribute_list(rng, 1) + ").";
    }
    if (pick <= 10) {
      const std::string& table =
          rng.chance(70) ? levels[rng.next() % levels.size()] : word(rng) + "Aux";
      return "table_i(" + table + ",'" + table + "'," + attribute_list(rng, rng.between(1, 12)) +
             "," + attribute_list(rng, 1) + ").";
    }
    if (pick <= 35) {
      const std::string a = attribute(rng);
      if (rng.chance(10)) return "attri_i('" + a + "','" + word(rng) + "',numeric(8)).";
      return "attri_i(" + a + ",'" + word(rng) + "',numeric(" + n + "),'" + a + "').";
    }
    if (pick <= 50) return "att_prop_i(" + attribute(rng) + ",nullable,no).";
    if (pick <= 55)
      return "tbl_att_prop_i(" + word(rng) + "," + attribute(rng) + ",autonumber,yes).";
    if (pick <= 57) return "tbl_to_delete_i(" + word(rng) + ",'Borrar si no hay referencias').";
    if (pick <= 62) return "rule_i(0,prop(" + attribute(rng) + ",readonly,yes)).";
    if (pick <= 65) return "rule_i(0,datastore(Default," + word(rng) + ")).";
    if (pick <= 72) {
      return "rule_i(" + n + ",rule([error('" + word(rng) + "'),if(isnull(" + attribute(rng) +
             "))]),'Dato requerido').";
    }
  } else {
    if (pick <= 12) return "v_i(&" + attribute(rng) + ",numeric(10,2),'Variable " + n + "').";
    if (pick <= 45) {
      return std::string("b_line_i(") + n + (rng.chance(70) ? ",cmd,'" : ",label,'") + "for each " +
             word(rng) + " where " + attribute(rng) + " > " + n + "').";
    }
    if (pick <= 52) return "print_i(" + n + ",title([]),'Listado de " + word(rng) + "').";
    if (pick <= 58) {
      return "rule_i(" + n + ",rule([parm(&" + attribute(rng) + ")]),'Parametros').";
    }
    if (pick <= 62) return "rule_i(" + n + ",noaccept(" + attribute(rng) + ")).";
  }
  if (pick <= 76) return "subview_i(" + n + ",'" + word(rng) + "').";
  if (pick <= 80) return "map_i(" + n + ",0," + n + ").";
  if (pick <= 83) return "std_color_i(" + n + ",black).";
  if (pick <= 86) return "a_alias_i(" + attribute(rng) + "," + word(rng) + ").";
  if (pick <= 87) return "calling_main_i(no).";
  if (pick <= 92) return "v_i(&" + attribute(rng) + ",char(" + n + "),'" + word(rng) + "').";
  if (pick <= 96) return "form_i(" + n + ",text('" + word(rng) + "')).";
  return "prompt_i(" + attribute(rng) + "," + word(rng) + ").";
}

// Appends `length` characters of busy text: letters, digits and "_", and one character in six
// a comma, bracket, parenthesis or quote.
void busy_tail(Rng& rng, std::size_t length, std::string& line) {
  constexpr std::string_view kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
  constexpr std::string_view kMarks = ",()[]'";
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint64_t r = rng.next();
    line += r % 6 == 0 ? kMarks[(r >> 8) % kMarks.size()] : kPlain[(r >> 8) % kPlain.size()];
  }
}

// Facts that begin with no name the rules know: only the search for "title([])" looks at them.
constexpr std::array kOtherFacts = {"form_i(", "prompt_i(", "event_i(", "help_i(", "obj_i(",
                                    "dep_i(",  "prop_i(",   "ctl_i(",   "nav_i("};
constexpr std::array kPresentation = {"subview_i(", "std_color_i(", "a_alias_i(",
                                      "calling_main_i("};

// One busy line of about 80 characters (40 to 120), CR LF after it. Shares, in sixtieths:
// attributes 12, other facts 12, body lines 10 (half with "cmd,"), rules 6 (half with
// ",rule(["), attribute properties 6, variables 3, table attribute properties 2, print blocks 2,
// maps 2, presentation 3, and levels and tables in transactions (property and datastore rules
// in the others) 2.
void busy_line(Rng& rng, int pick, bool transaction, std::vector<std::string>& levels,
               std::string& out) {
  const auto length = static_cast<std::size_t>(rng.between(40, 120));
  std::string line;
  std::string_view inside;  // a searched text, somewhere in the tail
  if (pick <= 12) {
    line = rng.chance(10) ? "attri_i('" : "attri_i(";
  } else if (pick <= 24) {
    line = kOtherFacts[rng.next() % kOtherFacts.size()];
  } else if (pick <= 34) {
    line = "b_line_i(";
    if (rng.chance(50)) inside = "cmd,";
  } else if (pick <= 40) {
    line = "rule_i(" + std::to_string(rng.between(1, 400));
    if (rng.chance(50)) inside = ",rule([";
  } else if (pick <= 46) {
    line = "att_prop_i(";
  } else if (pick <= 49) {
    line = "v_i(&";
  } else if (pick <= 51) {
    line = "tbl_att_prop_i(";
  } else if (pick <= 53) {
    line = "print_i(";
    inside = ",title([]),";
  } else if (pick <= 55) {
    line = "map_i(";
  } else if (pick <= 58) {
    line = kPresentation[rng.next() % kPresentation.size()];
  } else if (transaction) {
    if (levels.empty() || rng.chance(40)) {
      std::string name = word(rng) + (rng.chance(50) ? "" : word(rng));
      if (levels.size() < 12) levels.push_back(name);
      line = "level_i(" + name + ",1,'" + name + "'," + attribute_list(rng, 1) + ",";
    } else {
      const std::string table =
          rng.chance(70) ? levels[rng.next() % levels.size()] : word(rng) + "Aux";
      line =
          "table_i(" + table + ",'" + table + "'," + attribute_list(rng, rng.between(1, 12)) + ",";
    }
  } else {
    line = rng.chance(50) ? "rule_i(0,prop(" : "rule_i(0,datastore(";
  }
  const std::size_t fixed = line.size() + inside.size();
  const std::size_t tail = length > fixed ? length - fixed : 0;
  const std::size_t at = line.size() + static_cast<std::size_t>(rng.next() % (tail + 1));
  busy_tail(rng, tail, line);
  line.insert(at, inside);
  out += line;
  out += "\r\n";
}

// Replaces `out` with the kind line of a spec file of kind `tag`.
void kind_line(Rng& rng, const char* tag, std::string& out) {
  const std::string name = word(rng) + std::to_string(rng.between(1, 99));
  out = "spec_i([ " + std::string(tag) + ", '" + name + "', 'Objeto " + name + "' ]).\r\n";
}

}  // namespace

void busy_spec_file(Rng& rng, std::size_t size, std::string& out) {
  const int pick = rng.between(1, 90);
  kind_line(rng, pick <= 30 ? "trn" : pick <= 60 ? "proc" : "rpt", out);
  std::vector<std::string> levels;
  // Runs of one to four lines of a kind: a busier mix than spec_file's.
  while (out.size() < size) {
    const int kind = rng.between(1, 60);
    const int run = rng.between(1, 4);
    for (int i = 0; i < run && out.size() < size; ++i)
      busy_line(rng, kind, pick <= 30, levels, out);
  }
}

void level_table_lines(Rng& rng, std::size_t size, std::vector<std::string>& levels,
                       std::string& out) {
  const std::size_t end = out.size() + size;
  while (out.size() < end) {
    const int pick = rng.between(1, 20);
    std::string line;
    if (pick <= 3 || levels.empty()) {
      std::string name = word(rng) + word(rng);
      if (rng.next() % 1000 == 0) name.insert(name.size() / 2, "?");
      if (levels.size() < 400) levels.push_back(name);
      line = "level_i(" + name + "," + std::to_string(rng.between(1, 9)) + ",'" + name + "'," +
             attribute_list(rng, 1) + ",";
    } else if (pick <= 9) {
      const std::string table =
          rng.chance(70) ? levels[rng.next() % levels.size()] : word(rng) + "Aux";
      line =
          "table_i(" + table + ",'" + table + "'," + attribute_list(rng, rng.between(0, 12)) + ",";
    } else if (pick <= 14) {
      line = rng.chance(10) ? "attri_i('" : "attri_i(";
    } else if (pick <= 16) {
      line = "att_prop_i(";
    } else if (pick <= 17) {
      line = rng.chance(50) ? "rule_i(0,prop(" : "rule_i(1,rule([";
    } else if (pick <= 18) {
      line = "tbl_att_prop_i(";
    } else {
      line = kOtherFacts[rng.next() % kOtherFacts.size()];
    }
    const auto length = static_cast<std::size_t>(rng.between(40, 120));
    busy_tail(rng, length > line.size() ? length - line.size() : 0, line);
    out += line;
    out += "\r\n";
  }
}

void spec_file(Rng& rng, std::size_t size, std::string& out) {
  const int pick = rng.between(1, 100);
  const Kind kind = pick <= 40 ? Kind::Transaction : pick <= 75 ? Kind::Procedure : Kind::Report;
  kind_line(rng, kind == Kind::Transaction ? "trn" : kind == Kind::Procedure ? "proc" : "rpt", out);
  std::vector<std::string> levels;
  // A generator writes facts of one kind together (a table's attributes, each followed by its
  // properties; a block of rules; the body's lines), so the kinds come in runs.
  while (out.size() < size) {
    const int pick = rng.between(1, 100);
    const int run = rng.between(1, 16);
    for (int i = 0; i < run && out.size() < size; ++i) {
      std::string line = fact(rng, kind, levels, pick);
      finish_line(rng, line, out);
      if (kind == Kind::Transaction && pick > 10 && pick <= 35 && rng.chance(60)) {
        line = fact(rng, kind, levels, 40);  // the attribute's property
        finish_line(rng, line, out);
      }
    }
  }
}

}  // namespace zentil::bench
