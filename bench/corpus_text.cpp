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

}  // namespace

void spec_file(Rng& rng, std::size_t size, std::string& out) {
  out.clear();
  const int pick = rng.between(1, 100);
  const Kind kind = pick <= 40 ? Kind::Transaction : pick <= 75 ? Kind::Procedure : Kind::Report;
  const char* tag = kind == Kind::Transaction ? "trn" : kind == Kind::Procedure ? "proc" : "rpt";
  const std::string name = word(rng) + std::to_string(rng.between(1, 99));
  out += "spec_i([ " + std::string(tag) + ", '" + name + "', 'Objeto " + name + "' ]).\r\n";
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
