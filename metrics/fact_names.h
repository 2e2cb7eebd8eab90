// The texts the rules test at the start of a spec line or search for in it, prepared once.
#pragma once

#include "metrics/fact_text.h"

namespace zentil::fact_names {

using fact_text::Pattern;

constexpr Pattern kVar = "v_i(";
constexpr Pattern kSubview = "subview_i(";
constexpr Pattern kStdColor = "std_color_i(";
constexpr Pattern kSpec = "spec_i([ ";
constexpr Pattern kSpecTransaction = "spec_i([ trn";
constexpr Pattern kSpecProcedure = "spec_i([ proc";
constexpr Pattern kSpecReport = "spec_i([ rpt";
constexpr Pattern kMap = "map_i(";
constexpr Pattern kAlias = "a_alias_i(";
constexpr Pattern kAttribute = "attri_i(";
constexpr Pattern kAttributeProperty = "att_prop_i";
constexpr Pattern kCallingMain = "calling_main_i";
constexpr Pattern kBodyLine = "b_line_i";
constexpr Pattern kTable = "table_i";
constexpr Pattern kDeleteControl = "tbl_to_delete_i";
constexpr Pattern kTableAttributeProperty = "tbl_att_prop_i";
constexpr Pattern kTitle = "title([])";
constexpr Pattern kLevel = "level_i(";
constexpr Pattern kRule = "rule_i(";
constexpr Pattern kPropertyRule = "rule_i(0,prop(";
constexpr Pattern kDatastoreRule = "rule_i(0,datastore(";
constexpr Pattern kCommand = "cmd,";
constexpr Pattern kRuleList = ",rule([";
// Opens a table's attribute list after its first argument.
constexpr Pattern kListOpen = "',[";

}  // namespace zentil::fact_names
